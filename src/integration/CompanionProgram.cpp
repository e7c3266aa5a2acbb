// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The companion program.
#include "app/KeepsakeEditor.h"
#include "platform/Launcher.h"
#include "platform/Prompts.h"
#include "platform/WindowList.h"
#include "settings/FoundFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace {

// A Windows program begins with the "MZ" of its DOS header; a link is followed.
bool isWindowsProgram(const QString& program) {
    QFile file(program);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

}  // namespace

void KeepsakeEditor::mn_ScribbleExec_Click() {
    Timer1->stop();
    const QString program = foundfiles::companionProgram(settings.CompanionFolder);
    bool started = false;
    if (!isWindowsProgram(program)) {
        started = m_platform.launcher.startProgram(program, {});
    } else if (const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
               wine.isEmpty()) {
        m_platform.prompts.information(
            program + QStringLiteral("はWindowsのプログラムです。起動するにはwineが必要です。"));
        ApiResult = 0;
        Timer1->start();
        return;
    } else {
        // Under Wine, in its own folder, as Windows starts it.
        started = m_platform.launcher.startProgram(wine, {program}, nullptr,
                                                   QFileInfo(program).absolutePath());
    }
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
