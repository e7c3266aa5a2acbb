// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The browser and the companion: window tests, the timer's tick, handing over addresses,
// starting programs and the help file.
#include "app/ImageButton.h"
#include "integration/BrowserAddress.h"
#include "integration/BrowserDetector.h"
#include "platform/ProcessLauncher.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <csignal>

namespace {
// A browser folder whose "Netscape.exe" links to a copy of sleep: a browser program that
// shows no window.
bool makeSleepingBrowser(const QString& folder) {
    return QFile::copy("/usr/bin/sleep", folder + "mybrowser") &&
           QFile::link(folder + "mybrowser", folder + "Netscape.exe");
}
}  // namespace

class BrowserLinkTest : public QObject {
    Q_OBJECT

private:
    void start(WindowFixture& f, const QString& browserFolder) {
        QString extra;
        if (!browserFolder.isNull())
            extra = "[Netscape]\r\nFolder=" + browserFolder + "\r\n";
        f.writeSettings({"Music"}, extra);
        f.writeKeepsake(WindowFixture::listFile(WindowFixture::entry("b.example/x.html", "B") +
                                                WindowFixture::entry("a.example/", "A")));
        QVERIFY(f.start());
    }

private slots:
    void browserTitles() {
        for (const QString yes :
             {"Netscape", "netscape - page", "NETSCAPE Navigator", "NeTsCaPe:x"}) {
            QVERIFY2(browseraddress::isBrowserTitle(yes), qPrintable(yes));
        }
        for (const QString no : {"My Netscape", "Netscap", "", " Netscape", "ネットスケープ"}) {
            QVERIFY2(!browseraddress::isBrowserTitle(no), qPrintable(no));
        }
        QCOMPARE(browseraddress::absolute("www.example.com/a b"),
                 QStringLiteral("http://www.example.com/a b"));
        QCOMPARE(browseraddress::absolute("-version"), QStringLiteral("http://-version"));
        QCOMPARE(browseraddress::absolute("https://x"), QStringLiteral("https://x"));
        QCOMPARE(browseraddress::absolute("file:///tmp/a"), QStringLiteral("file:///tmp/a"));
        QCOMPARE(browseraddress::absolute("javascript:alert(1)"),
                 QStringLiteral("http://javascript:alert(1)"));
        QCOMPARE(browseraddress::absolute(QString()), QString());
    }

    void theTickFollowsTheBrowsersWindow() {
        WindowFixture f;
        start(f, "/opt/netscape/");
        Refile& w = f.window();
        QVERIFY(!ui(w).mn_NNExec->isEnabled());
        // No browser: the start item is enabled, the images stay hidden.
        w.editor().Timer1_Timer();
        QVERIFY(ui(w).mn_NNExec->isEnabled());
        QVERIFY(ui(w).cmdSend->isHidden());
        // A browser window appears: images shown, start disabled.
        f.windows.titles = {"xterm", "My Netscape", "Netscape - test"};
        w.editor().Timer1_Timer();
        QVERIFY(w.editor().BrowserSeen);
        QVERIFY(!ui(w).cmdSend->isHidden());
        QVERIFY(!ui(w).cmdPreview->isHidden());
        QVERIFY(!ui(w).mn_NNExec->isEnabled());
        // Still there: nothing changes, even if someone enabled the item meanwhile.
        ui(w).mn_NNExec->setEnabled(true);
        w.editor().Timer1_Timer();
        QVERIFY(ui(w).mn_NNExec->isEnabled());
        ui(w).mn_NNExec->setEnabled(false);
        // Gone: images hidden, start enabled.
        f.windows.titles = {"My Netscape"};
        w.editor().Timer1_Timer();
        QVERIFY(!w.editor().BrowserSeen);
        QVERIFY(ui(w).cmdSend->isHidden());
        QVERIFY(ui(w).cmdPreview->isHidden());
        QVERIFY(ui(w).mn_NNExec->isEnabled());

        // Without a browser folder the tick does nothing at all, not even look.
        WindowFixture none;
        start(none, QString());
        none.windows.titles = {"Netscape"};
        const int walks = none.windows.walks;
        none.window().editor().Timer1_Timer();
        QCOMPARE(none.windows.walks, walks);
        QVERIFY(ui(none.window()).cmdSend->isHidden());
        QVERIFY(!ui(none.window()).mn_NNExec->isEnabled());

        // The real timer ticks on its own.
        f.windows.titles = {"netscape"};
        QTRY_VERIFY_WITH_TIMEOUT(!ui(w).cmdSend->isHidden(), 2000);
    }

    // Where the browser's windows cannot be seen (Wayland), a process running the program
    // the browser file leads to counts; on X11 only windows do.
    void onWaylandARunningProgramCounts() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        QVERIFY(makeSleepingBrowser(folder));
        FakeWindowList nothingVisible;
        BrowserDetector detector(nothingVisible);
        detector.setFolder(folder);

        const QByteArray saved = qgetenv("WAYLAND_DISPLAY");
        const bool hadWayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        QProcess browser;
        browser.start(folder + "mybrowser", {"60"});
        QVERIFY(browser.waitForStarted());
        const bool onX11 = detector.running();
        qputenv("WAYLAND_DISPLAY", "wayland-test");
        const bool onWayland = detector.running();
        browser.kill();
        QVERIFY(browser.waitForFinished());
        const bool afterwards = detector.running();
        if (hadWayland)
            qputenv("WAYLAND_DISPLAY", saved);
        else
            qunsetenv("WAYLAND_DISPLAY");
        QVERIFY(!onX11);
        QVERIFY(onWayland);
        QVERIFY(!afterwards);
    }

    // A browser started from the editor keeps "Netscape起動" disabled from its start, before
    // any window of it appears, but is handed nothing until its window shows; when it ends,
    // the item comes back.
    void aStartedBrowserIsOnItsWayBeforeItsWindow() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        QVERIFY(makeSleepingBrowser(folder));
        WindowFixture f;
        start(f, folder);
        Refile& w = f.window();
        w.editor().Timer1->stop();
        w.editor().Timer1_Timer();
        QVERIFY(ui(w).mn_NNExec->isEnabled());

        ProcessLauncher launcher;
        qint64 pid = 0;
        QVERIFY(launcher.startProgram(w.editor().browserDetector().program(), {"60"}, &pid));
        w.editor().browserDetector().started(pid);
        QVERIFY(w.editor().browserDetector().startedProgramRuns());
        QVERIFY(!w.editor().BrowserRunning());
        w.editor().Timer1_Timer();
        QVERIFY(!ui(w).mn_NNExec->isEnabled());
        QVERIFY(ui(w).cmdSend->isHidden());
        QVERIFY(ui(w).cmdPreview->isHidden());

        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGTERM), 0);
        QTRY_VERIFY(!w.editor().browserDetector().startedProgramRuns());
        w.editor().Timer1_Timer();
        QVERIFY(ui(w).mn_NNExec->isEnabled());
    }

    void sendAndPreviewHandOverAddresses() {
        WindowFixture f;
        start(f, "/opt/netscape/");
        Refile& w = f.window();
        // In the comment order the label shows the address, without "http://".
        ui(w).optKind[1]->click();
        w.editor().lstURLs[1].setCurrentRow(1);  // B
        QCOMPARE(ui(w).lblComDisp->text(), QStringLiteral("b.example/x.html"));
        w.editor().cmdSend_Click();
        QCOMPARE(f.launcher.starts.size(), 1);
        QCOMPARE(f.launcher.starts[0].program, QStringLiteral("/opt/netscape/Netscape.exe"));
        QCOMPARE(f.launcher.starts[0].arguments, QStringList({"http://b.example/x.html"}));

        // An empty label hands over nothing; a failing start shows nothing.
        ui(w).optKind[1]->click();
        w.editor().ComDisplay.clear();
        w.editor().cmdSend_Click();
        QCOMPARE(f.launcher.starts.size(), 1);
        f.launcher.fail = true;
        w.editor().lstURLs[1].setCurrentRow(0);
        w.editor().cmdSend_Click();
        QCOMPARE(f.launcher.starts.size(), 2);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        f.launcher.fail = false;

        // Preview rewrites the index first, then hands over the frame page's address.
        QFile::remove(f.appFolder() + "URLINDEX.HTML");
        QFile::remove(f.appFolder() + "URLFRAME.HTML");
        w.editor().cmdPreview_Click();
        QVERIFY(f.exists(f.appFolder() + "URLINDEX.HTML"));
        QVERIFY(f.exists(f.appFolder() + "URLFRAME.HTML"));
        QCOMPARE(f.launcher.starts.last().arguments,
                 QStringList({QUrl::fromLocalFile(f.appFolder() + "URLFRAME.HTML").toString()}));
        QVERIFY(f.launcher.starts.last().arguments[0].startsWith("file:///"));
        QVERIFY(f.launcher.starts.last().arguments[0].endsWith("/app/URLFRAME.HTML"));
    }

    void startingProgramsAndTheHelp() {
        WindowFixture f;
        start(f, "/opt/netscape/");
        Refile& w = f.window();
        w.editor().mn_NNExec_Click();
        QCOMPARE(f.launcher.starts.last().program, QStringLiteral("/opt/netscape/Netscape.exe"));
        QCOMPARE(f.launcher.starts.last().arguments, QStringList());
        QVERIFY(w.editor().Timer1->isActive());
        w.editor().mn_ScribbleExec_Click();
        QCOMPARE(f.launcher.starts.last().program, f.companionFolder() + "Scribble.exe");
        QVERIFY(f.prompts.messageTexts().isEmpty());

        // A program that cannot be started is named in a notice.
        f.launcher.fail = true;
        w.editor().mn_NNExec_Click();
        w.editor().mn_ScribbleExec_Click();
        QCOMPARE(
            f.prompts.messageTexts(),
            QStringList({"[/opt/netscape/Netscape.exe]を起動できませんでした。",
                         "[" + f.companionFolder() + "Scribble.exe]を起動できませんでした。"}));
        QVERIFY(w.editor().Timer1->isActive());

        // The help is the editor's own: no help file is handed to another program.
        ui(w).mn_Help->trigger();
        QVERIFY(f.launcher.documents.isEmpty());
    }

    // A Windows companion ("MZ") starts through wine, in its own folder, when wine is on the
    // path, and the notice says that wine is needed when it is not; a link named
    // "Scribble.exe" to a Linux program starts directly.
    void theCompanionUnderWine_data() {
        QTest::addColumn<QByteArray>("program");  // empty: a link to a Linux program
        QTest::addColumn<bool>("wineOnPath");
        QTest::newRow("Windows, wine") << QByteArray("MZ\x90\0") << true;
        QTest::newRow("Windows, no wine") << QByteArray("MZ\x90\0") << false;
        QTest::newRow("Linux link, wine") << QByteArray() << true;
    }
    void theCompanionUnderWine() {
        QFETCH(QByteArray, program);
        QFETCH(bool, wineOnPath);
        QTemporaryDir bin;
        const QString wine = bin.path() + "/wine";
        // The stand-in wine notes its folder and its arguments.
        QFile script(wine);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\npwd > \"$0.out\"\nprintf '%s\\n' \"$@\" >> \"$0.out\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", (wineOnPath ? bin.path().toUtf8() + ":" : QByteArray()) + "/usr/bin:/bin");

        WindowFixture f;
        start(f, QString());
        const QString companion = f.companionFolder() + "Scribble.exe";
        if (program.isEmpty())
            QVERIFY(QFile::link("/usr/bin/true", companion));
        else
            f.writeFile(companion, program);
        f.window().editor().mn_ScribbleExec_Click();
        qputenv("PATH", path);

        if (!program.isEmpty() && !wineOnPath) {
            QVERIFY(f.launcher.starts.isEmpty());
            QCOMPARE(f.prompts.messageTexts(),
                     QStringList(
                         {companion + "はWindowsのプログラムです。起動するにはwineが必要です。"}));
            return;
        }
        QVERIFY(f.prompts.messageTexts().isEmpty());
        QCOMPARE(f.launcher.starts.size(), 1);
        const auto& started = f.launcher.starts[0];
        if (program.isEmpty()) {
            QCOMPARE(started.program, companion);
            QCOMPARE(started.arguments, QStringList());
            return;
        }
        QCOMPARE(started.program, wine);
        QCOMPARE(started.arguments, QStringList({companion}));
        // Started for real, wine runs in the companion's folder.
        ProcessLauncher launcher;
        QVERIFY(launcher.startProgram(started.program, started.arguments, nullptr, started.folder));
        QTRY_COMPARE(f.readFile(wine + ".out"), QDir(f.companionFolder()).absolutePath().toUtf8() +
                                                    "\n" + companion.toUtf8() + "\n");
    }

    void theCompanionsMenuItem() {
        WindowFixture f;
        start(f, QString());
        Refile& w = f.window();
        QVERIFY(w.editor().CompanionLinked);
        QVERIFY(ui(w).mn_ScribbleExec->isEnabled());
        f.windows.titles = {"スクリブル"};
        w.editor().mn_Option_Click();
        QVERIFY(!ui(w).mn_ScribbleExec->isEnabled());
        f.windows.titles = {"スクリブル - メモ", "Scribble"};
        emit ui(w).mn_Option->aboutToShow();
        QVERIFY(ui(w).mn_ScribbleExec->isEnabled());
        w.editor().CompanionLinked = false;
        f.windows.titles.clear();
        w.editor().mn_Option_Click();
        QVERIFY(!ui(w).mn_ScribbleExec->isEnabled());
    }
};

QTEST_MAIN(BrowserLinkTest)
#include "tst_browserlink.moc"
