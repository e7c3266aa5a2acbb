// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMargins>
#include <QRect>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The editor's own help: a Japanese manual kept as HTML pages in the program's resources
// (under qrc:/help/), shown in a window of its own that never blocks the editor.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* owner);

    // The contents page, where the help always opens.
    static QUrl contentsPage();

    // Shows the window at the contents page and brings it to the front. A window that is not
    // showing yet is first placed beside its owner.
    void showContents();

    // The help's frame beside `owner`'s frame within `screen` (the screen's available area):
    // on the side with room for the preferred size, else on the wider side, narrowed to it;
    // only when neither side has room for a readable width does it cover part of the owner.
    // `margins` is the window frame around a client area.
    static QRect placeBeside(const QRect& owner, const QRect& screen, const QMargins& margins);

    QTextBrowser* browser() const { return m_browser; }

private:
    void placeBesideOwner();

    QTextBrowser* m_browser = nullptr;
    QToolButton* m_contents = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
};
