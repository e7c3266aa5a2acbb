#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QPushButton;

// The editor's own help: a Japanese manual kept as HTML pages in the program's resources
// (under qrc:/help/), shown in a window of its own that never blocks the editor.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* owner);

    // The contents page, where the help always opens.
    static QUrl contentsPage();

    // Shows the window at the contents page and brings it to the front.
    void showContents();

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser = nullptr;
    QPushButton* m_contents = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
};
