// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/CommandGate.h"

void CommandGate::hold() {
    if (m_depth++ == 0)
        emit closed();
}

void CommandGate::release() {
    if (--m_depth == 0)
        emit opened();
}
