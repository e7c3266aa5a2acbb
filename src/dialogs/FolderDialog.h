// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/DesignLayout.h"
#include "settings/SharedSettings.h"

#include <QDialog>

class Prompts;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// "Select Folder": picks the folder of an outside program, accepted only when the expected
// file is in it. The answer goes to settings.CompanionFolder or settings.BrowserFolder.
class frmFolder : public QDialog {
    Q_OBJECT

public:
    frmFolder(SharedSettings& settings, Prompts& prompts, QWidget* parent = nullptr);

    QString TargetFile;      // "Scribble.ini" or "Netscape.exe"
    QString SelectedFolder;  // the folder Dir1 shows, set by Form_Load

    QLabel* Label1 = nullptr;
    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Run by the caller once TargetFile is set, before the dialog is shown. The dialog opens
    // in the folder linked or stored for the target when it is there, else in the current
    // folder, and shows that folder's path.
    void Form_Load();

    // The folder Dir1 shows, and opening another one (as a double click does).
    QString dirPath() const { return m_dirPath; }
    void setDirPath(const QString& path);

    void Drive1_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The roots the drive list offers: "/" first, then the mount points.
    static QStringList driveRoots();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString startFolder() const;
    void fillDir1();
    void showPath();
    void showDrive();
    void Dir1_Change();
    void openItem(QListWidgetItem* item);

    SharedSettings& m_settings;
    Prompts& m_prompts;
    DesignLayout m_layout;
    QString m_dirPath;
};
