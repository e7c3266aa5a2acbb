// Finding the companion's folder, and the two folder commands.
#include "app/KeepsakeEditor.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QTimer>

bool KeepsakeEditor::LinkCompanion(bool readSetting) {
    bool linked = false;
    const QString stored = ReadIniString(QStringLiteral("Scribble"), QStringLiteral("Folder"));
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
    m_platform.prompts.chooseFolder(
        settings, QStringLiteral("Netscape.exe"),
        QStringLiteral("Netscape.exeのあるフォルダを指定してください。"));
    WriteIniValue(QStringLiteral("Netscape"), QStringLiteral("Folder"), settings.BrowserFolder);
    Timer1->start();
}
