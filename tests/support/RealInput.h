// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPoint>
#include <QStringList>

class QAbstractItemView;
class QWidget;

// Keys and clicks sent through the X server with xdotool, as a person's would arrive, while
// this program goes on handling its events.
namespace realinput {

// Runs `program` with `arguments` while this program goes on handling its events; false, with
// a warning, when it is missing or fails. A run that has not ended after fifteen seconds is
// stopped and, once, started again: on a loaded machine xdotool has been seen to hang without
// ever reaching the server.
bool run(const QString& program, const QStringList& arguments);
bool xdotool(const QStringList& arguments);
// Gives `window` the keyboard: there is no window manager to do it, at the start or after a
// box has closed.
bool activate(QWidget* window);
// Gives `window` the keyboard and presses `keys` one after the other, each an xdotool key
// name such as "alt+t".
bool pressKeys(QWidget* window, const QStringList& keys);
// Presses `keys` in one run of xdotool, in whichever window has the keyboard.
bool keys(const QStringList& keys);
// Clicks `widget` at `at`, or in its middle, with the real pointer.
bool click(QWidget* widget, QPoint at);
bool click(QWidget* widget);
// Clicks the middle of a view's row, `clicks` times in quick succession.
bool clickRow(QAbstractItemView* view, int row, int clicks = 1);

}  // namespace realinput
