// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/OtherWindows.h"

#include "support/RealDisplay.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>
#include <QThread>

namespace otherwindows {

namespace {
// Runs xdotool; false when it is missing, hangs or fails, with what it printed in *output.
// A search can hang when a window goes while it is being read: it is stopped after a few
// seconds, and the callers that wait for a window ask again.
bool run(const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessEnvironment(realDisplayEnvironment());
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Says why a window did not come, for the failure that follows: whether the process still
// runs and where it waits, and which windows it has.
void describeMissingWindow(qint64 pid, const QString& title) {
    const QString proc = QStringLiteral("/proc/") + QString::number(pid);
    auto read = [&proc](const char* name) {
        QFile file(proc + u'/' + QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed()
                                              : QStringLiteral("(gone)");
    };
    QString windows;
    run({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--pid"),
         QString::number(pid)},
        &windows);
    QStringList named;
    for (const QString& window : windows.split(u'\n', Qt::SkipEmptyParts)) {
        QString name;
        run({QStringLiteral("getwindowname"), window}, &name);
        named << window + u'=' + name;
    }
    qWarning("no window \"%s\" of process %lld: stat %s; waits in %s; its windows: %s",
             qPrintable(title), pid, qPrintable(read("stat")), qPrintable(read("wchan")),
             qPrintable(named.join(QStringLiteral(", "))));
    // Where each of its threads is, when the debugger is at hand.
    if (QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty())
        return;
    QProcess gdb;
    gdb.start(QStringLiteral("gdb"),
              {QStringLiteral("-p"), QString::number(pid), QStringLiteral("-batch"),
               QStringLiteral("-ex"), QStringLiteral("thread apply all bt 30")});
    if (!gdb.waitForFinished(60000))
        gdb.kill();
    qWarning("%s", gdb.readAllStandardOutput().constData());
}

}  // namespace

QString xdotool(const QStringList& arguments) {
    QString output;
    run(arguments, &output);
    return output;
}

QStringList waitForWindows(qint64 pid, const QString& title) {
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        // A window must match all the conditions, not any one of them. The search also
        // matches other names of a window (the main window's class is the program's title),
        // so each window found is asked for its title.
        QStringList windows;
        const QString found =
            xdotool({QStringLiteral("search"), QStringLiteral("--all"),
                     QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(pid),
                     QStringLiteral("--name"), u'^' + QRegularExpression::escape(title) + u'$'});
        for (const QString& window : found.split(u'\n', Qt::SkipEmptyParts)) {
            if (xdotool({QStringLiteral("getwindowname"), window}) == title)
                windows << window;
        }
        if (!windows.isEmpty())
            return windows;
        QThread::msleep(100);
    }
    describeMissingWindow(pid, title);
    return {};
}

QString findWindow(const QString& pattern) {
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"), pattern})
        .section(u'\n', 0, 0);
}

void pressKeys(const QString& window, const QStringList& keys) {
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    for (const QString& key : keys)
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key});
}

bool clickAt(const QString& window, double x, double y) {
    QSize size;
    const QString shell =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    for (const QString& line : shell.split(u'\n')) {
        if (line.startsWith(QLatin1String("WIDTH=")))
            size.setWidth(line.mid(6).toInt());
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            size.setHeight(line.mid(7).toInt());
    }
    if (size.width() <= 0 || size.height() <= 0)
        return false;
    return run({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                QString::number(qRound(size.width() * x)),
                QString::number(qRound(size.height() * y)), QStringLiteral("click"),
                QStringLiteral("1")});
}

}  // namespace otherwindows
