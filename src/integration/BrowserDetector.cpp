// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "integration/BrowserDetector.h"

#include "integration/BrowserAddress.h"
#include "platform/FileLookup.h"
#include "platform/ProcessInfo.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace {
const QString kBrowserFile = QStringLiteral("Netscape.exe");

// Started processes remembered at most: enough for every start of a long session, and a
// bound on the work of each new window.
constexpr qsizetype kMaxStarted = 64;
}  // namespace

BrowserDetector::BrowserDetector(WindowList& windows, QObject* parent)
    : QObject(parent), m_windows(windows) {}

void BrowserDetector::setFolder(const QString& folder) {
    if (folder == m_folder)
        return;
    m_folder = folder;
    m_resolved = false;
}

QString BrowserDetector::program() {
    resolve();
    return m_file;
}

void BrowserDetector::resolve() {
    m_resolved = true;
    m_verdicts.clear();
    m_processVerdicts.clear();
    m_file = m_folder.isEmpty() ? QString() : filelookup::findFile(m_folder, kBrowserFile);
    m_executable.clear();
    m_names.clear();
    if (m_file.isEmpty())
        return;
    m_executable = QFileInfo(m_file).canonicalFilePath();
    for (const QString& step : processinfo::linkChain(m_file)) {
        const QString name = QFileInfo(step).fileName();
        if (!m_names.contains(name, Qt::CaseInsensitive))
            m_names.append(name);
    }
}

void BrowserDetector::started(qint64 pid) {
    // A process that has already ended (a script that started the browser and left) is
    // still known by the session it led.
    const std::optional<processinfo::Status> status = processinfo::status(pid);
    m_started.append({pid, status ? status->startTime : 0, !status});
    if (m_started.size() > kMaxStarted)
        m_started.removeFirst();
    // Windows already judged may belong to the new process.
    m_verdicts.clear();
}

bool BrowserDetector::running() {
    // A file that was missing may have come since.
    if (!m_resolved || m_file.isEmpty())
        resolve();

    const QList<TopLevelWindow> windows = m_windows.topLevelWindows();
    QHash<quint64, QPair<qint64, bool>> verdicts;
    bool found = false;
    for (const TopLevelWindow& window : windows) {
        if (browseraddress::isBrowserTitle(window.title)) {
            found = true;
            break;
        }
        if (window.id == 0) {
            if (ownerIsBrowser(window)) {
                found = true;
                break;
            }
            continue;
        }
        const auto known = m_verdicts.constFind(window.id);
        const bool browser = known != m_verdicts.cend() && known->first == window.processId
                                 ? known->second
                                 : ownerIsBrowser(window);
        verdicts.insert(window.id, {window.processId, browser});
        if (browser) {
            found = true;
            break;
        }
    }
    // Verdicts of windows that have gone are dropped (their ids may come again); after an
    // early stop the unvisited ones are kept as they were.
    if (found) {
        for (auto it = verdicts.cbegin(); it != verdicts.cend(); ++it)
            m_verdicts.insert(it.key(), it.value());
    } else {
        m_verdicts = std::move(verdicts);
    }
    if (found)
        return true;
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return anyProcessRunsProgram();
    return false;
}

bool BrowserDetector::ownerIsBrowser(const TopLevelWindow& window) {
    if (m_executable.isEmpty())
        return false;
    for (const QString& name : m_names) {
        if ((!window.className.isEmpty() &&
             window.className.compare(name, Qt::CaseInsensitive) == 0) ||
            (!window.instanceName.isEmpty() &&
             window.instanceName.compare(name, Qt::CaseInsensitive) == 0))
            return true;
    }
    return window.processId > 0 &&
           (runsProgram(window.processId) || descendsFromStarted(window.processId));
}

bool BrowserDetector::runsProgram(qint64 pid) const {
    return !m_executable.isEmpty() && processinfo::executable(pid) == m_executable;
}

bool BrowserDetector::descendsFromStarted(qint64 pid) const {
    if (m_started.isEmpty())
        return false;
    // A started process leads a session of its own, which its children share unless they
    // start one themselves; a child that has lost its parent still has the session.
    for (int depth = 0; depth < 64 && pid > 1; ++depth) {
        const std::optional<processinfo::Status> status = processinfo::status(pid);
        if (!status)
            return false;
        for (const Started& s : m_started) {
            if ((s.pid == pid && s.startTime != 0 && s.startTime == status->startTime) ||
                status->session == s.pid)
                return true;
        }
        pid = status->parent;
    }
    return false;
}

bool BrowserDetector::startedProgramRuns() {
    if (!m_resolved)
        resolve();
    bool runs = false;
    for (Started& s : m_started) {
        if (s.ended)
            continue;
        const std::optional<processinfo::Status> status = processinfo::status(s.pid);
        if (!status || status->startTime != s.startTime) {
            s.ended = true;
            continue;
        }
        runs = runs || runsProgram(s.pid);
    }
    return runs;
}

bool BrowserDetector::anyProcessRunsProgram() {
    if (m_executable.isEmpty())
        return false;
    QHash<qint64, bool> verdicts;
    bool found = false;
    for (const qint64 pid : processinfo::allProcesses()) {
        const auto known = m_processVerdicts.constFind(pid);
        const bool runs = known != m_processVerdicts.cend() ? *known : runsProgram(pid);
        verdicts.insert(pid, runs);
        found = found || runs;
    }
    m_processVerdicts = std::move(verdicts);
    return found;
}
