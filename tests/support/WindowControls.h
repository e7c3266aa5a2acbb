// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

#include <array>

class ImageButton;
class QAction;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;

// The controls of the main window, found by their object names.
struct WindowControls {
    explicit WindowControls(QWidget& window);

    ImageButton* cmdSend;
    QLabel* lblCom;
    QLabel* lblComDisp;
    QLabel* lblDate;
    QLabel* lblDateDisp;
    QPushButton* cmdReload;
    std::array<QListView*, 3> lstURLs;
    QGroupBox* fraKind;
    std::array<QRadioButton*, 3> optKind;
    QLabel* imgEnable;
    QLabel* imgUnable;
    QPushButton* cmdMove;
    QListView* lstKinds;
    QListView* lstSub;
    QPushButton* cmdNew;
    QPushButton* Command1;
    QPushButton* cmdEditCom;
    QPushButton* cmdSave;
    ImageButton* cmdPreview;
    QLabel* lblMsg;
    QMenu* mnFile;
    QAction* mnFile_Exit;
    QMenu* mn_Option;
    QAction* mn_FolderSet;
    QAction* mn_ScribbleExec;
    QAction* mn_NetscapeFolderSet;
    QAction* mn_NNExec;
    QAction* mn_Help;
};

inline WindowControls ui(QWidget& window) {
    return WindowControls(window);
}
