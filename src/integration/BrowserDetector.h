// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/WindowList.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

// Is the browser running? The browser is the program `Netscape.exe` in the browser's folder,
// which on Linux is mostly a link to the real browser or a script that starts it. It counts
// as running while a top-level window
//   - has a title that begins with "Netscape" in any case, or
//   - belongs to a process that runs the program the browser file resolves to, or
//   - has a class name (WM_CLASS) equal, in any case, to the name of the browser file or of
//     a file its links lead to (firefox-esr, chromium), or
//   - belongs to a process that descends from one started through the browser file.
// On a Wayland desktop, where the browser's own windows cannot be seen, a process running
// the program counts too.
//
// A tick must stay cheap: the resolved program is kept until the folder changes (or a start
// asks for it again), and the verdict on each window's owner until the window goes.
class BrowserDetector : public QObject {
public:
    explicit BrowserDetector(WindowList& windows, QObject* parent = nullptr);

    // The browser's folder (ending in "/"); a new folder resolves the program again.
    void setFolder(const QString& folder);

    // The browser file in the folder, found whatever the case of its name; empty when there
    // is none. Resolves it again.
    QString program();

    // A process was started through the browser file.
    void started(qint64 pid);

    bool running();

    // A process started through the browser file still runs the browser's program: the
    // browser is on its way (or running) even when no window of it shows yet. It is not
    // handed addresses until its window shows: before that it may not take them.
    bool startedProgramRuns();

private:
    struct Started {
        qint64 pid;
        quint64 startTime;
        bool ended;  // seen gone: only its session is left to tell
    };

    void resolve();
    bool ownerIsBrowser(const TopLevelWindow& window);
    bool runsProgram(qint64 pid) const;
    bool descendsFromStarted(qint64 pid) const;
    bool anyProcessRunsProgram();

    WindowList& m_windows;
    QString m_folder;
    bool m_resolved = false;
    QString m_file;        // the browser file as found in the folder
    QString m_executable;  // the file it finally resolves to
    QStringList m_names;   // the names along its links, for the class test
    QList<Started> m_started;
    QHash<quint64, QPair<qint64, bool>> m_verdicts;  // window id -> (process id, browser?)
    QHash<qint64, bool> m_processVerdicts;           // process id -> runs the program?
};
