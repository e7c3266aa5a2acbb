// A Qt main window with nothing in it: the yardstick for the editor's start-up. It starts the
// way the editor does (a QApplication, one main window shown, the event loop) and does
// nothing else.
//
//   bare_window <width> <height> [title]
#include <QApplication>
#include <QMainWindow>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool widthOk = false;
    bool heightOk = false;
    const int width = arguments.value(1).toInt(&widthOk);
    const int height = arguments.value(2).toInt(&heightOk);
    if (!widthOk || !heightOk || width <= 0 || height <= 0) {
        std::fputs("usage: bare_window <width> <height> [title]\n", stderr);
        return 2;
    }
    QMainWindow window;
    window.setWindowTitle(arguments.value(3, QStringLiteral("BARE WINDOW")));
    window.resize(width, height);
    window.show();
    return QApplication::exec();
}
