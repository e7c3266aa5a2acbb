// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/WindowList.h"

#include <QString>
#include <QStringList>

#include <memory>

// Xlib's display handle, declared here so that users of this class need no X11 headers
// (they define macros such as None, Bool and Status that clash with Qt's names).
struct _XDisplay;

// The top-level windows of an X11 desktop, read over a connection of our own.
//
// The connection is opened on first use and kept for later walks. Without a display
// (no name and no $DISPLAY, or the server cannot be reached) there are no windows.
//
// Top-level windows are the window manager's client list (_NET_CLIENT_LIST on the root
// window) when one is offered, otherwise the children of the root window from bottom to
// top. A window's title is its _NET_WM_NAME, or its WM_NAME when it has none; a window with
// neither has the empty title. Its process is its _NET_WM_PID, its class names its WM_CLASS.
// A window that closes while it is being looked at is left out of the walk.
//
// What is read is kept: the connection watches the roots and every window seen, and a walk
// reads only the windows and properties that changed since the last one, after one round
// trip that makes sure every change made before the walk has been reported.
//
// Not thread-safe: use one object from one thread. Separate objects may be used from
// separate threads.
class X11WindowList : public WindowList {
public:
    // displayName as in XOpenDisplay(), e.g. ":0"; empty means $DISPLAY.
    explicit X11WindowList(QString displayName = {});
    ~X11WindowList() override;

    X11WindowList(const X11WindowList&) = delete;
    X11WindowList& operator=(const X11WindowList&) = delete;

    QStringList topLevelTitles() override;
    QList<TopLevelWindow> topLevelWindows() override;
    bool hasWindowTitled(const QString& title) override;

    // Opens the connection if that has not been tried yet; true when it is open.
    // A connection that failed to open is not tried again.
    bool isConnected();

private:
    struct Cache;

    bool ensureConnection();
    // Brings the cache up to date; false without a connection.
    bool refresh();

    QString m_displayName;
    _XDisplay* m_display = nullptr;
    bool m_triedToConnect = false;
    unsigned long m_netClientList = 0;
    unsigned long m_netWmName = 0;
    unsigned long m_utf8String = 0;
    unsigned long m_netWmPid = 0;
    std::unique_ptr<Cache> m_cache;
};
