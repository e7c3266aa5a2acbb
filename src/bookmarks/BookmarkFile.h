// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

// The bookmark file every browser and bookmark service reads and writes (the Netscape
// format): folders as <DT><H3> headings over <DL> lists, bookmarks as <DT><A HREF ADD_DATE>,
// a description in the <DD> after a bookmark.
namespace bookmarks {

struct Bookmark {
    QString url;          // as HREF gives it, entities decoded
    QString title;        // the link's text, entities decoded, blanks as they were
    QString description;  // the <DD> text after it, or empty
    qint64 addDate = -1;  // seconds since 1970, or -1 when ADD_DATE is missing or no number
    int line = 0;         // the line the bookmark starts on, from 1
};

// A bookmark that could not be read, and why.
struct Malformed {
    int line = 0;
    QString reason;
};

struct ParsedFile {
    QList<Bookmark> bookmarks;
    QList<Malformed> malformed;
    int folders = 0;
};

// The file's text: a charset named in its first 1,024 bytes wins, else UTF-8 when the bytes
// are valid UTF-8, else code page 932.
QString decodeBookmarkFile(QByteArrayView bytes);

// Every bookmark of the file, in the file's order; a bookmark that cannot be read is set
// aside with its reason and the reading goes on after it.
ParsedFile parseBookmarkFile(QByteArrayView bytes);

// ADD_DATE's value as seconds: a value above 10^11 counts microseconds, as some browsers
// write; -1 for what is not a number of a time between 1900 and 9999.
qint64 addDateSeconds(QStringView value);

// One folder of an exported file, with its bookmarks.
struct ExportEntry {
    QString url;  // with its scheme
    QString title;
    QDateTime date;
};
struct ExportFolder {
    QString name;
    QList<ExportEntry> entries;
};

// The file in UTF-8, one element a line, with the header that Firefox writes: each folder
// at the top level, in order, each entry's title also as its description.
QByteArray writeBookmarkFile(const QList<ExportFolder>& folders);

// An address as a UTF-8 file can hold it: a byte that was not code page 932 (kept as an
// escape character when the page was read) is written as %XX of that byte, as a browser sends
// it; any other lone surrogate becomes U+FFFD.
QString exportableUrl(const QString& url);

}  // namespace bookmarks
