// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "bookmarks/BookmarkFile.h"
#include "collecting/KeepsakeAppend.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>

// The collection as a bookmark file, and a bookmark file into the collection's keepsake file.
namespace bookmarks {

// The folder of the kept entries that no category holds yet.
inline const QString kKeptFolderName = QStringLiteral("キープセイク");

struct Category {
    int page = 0;
    QString name;
};

// The categories stored in the settings file `iniPath`, in page order, up to the first empty
// number, as the editor loads them.
QList<Category> storedCategories(const QString& iniPath);

// Told how far the work is (done of total, in steps of the work's own); false calls it off.
using Progress = std::function<bool(qint64 done, qint64 total)>;

struct ExportResult {
    bool ok = false;
    bool cancelled = false;
    int folders = 0;
    int entries = 0;
    QStringList unreadablePages;  // file names of pages that could not be read whole
    QString message;              // why not, when !ok
};

// Writes `file`: one folder per category of `categories` (in that order) with the entries of
// its page in `collectionFolder`, then the kept entries of the keepsake file in
// `place.keepsakeFolder` that no page holds, in the folder kKeptFolderName.
ExportResult exportCollection(const collecting::KeepPlace& place, const QList<Category>& categories,
                              const QString& file, const Progress& progress = {});

struct ImportResult {
    bool ok = false;
    bool cancelled = false;
    QString keepsakeFile;
    int read = 0;        // bookmarks found in the file, malformed ones included
    int kept = 0;        // appended as kept entries
    int duplicates = 0;  // already kept or filed, or twice in the file
    int folders = 0;
    QMap<QString, int> refused;  // reason -> how many
    QString message;             // why nothing was kept, when !ok
};

// Appends the bookmarks of `file` to the keepsake file of `place` as kept entries, in one
// replace: the title as the comment (else the description, else the address), ADD_DATE as
// the date (`now` when it has none). An address already kept, or held by a page of
// `categories`, is skipped; what the appender refuses, and what cannot be read, is counted.
ImportResult importBookmarks(const collecting::KeepPlace& place, const QList<Category>& categories,
                             const QString& file, const QDateTime& now,
                             const Progress& progress = {});

// The same from the file's bytes.
ImportResult importBookmarkBytes(const collecting::KeepPlace& place,
                                 const QList<Category>& categories, const QByteArray& bytes,
                                 const QDateTime& now, const Progress& progress = {});

// The boxes at the end, as the window and keepsake-keep say it.
QString exportSummary(const ExportResult& result, const QString& file);
QString importSummary(const ImportResult& result);

// An address as the duplicate test compares it: a trailing "/" is no difference.
QString addressKey(const QString& storedUrl);

}  // namespace bookmarks
