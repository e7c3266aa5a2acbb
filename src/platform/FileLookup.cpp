// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/FileLookup.h"

#include <QDir>
#include <QFileInfo>

namespace filelookup {
namespace {

bool isPlainFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.fileName().startsWith(u'.');
}

}  // namespace

QString findFile(const QString& folder, const QString& name) {
    if (name.isEmpty() || name.contains(u'/'))
        return {};
    const QString exact = folder + name;
    if (isPlainFile(exact))
        return exact;
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && isPlainFile(folder + entry)) {
            return folder + entry;
        }
    }
    return {};
}

FolderFiles::FolderFiles(const QString& folder) : m_folder(folder) {
    // The same files findFile accepts: regular files or links to them, not hidden.
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    m_names.reserve(entries.size());
    m_byFoldedName.reserve(entries.size());
    for (const QString& entry : entries) {
        if (entry.startsWith(u'.'))
            continue;
        m_names.insert(entry);
        const QString folded = entry.toCaseFolded();
        if (!m_byFoldedName.contains(folded))
            m_byFoldedName.insert(folded, entry);
    }
}

QString FolderFiles::find(const QString& name) const {
    if (name.isEmpty() || name.contains(u'/'))
        return {};
    if (m_names.contains(name))
        return m_folder + name;
    const auto found = m_byFoldedName.constFind(name.toCaseFolded());
    return found == m_byFoldedName.cend() ? QString() : m_folder + *found;
}

QString pathForWriting(const QString& folder, const QString& name) {
    const QString existing = findFile(folder, name);
    return existing.isEmpty() ? folder + name : existing;
}

QString folderWithSeparator(QString path) {
    while (path.endsWith(QStringLiteral("//")))
        path.chop(1);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

}  // namespace filelookup
