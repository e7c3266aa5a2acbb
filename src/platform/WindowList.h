// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One top-level window of the desktop: its title and what it says about its owner.
struct TopLevelWindow {
    quint64 id = 0;        // the window system's id; unique while the window exists
    QString title;         // empty when it has none
    qint64 processId = 0;  // the owner's process id as the window states it; 0 when unknown
    // The window's class names (X11 WM_CLASS: instance and class); empty when unknown.
    QString instanceName;
    QString className;
};

// The top-level windows of the desktop, by title.
class WindowList {
public:
    virtual ~WindowList() = default;

    // The titles of all top-level windows, hidden ones too, in the window system's order.
    virtual QStringList topLevelTitles() = 0;

    // All top-level windows, hidden ones too, in the window system's order. Lists that only
    // know titles give windows without ids, owners or classes.
    virtual QList<TopLevelWindow> topLevelWindows() {
        QList<TopLevelWindow> windows;
        for (const QString& title : topLevelTitles())
            windows.append(TopLevelWindow{0, title, 0, {}, {}});
        return windows;
    }

    // Is there a top-level window titled exactly `title`?
    virtual bool hasWindowTitled(const QString& title) { return topLevelTitles().contains(title); }
};
