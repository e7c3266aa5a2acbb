// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/Launcher.h"

// Starts programs in sessions of their own (no shell) and opens documents with the desktop's
// default viewer.
class ProcessLauncher : public Launcher {
public:
    bool startProgram(const QString& program, const QStringList& arguments,
                      qint64* processId = nullptr, const QString& folder = {}) override;
    bool openDocument(const QString& path) override;
};
