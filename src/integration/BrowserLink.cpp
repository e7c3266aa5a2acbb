// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The browser: finding it, handing it addresses, starting it.
#include "app/KeepsakeEditor.h"
#include "integration/BrowserAddress.h"
#include "integration/BrowserDetector.h"
#include "platform/Launcher.h"
#include "platform/Prompts.h"
#include "settings/FoundFiles.h"

#include <QTimer>
#include <QUrl>

namespace {
QString cannotStartMessage(const QString& program) {
    return QStringLiteral("[") + program + QStringLiteral("]を起動できませんでした。");
}

// Starts the browser file, found whatever the case of its name, and tells the detector about
// the new process, whose windows then count as the browser's whatever they are called.
bool startBrowser(KeepsakeEditor& w, const QStringList& arguments, QString* program) {
    BrowserDetector& detector = w.browserDetector();
    detector.setFolder(w.settings.BrowserFolder);
    QString path = detector.program();
    if (path.isEmpty())
        path = foundfiles::browserProgram(w.settings.BrowserFolder);
    if (program)
        *program = path;
    qint64 pid = 0;
    const bool started = w.platform().launcher.startProgram(path, arguments, &pid);
    if (started && pid > 0)
        detector.started(pid);
    return started;
}
}  // namespace

BrowserDetector& KeepsakeEditor::browserDetector() {
    if (!m_browserDetector)
        m_browserDetector = new BrowserDetector(m_platform.windows, this);
    return *m_browserDetector;
}

bool KeepsakeEditor::BrowserRunning() {
    BrowserDetector& detector = browserDetector();
    detector.setFolder(settings.BrowserFolder);
    return detector.running();
}

void KeepsakeEditor::Timer1_Timer() {
    if (settings.BrowserFolder.isEmpty())
        return;
    const bool running = BrowserRunning();
    // The window shows the send and preview buttons while BrowserSeen holds.
    if (running && !BrowserSeen) {
        BrowserSeen = true;
        NNExecEnabled = false;
        emit displayChanged();
    } else if (!running) {
        // A browser started from here whose window has not shown yet is on its way: starting
        // it again would only give a second window or the browser's "already running" box.
        const bool enable = !browserDetector().startedProgramRuns();
        if (BrowserSeen || NNExecEnabled != enable) {
            BrowserSeen = false;
            NNExecEnabled = enable;
            emit displayChanged();
        }
    }
}

void KeepsakeEditor::cmdSend_Click() {
    // Handing over is best effort: whatever goes wrong, nothing is shown. A browser handed
    // an address while it runs passes it to its running instance, which opens it in a tab.
    const QString address = browseraddress::absolute(ComDisplay);
    if (address.isEmpty() || settings.BrowserFolder.isEmpty())
        return;
    startBrowser(*this, {address}, nullptr);
}

void KeepsakeEditor::cmdPreview_Click() {
    WriteIndexPages();
    if (settings.BrowserFolder.isEmpty())
        return;
    const QString address =
        QUrl::fromLocalFile(foundfiles::framePage(AppFolder)).toString(QUrl::FullyEncoded);
    startBrowser(*this, {address}, nullptr);
}

void KeepsakeEditor::mn_NNExec_Click() {
    Timer1->stop();
    QString program;
    const bool started = startBrowser(*this, {}, &program);
    ApiResult = started ? 1 : 0;
    if (!started)
        m_platform.prompts.information(cannotStartMessage(program));
    Timer1->start();
}
