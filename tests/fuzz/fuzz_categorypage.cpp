// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A category page read to its end and composed again by the editor's own page composer reads
// back to the same header, entries and footer; composing that again gives the same bytes.
#include "FuzzCheck.h"
#include "keepsake/KeepsakeFormat.h"
#include "keepsake/ListFileReader.h"
#include "pages/KindPage.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_categorypage {

using namespace keepsake;

namespace {

using fuzzcheck::check;

class KeepingHost : public ListFileHost {
public:
    void entry(Entry e) override { entries.append(std::move(e)); }
    void failure(const QString&) override { ++messages; }
    bool askContinue() override {
        ++questions;
        return true;
    }
    QList<Entry> entries;
    int messages = 0;
    int questions = 0;
};

}  // namespace

int testOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    KeepingHost first;
    const ListFileResult read = readListFile(bytes, first);
    if (!read.complete)
        return 0;  // the editor writes only a page read to its end

    const QString title = QStringLiteral("ニュース 2");
    const QByteArray written = pages::composeKindPage(read.head, title, first.entries, read.foot);

    KeepingHost second;
    const ListFileResult reread = readListFile(written, second);
    check(reread.complete);
    check(second.messages == 0 && second.questions == 0);
    check(reread.head == read.head);
    check(reread.foot == read.foot);
    check(second.entries.size() == first.entries.size());
    for (qsizetype i = 0; i < first.entries.size(); ++i) {
        const Entry& a = first.entries[i];
        const Entry& b = second.entries[i];
        check(a.url == b.url);
        check(a.com == b.com);
        // A year outside 1950-2029 is written with four digits: every date comes back.
        check(a.date == b.date);
    }

    // Written once, the page is stable.
    check(pages::composeKindPage(reread.head, title, second.entries, reread.foot) == written);
    return 0;
}

}  // namespace fuzz_categorypage

KEEPSAKE_FUZZ_ENTRY_POINT(fuzz_categorypage)
