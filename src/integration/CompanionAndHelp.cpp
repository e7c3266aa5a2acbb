// The companion program and the help.
#include "app/Refile.h"
#include "integration/HelpWindow.h"
#include "platform/Launcher.h"
#include "platform/Prompts.h"
#include "platform/WindowList.h"
#include "settings/FoundFiles.h"

#include <QAction>
#include <QTimer>

void Refile::mn_ScribbleExec_Click() {
    Timer1->stop();
    const QString program = foundfiles::companionProgram(settings.CompanionFolder);
    const bool started = m_platform.launcher.startProgram(program, {});
    ApiResult = started ? 1 : 0;
    if (!started) {
        m_platform.prompts.information(QStringLiteral("[") + program +
                                       QStringLiteral("]を起動できませんでした。"));
    }
    Timer1->start();
}

void Refile::mn_Option_Click() {
    mn_ScribbleExec->setEnabled(CompanionLinked &&
                                !m_platform.windows.hasWindowTitled(QStringLiteral("スクリブル")));
}

void Refile::mn_Help_Click() {
    // The editor's own manual, in a window beside it; no help file or viewer is needed.
    auto* help = findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(this);
    help->showContents();
}
