// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// The windows of other programs on the test command's X server (an editor process, a
// browser), found and driven with xdotool. Windows are named by xdotool's window ids.
namespace otherwindows {

// What xdotool printed, trimmed; empty when it is missing or hangs.
QString xdotool(const QStringList& arguments);
// The visible windows of process `pid` titled exactly `title`, waited for up to 30 s; empty
// if none comes (with a warning that says what the process was doing).
QStringList waitForWindows(qint64 pid, const QString& title);
inline QString waitForWindow(qint64 pid, const QString& title) {
    return waitForWindows(pid, title).value(0);
}
// The first visible window whose title matches the regular expression `pattern`, or empty.
QString findWindow(const QString& pattern);
// Gives `window` the keyboard and presses `keys` one after the other, each an xdotool key
// name such as "alt+f".
void pressKeys(const QString& window, const QStringList& keys);
// Clicks at a point given as fractions of the window's width and height, so that it lands on
// the same control whatever the screen's scale; false when the window has no size or the
// click fails.
bool clickAt(const QString& window, double x, double y);

}  // namespace otherwindows
