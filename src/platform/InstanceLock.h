// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLockFile>
#include <QString>

// One editor per folder. The main window's title test cannot see an editor that is still
// asking for its companion's folder (its window does not exist yet), so the editor also holds
// a hidden lock file in its folder for as long as it runs.
class InstanceLock {
public:
    // Takes the lock in `folder` (which ends in "/"). A lock left by an editor that is no
    // longer running does not count.
    explicit InstanceLock(const QString& folder);

    // Another editor that is running holds the lock. False also when the lock could not be
    // made for another reason (a folder that cannot be written): the editor then runs
    // without it.
    bool heldByAnother() const { return m_heldByAnother; }

    static QString fileName() { return QStringLiteral(".keepsake-editor.lock"); }

private:
    QLockFile m_lock;
    bool m_heldByAnother = false;
};
