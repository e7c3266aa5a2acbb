// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/Platform.h"

#include <QMainWindow>
#include <QString>

#include <array>

class CommandGuard;
class DesignLayout;
class ImageButton;
class KeepsakeEditor;
class QAction;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;

// The main window "KEEPSAKE EDITOR": the controls over the editor's state. Its lists are
// views of the editor's lists, its labels and buttons show what the editor says, and each of
// its events is handed to the editor's procedure of the same name. Besides, it fits itself
// to the screen, stretches its lists and shows the hints.
class Refile : public QMainWindow {
    Q_OBJECT

public:
    explicit Refile(Platform platform, QWidget* parent = nullptr);
    ~Refile() override;

    // Start-up: fits the window, then runs the editor's start-up. False when the program
    // must end (a fatal error while reading the keepsake file).
    bool Load(const QString& appFolder);
    bool hasEnded() const;

    KeepsakeEditor& editor() { return *m_editor; }

    void FitWindow();
    DesignLayout& layout() { return *m_layout; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectEvents();
    // Shows what the editor holds besides the lists.
    void showState();
    void mn_Help_Click();
    // The message line: `text`, or the pending notice when `text` is empty.
    void showHint(const QString& text);
    void mn_Find_Click();
    void mn_LinkCheck_Click();
    // Bookmark files out of and into the collection, on a worker thread behind a progress bar.
    void mn_ExportBookmarks_Click();
    void mn_ImportBookmarks_Click();

    KeepsakeEditor* m_editor;  // a child object
    CommandGuard* m_commands = nullptr;
    DesignLayout* m_layout = nullptr;
    int m_shownFront = -1;  // the kept-entry list shown in front

    ImageButton* cmdSend = nullptr;
    QLabel* lblCom = nullptr;
    QLabel* lblComDisp = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblDateDisp = nullptr;
    QPushButton* cmdReload = nullptr;
    std::array<QListView*, 3> lstURLs{};
    QGroupBox* fraKind = nullptr;
    std::array<QRadioButton*, 3> optKind{};
    QLabel* imgEnable = nullptr;
    QLabel* imgUnable = nullptr;
    QPushButton* cmdMove = nullptr;
    QListView* lstKinds = nullptr;
    QListView* lstSub = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdEditCom = nullptr;
    QPushButton* cmdSave = nullptr;
    ImageButton* cmdPreview = nullptr;
    QLabel* lblMsg = nullptr;

    QMenu* mnFile = nullptr;
    QAction* mnFile_Exit = nullptr;
    QMenu* mn_Option = nullptr;
    QAction* mn_FolderSet = nullptr;
    QAction* mn_ScribbleExec = nullptr;
    QAction* sep = nullptr;
    QAction* mn_NetscapeFolderSet = nullptr;
    QAction* mn_NNExec = nullptr;
    QAction* mn_HideFiled = nullptr;
    QMenu* mn_Tools = nullptr;
    QAction* mn_Find = nullptr;
    QAction* mn_LinkCheck = nullptr;
    QAction* mn_ExportBookmarks = nullptr;
    QAction* mn_ImportBookmarks = nullptr;
    QAction* mn_Help = nullptr;
};
