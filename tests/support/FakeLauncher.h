// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/Launcher.h"

#include <QList>
#include <QPair>

// Records every program start and document opening; `fail` makes them all fail.
class FakeLauncher : public Launcher {
public:
    struct Start {
        QString program;
        QStringList arguments;
        QString folder;
    };
    QList<Start> starts;
    QStringList documents;
    bool fail = false;

    bool startProgram(const QString& program, const QStringList& arguments,
                      qint64* processId = nullptr, const QString& folder = {}) override {
        if (processId)
            *processId = 0;
        starts.append({program, arguments, folder});
        return !fail;
    }
    bool openDocument(const QString& path) override {
        documents.append(path);
        return !fail;
    }
};
