// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A bare Qt main window that shows rows of text: the yardstick for the editor's start-up. It
// starts the way the editor does (a QApplication, one main window shown, the event loop) and
// shows a list view over a plain string model of `rows` made-up addresses, and nothing else.
//
//   bare_window <width> <height> [title] [rows]
#include <QApplication>
#include <QListView>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QStringListModel>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool widthOk = false;
    bool heightOk = false;
    bool rowsOk = true;
    const int width = arguments.value(1).toInt(&widthOk);
    const int height = arguments.value(2).toInt(&heightOk);
    const int rows = arguments.size() > 4 ? arguments.value(4).toInt(&rowsOk) : 0;
    if (!widthOk || !heightOk || !rowsOk || width <= 0 || height <= 0 || rows < 0) {
        std::fputs("usage: bare_window <width> <height> [title] [rows]\n", stderr);
        return 2;
    }
    QStringList texts;
    texts.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        texts.append(
            QStringLiteral("www.example.co.jp/pages/%1/index.html").arg(i, 6, 10, QChar(u'0')));
    }
    QStringListModel model(texts);
    QMainWindow window;
    window.setWindowTitle(arguments.value(3, QStringLiteral("BARE WINDOW")));
    auto* list = new QListView(&window);
    list->setUniformItemSizes(true);
    list->setModel(&model);
    window.setCentralWidget(list);
    window.resize(width, height);
    window.show();
    return QApplication::exec();
}
