// The browser: finding its window, handing it addresses, starting it.
#include "app/ImageButton.h"
#include "app/Refile.h"
#include "integration/BrowserAddress.h"
#include "platform/Launcher.h"
#include "platform/Prompts.h"
#include "platform/WindowList.h"
#include "settings/FoundFiles.h"

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QUrl>

namespace {
QString cannotStartMessage(const QString& program) {
    return QStringLiteral("[") + program + QStringLiteral("]を起動できませんでした。");
}
}  // namespace

bool Refile::BrowserRunning() {
    const QStringList titles = m_platform.windows.topLevelTitles();
    for (const QString& title : titles) {
        if (browseraddress::isBrowserTitle(title))
            return true;
    }
    return false;
}

void Refile::Timer1_Timer() {
    if (settings.BrowserFolder.isEmpty())
        return;
    const bool running = BrowserRunning();
    if (running && !BrowserSeen) {
        BrowserSeen = true;
        cmdSend->show();
        cmdPreview->show();
        mn_NNExec->setEnabled(false);
    } else if (!running && BrowserSeen) {
        BrowserSeen = false;
        cmdSend->hide();
        cmdPreview->hide();
        mn_NNExec->setEnabled(true);
    } else if (!running && !BrowserSeen) {
        if (!mn_NNExec->isEnabled())
            mn_NNExec->setEnabled(true);
    }
}

void Refile::cmdSend_Click() {
    // Handing over is best effort: whatever goes wrong, nothing is shown.
    const QString address = browseraddress::absolute(lblComDisp->text());
    if (address.isEmpty() || settings.BrowserFolder.isEmpty())
        return;
    m_platform.launcher.startProgram(foundfiles::browserProgram(settings.BrowserFolder), {address});
}

void Refile::cmdPreview_Click() {
    WriteIndexPages();
    if (settings.BrowserFolder.isEmpty())
        return;
    const QString address =
        QUrl::fromLocalFile(foundfiles::framePage(AppFolder)).toString(QUrl::FullyEncoded);
    m_platform.launcher.startProgram(foundfiles::browserProgram(settings.BrowserFolder), {address});
}

void Refile::mn_NNExec_Click() {
    Timer1->stop();
    const QString program = foundfiles::browserProgram(settings.BrowserFolder);
    const bool started = m_platform.launcher.startProgram(program, {});
    ApiResult = started ? 1 : 0;
    if (!started)
        m_platform.prompts.information(cannotStartMessage(program));
    Timer1->start();
}
