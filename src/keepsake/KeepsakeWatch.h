// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

// Tells when the keepsake file has changed on disk since the editor last read it. The folder is
// watched, not the file: the file is replaced by renaming a new one over it, which ends a watch
// on the old file. Other files of the folder (the editor's own pages and working copy, when
// the keepsake file lies beside them) change the folder too; only a change of the keepsake
// file itself counts.
class KeepsakeWatch : public QObject {
    Q_OBJECT

public:
    explicit KeepsakeWatch(QObject* parent = nullptr);

    // The file `name` in `folder` is about to be read: what it is now counts as read.
    void reading(const QString& folder, const QString& name);

signals:
    // The file differs from what was read: changed, replaced, made or removed.
    void changed();

private:
    struct Stamp {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QDateTime metadataChanged;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp() const;
    void folderChanged();

    QFileSystemWatcher m_watcher;
    QString m_folder;
    QString m_name;
    Stamp m_read;
    bool m_told = false;
};
