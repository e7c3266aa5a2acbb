// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/RealInput.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

namespace realinput {

namespace {
bool runOnce(const QString& program, const QStringList& arguments, bool* hung) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        qWarning("%s: %s", qPrintable(program), qPrintable(process.errorString()));
        return false;
    }
    QDeadlineTimer deadline(15000);
    // What a key sets off may run an event loop of its own, which sees the end of the
    // program before the wait here does.
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(5)) {
        QApplication::processEvents();
        if (deadline.hasExpired()) {
            qWarning("%s %s: no end", qPrintable(program), qPrintable(arguments.join(u' ')));
            process.kill();
            process.waitForFinished();
            *hung = true;
            return false;
        }
    }
    QApplication::processEvents();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s %s: %s", qPrintable(program), qPrintable(arguments.join(u' ')),
                 process.readAllStandardError().constData());
        return false;
    }
    return true;
}
}  // namespace

bool run(const QString& program, const QStringList& arguments) {
    bool hung = false;
    return runOnce(program, arguments, &hung) || (hung && runOnce(program, arguments, &hung));
}

bool xdotool(const QStringList& arguments) {
    return run(QStringLiteral("xdotool"), arguments);
}

bool activate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window, 5000);
}

bool pressKeys(QWidget* window, const QStringList& keys) {
    if (!activate(window))
        return false;
    for (const QString& key : keys) {
        if (!xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key}))
            return false;
        // The menu that the key opened takes the keyboard before the next key arrives.
        QTest::qWait(150);
    }
    return true;
}

bool keys(const QStringList& keys) {
    return xdotool(QStringList{QStringLiteral("key")} + keys);
}

bool click(QWidget* widget, QPoint at) {
    if (!widget)
        return false;
    const QPoint global = widget->mapToGlobal(at);
    return xdotool({QStringLiteral("mousemove"), QString::number(global.x()),
                    QString::number(global.y()), QStringLiteral("click"), QStringLiteral("1")});
}

bool click(QWidget* widget) {
    return widget && click(widget, widget->rect().center());
}

bool clickRow(QAbstractItemView* view, int row, int clicks) {
    // Not taken for the second half of a double click with the click before.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    const QPoint centre = view->viewport()->mapToGlobal(view->visualRect(index).center());
    return xdotool({QStringLiteral("mousemove"), QString::number(centre.x()),
                    QString::number(centre.y()), QStringLiteral("click"),
                    QStringLiteral("--repeat"), QString::number(clicks), QStringLiteral("1")});
}

}  // namespace realinput
