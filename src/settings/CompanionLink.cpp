// Finding the companion's folder, and the two folder commands.
#include "app/Refile.h"
#include "dialogs/FolderDialog.h"
#include "platform/Prompts.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTimer>

bool Refile::LinkCompanion(bool readSetting) {
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

    {
        frmFolder dialog(settings, m_platform.prompts, isVisible() ? this : nullptr);
        dialog.TargetFile = QStringLiteral("Scribble.ini");
        dialog.Label1->setText(QStringLiteral("Scribbleのあるフォルダを指定してください。"));
        dialog.Form_Load();
        m_platform.prompts.showModal(dialog);
    }

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

void Refile::mn_FolderSet_Click() {
    Timer1->stop();
    // Declining the dialog changes nothing: a linked companion stays linked.
    const QString folderBefore = settings.CompanionFolder;
    const bool linkedBefore = CompanionLinked;
    CompanionLinked = LinkCompanion(false);
    if (!CompanionLinked && linkedBefore) {
        settings.CompanionFolder = folderBefore;
        CompanionLinked = true;
    }
    mn_ScribbleExec->setEnabled(CompanionLinked);
    Timer1->start();
}

void Refile::mn_NetscapeFolderSet_Click() {
    Timer1->stop();
    {
        frmFolder dialog(settings, m_platform.prompts, this);
        dialog.TargetFile = QStringLiteral("Netscape.exe");
        dialog.Label1->setText(QStringLiteral("Netscape.exeのあるフォルダを指定してください。"));
        dialog.Form_Load();
        m_platform.prompts.showModal(dialog);
    }
    WriteIniValue(QStringLiteral("Netscape"), QStringLiteral("Folder"), settings.BrowserFolder);
    Timer1->start();
}
