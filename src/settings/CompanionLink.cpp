// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Finding the companion's folder, and the two folder commands.
#include "app/KeepsakeEditor.h"
#include "platform/Prompts.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <QTimer>

bool KeepsakeEditor::LinkCompanion(bool readSetting) {
    bool linked = false;
    bool cut = false;
    const QString stored =
        ReadIniString(QStringLiteral("Scribble"), QStringLiteral("Folder"), &cut);
    if (readSetting && cut) {
        // A folder that reads back cut is no folder the companion is in, and asking at every
        // start would not end: the stored value stays as it is, and this run uses the program's
        // own folder, as after declining the dialog.
        m_platform.prompts.information(
            cutValueMessage(settings.IniPath, QStringLiteral("Scribble"),
                            QStringLiteral("Folder")) +
            QStringLiteral("\n今回はこのプログラムのフォルダーを使います。"
                           "「Scribbleのフォルダ指定」でフォルダーを指定し直してください。"));
        settings.CompanionFolder = AppFolder;
        return false;
    }
    settings.CompanionFolder = readSetting ? stored : QString();

    // A stored folder that has gone (the companion was moved, a drive not mounted) counts as
    // not set, so that the user can choose again instead of the start failing on a missing
    // keepsake file. A stored folder stays stored unless another folder is chosen.
    const bool storedFolder = !stored.isEmpty();
    if (readSetting && storedFolder && QDir(settings.CompanionFolder).exists()) {
        LoadKinds();
        return true;
    }
    settings.CompanionFolder.clear();

    m_platform.prompts.chooseFolder(settings, QStringLiteral("Scribble.ini"),
                                    QStringLiteral("Scribbleのあるフォルダを指定してください。"));

    if (settings.CompanionFolder.isEmpty()) {
        settings.CompanionFolder = AppFolder;
        if (storedFolder)
            return false;  // the own folder serves this run only
    } else {
        LoadKinds();
        linked = true;
    }
    WriteIniValue(QStringLiteral("Scribble"), QStringLiteral("Folder"), settings.CompanionFolder);
    return linked;
}

void KeepsakeEditor::mn_FolderSet_Click() {
    Timer1->stop();
    // A chosen folder loads the category list again, which leaves the loaded page.
    if (!LeaveKindPage()) {
        Timer1->start();
        return;
    }
    // Declining the dialog changes nothing: a linked companion stays linked.
    const QString folderBefore = settings.CompanionFolder;
    const bool linkedBefore = CompanionLinked;
    CompanionLinked = LinkCompanion(false);
    if (!CompanionLinked && linkedBefore) {
        settings.CompanionFolder = folderBefore;
        CompanionLinked = true;
    }
    ScribbleExecEnabled = CompanionLinked;
    emit displayChanged();
    Timer1->start();
}

void KeepsakeEditor::mn_NetscapeFolderSet_Click() {
    Timer1->stop();
    const QString before = settings.BrowserFolder;
    m_platform.prompts.chooseFolder(
        settings, QStringLiteral("Netscape.exe"),
        QStringLiteral("Netscape.exeのあるフォルダを指定してください。"));
    // Declining writes the folder back as it was, but never over a stored one that read back
    // cut.
    bool cut = false;
    ReadIniString(QStringLiteral("Netscape"), QStringLiteral("Folder"), &cut);
    if (!cut || settings.BrowserFolder != before)
        WriteIniValue(QStringLiteral("Netscape"), QStringLiteral("Folder"), settings.BrowserFolder);
    Timer1->start();
}
