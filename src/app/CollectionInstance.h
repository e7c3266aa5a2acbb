// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/InstanceLock.h"

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <memory>

class QWidget;

// One editor per collection. The first editor on a folder holds its lock and listens on a
// local socket named for the folder's canonical path; a second start on that folder asks it
// to come to the front and ends.
class CollectionInstance : public QObject {
    Q_OBJECT

public:
    // `folder` is the collection's folder, ending in "/".
    explicit CollectionInstance(const QString& folder, QObject* parent = nullptr);
    ~CollectionInstance() override;

    // True when an editor already runs on the folder (it has been asked to come to the
    // front); otherwise this editor takes the folder and answers later starts.
    bool handOver();

    // The socket's name: the runtime folder and a hash of the canonical folder.
    static QString serverName(const QString& folder);

    // Brings the window the user should see to the front: a modal dialog or box when one
    // shows (the folder dialog during start-up), else `main`.
    static void bringToFront(QWidget* main);

signals:
    void raiseRequested();

private:
    void answer();

    QString m_folder;
    QString m_name;
    std::unique_ptr<InstanceLock> m_lock;
    QLocalServer m_server;
};
