// The companion program.
#include "app/KeepsakeEditor.h"
#include "platform/Launcher.h"
#include "platform/Prompts.h"
#include "platform/WindowList.h"
#include "settings/FoundFiles.h"

#include <QTimer>

void KeepsakeEditor::mn_ScribbleExec_Click() {
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

void KeepsakeEditor::mn_Option_Click() {
    ScribbleExecEnabled =
        CompanionLinked && !m_platform.windows.hasWindowTitled(QStringLiteral("スクリブル"));
    emit displayChanged();
}
