// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Any keepsake file, any entry: the result reads back with every old entry and the new one
// last, or the file is refused and left as it was.
#include "FuzzCheck.h"
#include "collecting/KeepsakeAppend.h"
#include "keepsake/ListFileReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzz_appender {

namespace {

struct Collect : ListFileHost {
    QList<keepsake::Entry> entries;
    void entry(keepsake::Entry e) override { entries.append(std::move(e)); }
    void failure(const QString&) override {}
    bool askContinue() override { return true; }
};

QList<keepsake::Entry> entriesOf(const QByteArray& bytes) {
    Collect host;
    (void)readListFile(bytes, host);
    return host.entries;
}

}  // namespace

// Input: the address and the comment as UTF-8, each ending at the first NUL, then the file.
int testOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype first = input.indexOf('\0');
    const qsizetype second = first < 0 ? -1 : input.indexOf('\0', first + 1);
    if (second < 0)
        return 0;
    const QString address = QString::fromUtf8(input.first(first));
    const QString comment = QString::fromUtf8(input.mid(first + 1, second - first - 1));
    const QByteArray file = input.mid(second + 1);

    const collecting::KeptEntry entry = collecting::prepareEntry(address, comment, QString());
    if (!entry.ok())
        return 0;
    if (entry.url.isEmpty() || entry.com.isEmpty())
        std::abort();
    QByteArray out = "untouched";
    QString error;
    const QDateTime date(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
    if (!collecting::insertEntry(file, entry, date, &out, &error)) {
        if (out != "untouched" || error.isEmpty())
            std::abort();
        return 0;
    }
    const QList<keepsake::Entry> before = entriesOf(file);
    const QList<keepsake::Entry> after = entriesOf(out);
    if (after.size() != before.size() + 1)
        std::abort();
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (after[i].url != before[i].url || after[i].com != before[i].com ||
            after[i].date != before[i].date) {
            std::abort();
        }
    }
    const keepsake::Entry& added = after.back();
    if (added.url != entry.url || added.com != entry.com || added.date != date)
        std::abort();
    return 0;
}

}  // namespace fuzz_appender

KEEPSAKE_FUZZ_ENTRY_POINT(fuzz_appender)
