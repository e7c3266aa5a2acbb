// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/RealInput.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

namespace realinput {

bool xdotool(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForStarted(10000))
        return false;
    QDeadlineTimer deadline(15000);
    // What a key sets off may run an event loop of its own, which sees the end of xdotool
    // before the wait here does.
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(5)) {
        QApplication::processEvents();
        if (deadline.hasExpired()) {
            process.kill();
            process.waitForFinished();
            return false;
        }
    }
    QApplication::processEvents();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool pressKeys(QWidget* window, const QStringList& keys) {
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window, 5000))
        return false;
    for (const QString& key : keys) {
        if (!xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key}))
            return false;
        // The menu that the key opened takes the keyboard before the next key arrives.
        QTest::qWait(150);
    }
    return true;
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
