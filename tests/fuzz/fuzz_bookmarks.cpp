// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The bookmark file reader on any bytes: every bookmark it finds that the appender takes reads
// back from the keepsake file as it was kept, and what the writer makes of them reads back the
// same.
#include "FuzzCheck.h"
#include "bookmarks/BookmarkFile.h"
#include "collecting/KeepsakeAppend.h"
#include "collecting/KeptEntry.h"
#include "keepsake/KeepsakeFormat.h"
#include "keepsake/ListFileReader.h"
#include "platform/Cp932Codec.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_bookmarks {

namespace {

using fuzzcheck::check;

class Collector : public ListFileHost {
public:
    void entry(keepsake::Entry e) override { entries.append(std::move(e)); }
    void failure(const QString&) override { failed = true; }
    bool askContinue() override {
        failed = true;
        return true;
    }
    QList<keepsake::Entry> entries;
    bool failed = false;
};

}  // namespace

int testOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const bookmarks::ParsedFile parsed = bookmarks::parseBookmarkFile(bytes);

    QString lines;
    QList<collecting::KeptEntry> kept;
    const QDateTime now(QDate(2024, 1, 2), QTime(3, 4, 5));
    QList<bookmarks::ExportFolder> folders(1);
    int lastLine = 0;
    for (const bookmarks::Bookmark& b : parsed.bookmarks) {
        check(!b.url.isEmpty() && b.line >= lastLine && b.line >= 1);
        lastLine = b.line;
        check(b.addDate == -1 || b.addDate >= -2208988800LL);
        folders[0].entries.append({b.url, b.title, {}});
        const collecting::KeptEntry entry = collecting::prepareEntry(b.url, b.title, b.description);
        if (!entry.ok())
            continue;
        check(!entry.com.isEmpty() && !entry.url.isEmpty());
        const QDateTime date = b.addDate >= 0 ? QDateTime::fromSecsSinceEpoch(b.addDate) : now;
        keepsake::appendEntryLines(lines, entry.url, entry.com, date,
                                   keepsake::LinkTarget::AsCompanion);
        kept.append(entry);
    }

    // Kept in one insertion, every entry reads back whole.
    QByteArray file;
    QString error;
    check(collecting::insertLines(collecting::keepsakeSkeleton(), cp932::encode(lines), &file,
                                  &error));
    Collector back;
    readListFile(file, back);
    check(!back.failed);
    check(back.entries.size() == kept.size());
    for (qsizetype i = 0; i < kept.size(); ++i)
        check(back.entries[i].url == kept[i].url && back.entries[i].com == kept[i].com);

    // Written out and read again, the same bookmarks in the same order.
    const bookmarks::ParsedFile again =
        bookmarks::parseBookmarkFile(bookmarks::writeBookmarkFile(folders));
    check(again.malformed.isEmpty() && again.folders == 1);
    check(again.bookmarks.size() == parsed.bookmarks.size());
    for (qsizetype i = 0; i < again.bookmarks.size(); ++i)
        check(again.bookmarks[i].url ==
              bookmarks::exportableUrl(parsed.bookmarks[i].url.trimmed()));
    return 0;
}

}  // namespace fuzz_bookmarks

KEEPSAKE_FUZZ_ENTRY_POINT(fuzz_bookmarks)
