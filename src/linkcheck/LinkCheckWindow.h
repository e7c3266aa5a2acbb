// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class KeepsakeEditor;
class LinkChecker;
class LinkResults;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

// "リンク検査": checks the addresses of the loaded category or of every category, and shows
// what each answered. It never blocks the editor; a double click shows the entry in the main
// window, and "削除" and "移転先に更新" change the loaded page only, as Delete does.
class LinkCheckWindow : public QWidget {
    Q_OBJECT

public:
    LinkCheckWindow(KeepsakeEditor& editor, QWidget* owner);

    void showWindow();
    LinkChecker& checker() { return *m_checker; }

private:
    void checkLoadedPage();
    void checkCollection();
    void run();
    void cancel();
    void showState();
    void showActions();
    QList<int> selectedRows() const;
    void activate(int row);
    void removeSelected();
    void moveSelected();

    KeepsakeEditor& m_editor;
    LinkChecker* m_checker = nullptr;
    LinkResults* m_results = nullptr;
    QSortFilterProxyModel* m_shown = nullptr;
    QPushButton* cmdCheckPage = nullptr;
    QPushButton* cmdCheckAll = nullptr;
    QCheckBox* chkFailedOnly = nullptr;
    QTableView* grdLinks = nullptr;
    QProgressBar* prgLinks = nullptr;
    QLabel* lblLinkState = nullptr;
    QPushButton* cmdLinkCancel = nullptr;
    QPushButton* cmdLinkDelete = nullptr;
    QPushButton* cmdLinkMove = nullptr;
    bool m_cancelled = false;
};
