// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/KeepsakeWatch.h"

#include "platform/FileLookup.h"

#include <QFileInfo>

KeepsakeWatch::KeepsakeWatch(QObject* parent) : QObject(parent) {
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &KeepsakeWatch::folderChanged);
}

void KeepsakeWatch::reading(const QString& folder, const QString& name) {
    if (folder != m_folder) {
        if (!m_watcher.directories().isEmpty())
            m_watcher.removePaths(m_watcher.directories());
        m_folder = folder;
        if (!folder.isEmpty())
            m_watcher.addPath(folder);
    }
    m_name = name;
    m_read = stamp();
    m_told = false;
}

KeepsakeWatch::Stamp KeepsakeWatch::stamp() const {
    Stamp s;
    s.path = filelookup::findFile(m_folder, m_name);
    if (s.path.isEmpty())
        return s;
    const QFileInfo info(s.path);
    s.size = info.size();
    s.modified = info.lastModified();
    s.metadataChanged = info.metadataChangeTime();
    return s;
}

void KeepsakeWatch::folderChanged() {
    if (m_told || stamp() == m_read)
        return;
    m_told = true;
    emit changed();
}
