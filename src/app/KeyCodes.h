// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <Qt>

// The key handlers of the window take the virtual-key codes of the original program, not
// Qt's key values: Qt's value of "." (46) is the code of the Delete key there.
namespace keycodes {

inline constexpr int kDelete = 46;

// The virtual-key code of a key as Qt reports it, or 0 for a key without one. Keys of the
// numeric keypad carry Qt::KeypadModifier.
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace keycodes
