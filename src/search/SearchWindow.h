// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class KeepsakeEditor;
class QLabel;
class QLineEdit;
class QTableView;
class SearchResults;

// "検索": a field and the entries found, updated as the user types. Return or a double
// click shows the found entry in the main window. Like the help, it never blocks the editor.
class SearchWindow : public QWidget {
    Q_OBJECT

public:
    SearchWindow(KeepsakeEditor& editor, QWidget* owner);

    // Shows the window with its field ready for typing.
    void showFind();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void showState();
    void activate(int row);

    KeepsakeEditor& m_editor;
    SearchResults* m_results = nullptr;
    QLineEdit* txtFind = nullptr;
    QTableView* grdFound = nullptr;
    QLabel* lblFindState = nullptr;
};
