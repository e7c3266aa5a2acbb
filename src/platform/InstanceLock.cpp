// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/InstanceLock.h"

InstanceLock::InstanceLock(const QString& folder) : m_lock(folder + fileName()) {
    // A lock is stale only when the editor that made it has gone, however old it is: an
    // editor may run for days.
    m_lock.setStaleLockTime(0);
    if (!m_lock.tryLock(0))
        m_heldByAnother = m_lock.error() == QLockFile::LockFailedError;
}
