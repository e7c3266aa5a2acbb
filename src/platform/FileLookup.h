// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QSet>
#include <QString>

// File names compare without regard to case, as on the system the collections come from.
// Every existence test and every open of a named file goes through here.
namespace filelookup {

// The path on disk of the regular file `name` in `folder` (which ends in "/"), matched
// without regard to case; an exact match wins. Empty when there is none. Folders, dangling
// links and hidden files (names starting with ".") do not count.
QString findFile(const QString& folder, const QString& name);

// The path to write `name` under: the existing file's own path if there is one, otherwise
// folder + name.
QString pathForWriting(const QString& folder, const QString& name);

// The files of one folder, listed once, for looking up many names: each lookup answers as
// findFile would have when the listing was made, without reading the folder again.
class FolderFiles {
public:
    explicit FolderFiles(const QString& folder);
    QString find(const QString& name) const;

private:
    QString m_folder;
    QSet<QString> m_names;
    QHash<QString, QString> m_byFoldedName;  // the first name in sorted order of each spelling
};

// `path` with exactly one trailing "/" (a root such as "/" stays as it is).
QString folderWithSeparator(QString path);

}  // namespace filelookup
