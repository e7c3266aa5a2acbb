// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "integration/BrowserDetector.h"
#include "platform/ProcessLauncher.h"
#include "platform/X11WindowList.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <algorithm>
#include <memory>
#include <vector>

// These tests look at the windows of a real X server: the one named by KEEPSAKE_TEST_DISPLAY,
// with no window manager running. The windows are made by tests/helpers/x11_titled_window.
namespace {

const QString kHelperPath = QStringLiteral(KEEPSAKE_HELPER_DIR "/x11_titled_window");

// How long a helper gets to open its windows, and the server to drop a killed one's.
constexpr int kTimeoutMs = 10000;

}  // namespace

// A test that needs the X server fails without one, so that a missing server cannot pass
// for a working one; KEEPSAKE_ALLOW_NO_X=1 turns that into a skip for local runs.
#define REQUIRE_X_SERVER()                                                                     \
    do {                                                                                       \
        if (m_display.isEmpty()) {                                                             \
            if (qEnvironmentVariable("KEEPSAKE_ALLOW_NO_X") == QLatin1String("1"))             \
                QSKIP("KEEPSAKE_TEST_DISPLAY is not set (KEEPSAKE_ALLOW_NO_X=1)");             \
            QFAIL(                                                                             \
                "KEEPSAKE_TEST_DISPLAY is not set: this test needs an X server. "              \
                "Set KEEPSAKE_ALLOW_NO_X=1 to skip it instead.");                              \
        }                                                                                      \
        QVERIFY2(m_displayOpens,                                                               \
                 qPrintable(QStringLiteral("cannot open X display %1 (KEEPSAKE_TEST_DISPLAY)") \
                                .arg(m_display)));                                             \
    } while (false)

class X11WindowsTest : public QObject {
    Q_OBJECT

    struct Helper {
        std::unique_ptr<QProcess> process;
        QStringList titles;  // the titles it shows, for cleanup() to wait on
    };

    QString m_display;
    bool m_displayOpens = false;
    std::vector<Helper> m_helpers;

    // Starts the helper program and waits until its windows exist; nullptr when it fails.
    QProcess* startHelper(const QStringList& arguments, const QStringList& titles = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(kHelperPath, arguments);
        if (!process->waitForStarted(kTimeoutMs)) {
            qWarning() << "helper did not start:" << arguments << process->errorString();
            return nullptr;
        }
        const QDeadlineTimer deadline(kTimeoutMs);
        while (!process->canReadLine()) {
            if (process->state() != QProcess::Running || deadline.hasExpired()) {
                qWarning() << "helper did not get ready:" << arguments;
                process->kill();
                process->waitForFinished();
                return nullptr;
            }
            process->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        }
        if (process->readLine() != "ready\n") {
            qWarning() << "helper said something unexpected:" << arguments;
            return nullptr;
        }
        QProcess* started = process.get();
        m_helpers.push_back({std::move(process), titles.isEmpty() ? arguments.mid(0, 1) : titles});
        return started;
    }

    QProcess* startWindow(const QString& title, const QStringList& options = {}) {
        return startHelper(QStringList{title} + options, {title});
    }

    // Ends a helper the polite way: its stdin closes and it removes its windows.
    static bool stopHelper(QProcess* process) {
        process->closeWriteChannel();
        if (!process->waitForFinished(kTimeoutMs)) {
            process->kill();
            process->waitForFinished();
            return false;
        }
        return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    }

    static int indexOf(const QStringList& titles, const QString& title) {
        return static_cast<int>(titles.indexOf(title));
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo(kHelperPath).isExecutable(), qPrintable(kHelperPath));
        m_display = qEnvironmentVariable("KEEPSAKE_TEST_DISPLAY");
        if (!m_display.isEmpty())
            m_displayOpens = X11WindowList(m_display).isConnected();
    }

    void cleanup() {
        QStringList titles;
        for (Helper& helper : m_helpers) {
            if (helper.process->state() != QProcess::NotRunning)
                stopHelper(helper.process.get());
            titles += helper.titles;
        }
        m_helpers.clear();
        if (titles.isEmpty() || !m_displayOpens)
            return;
        // A killed helper's windows linger until the server notices; the next test must
        // not see them.
        X11WindowList list(m_display);
        QTRY_VERIFY_WITH_TIMEOUT(
            std::none_of(titles.cbegin(), titles.cend(),
                         [&list](const QString& title) { return list.hasWindowTitled(title); }),
            kTimeoutMs);
    }

    // --- Reading the windows -----------------------------------------------------------

    void listsEveryTopLevelWindowHiddenOnesToo() {
        REQUIRE_X_SERVER();
        const QStringList titles = {
            QStringLiteral("KEEPSAKE EDITOR"),
            QStringLiteral("KEEPSAKE EDITOR 2"),
            QStringLiteral("スクリブル"),
            QStringLiteral("Netscape - test"),
        };
        for (const QString& title : titles)
            QVERIFY(startWindow(title));
        QVERIFY(startWindow(QStringLiteral("Hidden keepsake window"), {"--unmapped"}));

        X11WindowList list(m_display);
        const QStringList seen = list.topLevelTitles();
        for (const QString& title : titles + QStringList{"Hidden keepsake window"})
            QVERIFY2(seen.count(title) == 1, qPrintable(title + " in " + seen.join(" | ")));

        // No window manager: the root's children, bottom to top, and a new window goes on top.
        for (qsizetype i = 1; i < titles.size(); ++i)
            QVERIFY(indexOf(seen, titles[i - 1]) < indexOf(seen, titles[i]));
        QVERIFY(indexOf(seen, titles.last()) < indexOf(seen, "Hidden keepsake window"));

        // The look-out for a browser window compares the start of each title in any case.
        QVERIFY(std::any_of(seen.cbegin(), seen.cend(), [](const QString& title) {
            return title.startsWith(QLatin1String("netscape"), Qt::CaseInsensitive);
        }));

        // The same object walks again over its open connection.
        QCOMPARE(list.topLevelTitles(), seen);
    }

    void readsTitlesThatOnlyHaveWmName() {
        REQUIRE_X_SERVER();
        // Latin-1 text goes into WM_NAME as STRING, Japanese as COMPOUND_TEXT.
        const QString latin1 = QStringLiteral("Café Ölmühle");
        const QString japanese = QStringLiteral("スクリブル 旧版");
        QVERIFY(startWindow(latin1, {"--legacy"}));
        QVERIFY(startWindow(japanese, {"--legacy"}));

        X11WindowList list(m_display);
        const QStringList seen = list.topLevelTitles();
        QVERIFY2(seen.contains(latin1), qPrintable(seen.join(" | ")));
        QVERIFY2(seen.contains(japanese), qPrintable(seen.join(" | ")));
    }

    void usesDisplayFromTheEnvironmentWhenNoneIsNamed() {
        REQUIRE_X_SERVER();
        QVERIFY(startWindow(QStringLiteral("KEEPSAKE EDITOR")));
        const QByteArray saved = qgetenv("DISPLAY");
        const bool hadDisplay = qEnvironmentVariableIsSet("DISPLAY");
        qputenv("DISPLAY", m_display.toLocal8Bit());
        X11WindowList list;
        const bool found = list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR"));
        if (hadDisplay)
            qputenv("DISPLAY", saved);
        else
            qunsetenv("DISPLAY");
        QVERIFY(found);
    }

    // --- Finding a window by title -----------------------------------------------------

    void findsOnlyWholeTitlesExactly() {
        REQUIRE_X_SERVER();
        QVERIFY(startWindow(QStringLiteral("KEEPSAKE EDITOR 2")));
        QVERIFY(startWindow(QStringLiteral("スクリブル")));
        QVERIFY(startWindow(QStringLiteral("Netscape - test")));
        QVERIFY(startWindow(QStringLiteral("Hidden window"), {"--unmapped"}));

        X11WindowList list(m_display);
        QVERIFY(list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR 2")));
        QVERIFY(list.hasWindowTitled(QStringLiteral("スクリブル")));
        QVERIFY(list.hasWindowTitled(QStringLiteral("Netscape - test")));
        QVERIFY(list.hasWindowTitled(QStringLiteral("Hidden window")));

        QVERIFY(!list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR")));  // a prefix
        QVERIFY(!list.hasWindowTitled(QStringLiteral("EDITOR 2")));         // a suffix
        QVERIFY(!list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR 2 ")));
        QVERIFY(!list.hasWindowTitled(QStringLiteral("keepsake editor 2")));
        QVERIFY(!list.hasWindowTitled(QStringLiteral("スクリ")));
        QVERIFY(!list.hasWindowTitled(QStringLiteral("Netscape")));
        QVERIFY(!list.hasWindowTitled(QStringLiteral("No such window")));
    }

    void titlesGoAwayWithTheirWindows() {
        REQUIRE_X_SERVER();
        QProcess* killed = startWindow(QStringLiteral("KEEPSAKE EDITOR"));
        QProcess* terminated = startWindow(QStringLiteral("KEEPSAKE EDITOR 2"));
        QProcess* closed = startWindow(QStringLiteral("Netscape - test"));
        QVERIFY(killed && terminated && closed);

        X11WindowList list(m_display);
        QVERIFY(list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR")));

        // Killed outright: the server drops the window when it sees the connection go.
        killed->kill();
        QVERIFY(killed->waitForFinished(kTimeoutMs));
        QTRY_VERIFY_WITH_TIMEOUT(!list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR")),
                                 kTimeoutMs);
        QVERIFY(list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR 2")));
        QVERIFY(list.hasWindowTitled(QStringLiteral("Netscape - test")));

        // Ended politely: the window is gone by the time the helper has exited.
        terminated->terminate();
        QVERIFY(terminated->waitForFinished(kTimeoutMs));
        QCOMPARE(terminated->exitCode(), 0);
        QVERIFY(!list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR 2")));
        QVERIFY(list.hasWindowTitled(QStringLiteral("Netscape - test")));

        QVERIFY(stopHelper(closed));
        const QStringList seen = list.topLevelTitles();
        QVERIFY2(!seen.contains(QStringLiteral("Netscape - test")), qPrintable(seen.join(" | ")));
    }

    void noticesTitleChanges() {
        REQUIRE_X_SERVER();
        QVERIFY(startWindow(QStringLiteral("Before the change")));
        X11WindowList list(m_display);
        QVERIFY(list.hasWindowTitled(QStringLiteral("Before the change")));
        QProcess xdotool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        xdotool.setProcessEnvironment(environment);
        xdotool.start("xdotool", {"search", "--name", "^Before the change$", "set_window", "--name",
                                  "After the change"});
        QVERIFY(xdotool.waitForFinished(kTimeoutMs));
        QCOMPARE(xdotool.exitCode(), 0);
        m_helpers.back().titles = QStringList{"After the change"};
        QTRY_VERIFY_WITH_TIMEOUT(list.hasWindowTitled(QStringLiteral("After the change")),
                                 kTimeoutMs);
        QVERIFY(!list.topLevelTitles().contains(QStringLiteral("Before the change")));
    }

    // --- Finding the browser -----------------------------------------------------------

    // The browser file is a link to a program or a script that starts one; a stand-in window
    // opens, started by the test or through the browser file.
    void findsTheBrowser_data() {
        // "script", "classed" (a stand-in browser file that never runs: only its name counts,
        // as a window class, the way Debian's browsers name their windows' class after their
        // program) or "helper"
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QStringList>("window");
        QTest::addColumn<bool>("throughBrowserFile");
        QTest::addColumn<bool>("running");
        QTest::newRow("title") << "script" << QStringList{"NETSCAPE Navigator"} << false << true;
        QTest::newRow("title further in")
            << "script" << QStringList{"My Netscape"} << false << false;
        QTest::newRow("class of the linked file")
            << "classed" << QStringList{"New Tab", "--class", "web-browser"} << false << true;
        QTest::newRow("another class")
            << "classed" << QStringList{"New Tab", "--class", "firefox"} << false << false;
        QTest::newRow("process runs the linked program")
            << "helper" << QStringList{"Plain page"} << false << true;
        QTest::newRow("process of a started script")
            << "script" << QStringList{"Plain page"} << true << true;
        QTest::newRow("same window, not started through the file")
            << "script" << QStringList{"Plain page"} << false << false;
    }

    void findsTheBrowser() {
        REQUIRE_X_SERVER();
        QFETCH(QString, browser);
        QFETCH(QStringList, window);
        QFETCH(bool, throughBrowserFile);
        QFETCH(bool, running);

        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        const QString childPidFile = folder + "child.pid";
        if (browser == "script") {
            // Starts the window in the background and leaves at once, as launch scripts do.
            QFile script(folder + "Netscape.exe");
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(("#!/bin/sh\nDISPLAY='" + m_display + "' '" + kHelperPath +
                          "' \"$@\" --keep </dev/null >/dev/null 2>&1 &\necho $! > '" +
                          childPidFile + "'\n")
                             .toUtf8());
            script.close();
            QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        } else if (browser == "classed") {
            QFile program(folder + "web-browser");
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.write("#!/bin/sh\n");
            program.close();
            QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
            QVERIFY(QFile::link(folder + "web-browser", folder + "Netscape.exe"));
        } else {
            QVERIFY(QFile::link(kHelperPath, folder + "netscape.EXE"));
        }

        X11WindowList list(m_display);
        BrowserDetector detector(list);
        detector.setFolder(folder);
        QVERIFY(!detector.running());

        qint64 pid = 0;
        if (throughBrowserFile) {
            ProcessLauncher launcher;
            QVERIFY(launcher.startProgram(detector.program(), window, &pid));
            detector.started(pid);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(childPidFile), kTimeoutMs);
            QTRY_VERIFY_WITH_TIMEOUT(list.hasWindowTitled(window[0]), kTimeoutMs);
        } else {
            QVERIFY(startWindow(window[0], window.mid(1)));
        }
        const bool seen = detector.running();

        if (throughBrowserFile) {
            QFile file(childPidFile);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const qint64 child = file.readAll().trimmed().toLongLong();
            QVERIFY(child > 0);
            QCOMPARE(::kill(static_cast<pid_t>(child), SIGTERM), 0);
            QTRY_VERIFY_WITH_TIMEOUT(!list.hasWindowTitled(window[0]), kTimeoutMs);
            QVERIFY(!detector.running());
        }
        QCOMPARE(seen, running);
    }

    // --- With a window manager ---------------------------------------------------------

    void followsTheWindowManagersClientList() {
        REQUIRE_X_SERVER();
        QVERIFY(startWindow(QStringLiteral("Not managed")));
        const QStringList managed = {"Managed one", "Managed two", "Managed three"};
        QProcess* manager = startHelper(QStringList{"--client-list"} + managed, managed);
        QVERIFY(manager);

        // Exactly the listed windows in the list's order (last one first), without the
        // listed window that no longer exists.
        X11WindowList list(m_display);
        QCOMPARE(list.topLevelTitles(),
                 QStringList({"Managed three", "Managed two", "Managed one"}));
        QVERIFY(list.hasWindowTitled(QStringLiteral("Managed two")));
        QVERIFY(!list.hasWindowTitled(QStringLiteral("Not managed")));

        // Once the list is gone, the root's children count again.
        QVERIFY(stopHelper(manager));
        const QStringList seen = list.topLevelTitles();
        QVERIFY2(seen.contains(QStringLiteral("Not managed")), qPrintable(seen.join(" | ")));
        QVERIFY(!seen.contains(QStringLiteral("Managed one")));
    }

    // --- Robustness --------------------------------------------------------------------

    void survivesWindowsVanishingMidWalk() {
        REQUIRE_X_SERVER();
        QVERIFY(startWindow(QStringLiteral("Steady window")));
        QProcess* churn = startHelper({"--churn", "20"}, {"churn 0"});
        QVERIFY(churn);

        X11WindowList list(m_display);
        int churnTitlesSeen = 0;
        for (int walk = 0; walk < 200; ++walk) {
            const QStringList seen = list.topLevelTitles();
            QVERIFY2(seen.contains(QStringLiteral("Steady window")),
                     qPrintable(QStringLiteral("walk %1: %2").arg(walk).arg(seen.join(" | "))));
            churnTitlesSeen += static_cast<int>(std::count_if(
                seen.cbegin(), seen.cend(),
                [](const QString& title) { return title.startsWith(QLatin1String("churn ")); }));
            QVERIFY(!list.hasWindowTitled(QStringLiteral("No such window")));
        }
        // The churn went on all the time.
        QCOMPARE(churn->state(), QProcess::Running);
        qInfo("churned windows seen over 200 walks: %d", churnTitlesSeen);
    }

    void eachListClosesItsConnection() {
        REQUIRE_X_SERVER();
        // More lists than the server takes clients at once (256 or 512 by default): if one
        // kept its connection after it is gone, the later ones could not connect.
        for (int i = 0; i < 600; ++i) {
            X11WindowList list(m_display);
            QVERIFY2(list.isConnected(), qPrintable(QString::number(i)));
        }
    }

    void reportsNoWindowsWithoutADisplay() {
        // This one needs no X server.
        QVERIFY2(!QFile::exists(QStringLiteral("/tmp/.X11-unix/X999")),
                 "an X server runs on :999; the test expects none there");
        for (const QString& name : {QStringLiteral(":999"), QStringLiteral("not a display")}) {
            X11WindowList list(name);
            for (int round = 0; round < 2; ++round) {
                QVERIFY(!list.isConnected());
                QVERIFY(list.topLevelTitles().isEmpty());
                QVERIFY(!list.hasWindowTitled(QStringLiteral("KEEPSAKE EDITOR")));
            }
        }

        const QByteArray saved = qgetenv("DISPLAY");
        const bool hadDisplay = qEnvironmentVariableIsSet("DISPLAY");
        qunsetenv("DISPLAY");
        X11WindowList list;
        const bool connected = list.isConnected();
        const bool empty = list.topLevelTitles().isEmpty();
        if (hadDisplay)
            qputenv("DISPLAY", saved);
        QVERIFY(!connected);
        QVERIFY(empty);
    }

    // --- Speed -------------------------------------------------------------------------

    void timesAWalkOverManyWindows() {
        REQUIRE_X_SERVER();
        constexpr int kCount = 200;
        QVERIFY(startHelper({"--many", QString::number(kCount)}, {"many 0"}));

        X11WindowList list(m_display);
        QVERIFY(list.isConnected());
        QElapsedTimer timer;
        timer.start();
        const QStringList seen = list.topLevelTitles();  // reads every window for the first time
        const double firstWalkMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        for (int i = 0; i < kCount; ++i)
            QVERIFY(seen.contains(QStringLiteral("many %1").arg(i)));

        timer.restart();
        const qsizetype walked = list.topLevelTitles().size();
        const double oneWalkMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;

        constexpr int kRounds = 20;
        timer.restart();
        for (int round = 0; round < kRounds; ++round)
            list.topLevelTitles();
        const double meanMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / kRounds;

        timer.restart();
        QVERIFY(!list.hasWindowTitled(QStringLiteral("No such window")));
        const double searchMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;

        qInfo(
            "walk over %d windows: first %.2f ms, then %.2f ms (mean of %d walks: %.2f ms); "
            "looking for a missing title: %.2f ms",
            static_cast<int>(walked), firstWalkMs, oneWalkMs, kRounds, meanMs, searchMs);
    }
};

QTEST_GUILESS_MAIN(X11WindowsTest)
#include "tst_x11windows.moc"
