// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// Starts other programs and opens documents. No shell is ever involved.
class Launcher {
public:
    virtual ~Launcher() = default;

    // Starts `program` detached with `arguments`, in `folder` (the program's own folder when
    // empty); false when it could not be started. The started process's id goes to
    // `processId` when one is given.
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              qint64* processId = nullptr, const QString& folder = {}) = 0;

    // Opens a document with the desktop's default viewer for it.
    virtual bool openDocument(const QString& path) = 0;
};
