// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

class QAbstractItemView;
class QWidget;

// Keys and clicks sent through the X server with xdotool, as a person's would arrive, while
// this program goes on handling its events.
namespace realinput {

// Runs xdotool with `arguments`; false when it is missing, fails or hangs.
bool xdotool(const QStringList& arguments);
// Gives `window` the keyboard (there is no window manager to do it) and presses `keys` one
// after the other, each an xdotool key name such as "alt+t".
bool pressKeys(QWidget* window, const QStringList& keys);
// Clicks the middle of a view's row, `clicks` times in quick succession.
bool clickRow(QAbstractItemView* view, int row, int clicks = 1);

}  // namespace realinput
