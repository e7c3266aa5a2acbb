// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// End to end against the real window system: the editor runs on the X server the test
// command started, a stand-in browser installed as "Netscape.exe" opens a window, and the
// editor's timer, send button and real program start are watched doing their work.
#include "app/ImageButton.h"
#include "platform/ProcessInfo.h"
#include "platform/ProcessLauncher.h"
#include "platform/X11WindowList.h"
#include "support/FakePrompts.h"
#include "support/RealDisplay.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/Refile.h"
#include "support/WindowFixture.h"

#include <csignal>

namespace {
// Sends SIGTERM to every process running `program`; returns how many there were.
int terminateProgram(const QString& program) {
    int count = 0;
    for (const qint64 pid : processinfo::allProcesses()) {
        if (processinfo::executable(pid) == program &&
            ::kill(static_cast<pid_t>(pid), SIGTERM) == 0)
            ++count;
    }
    return count;
}
}  // namespace

class BrowserEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_DISPLAY(); }

    void sendAnAddressToARunningBrowser() {
        QTemporaryDir browserDir;
        const QString browserFolder = browserDir.path() + "/";
        QVERIFY(QFile::copy(QStringLiteral(KEEPSAKE_HELPER_DIR "/fake_netscape"),
                            browserFolder + "Netscape.exe"));

        WindowFixture f;
        f.writeSettings({"Music"}, "[Netscape]\r\nFolder=" + browserFolder + "\r\n");
        f.writeKeepsake(
            WindowFixture::listFile(WindowFixture::entry("www.example.jp/a.html", "例")));

        X11WindowList windows;
        QVERIFY(windows.isConnected());
        ProcessLauncher launcher;
        FakePrompts& prompts = f.prompts;
        Refile w(Platform{prompts, windows, launcher});
        QVERIFY(w.Load(f.appFolder()));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY_WITH_TIMEOUT(ui(w).mn_NNExec->isEnabled(), 3000);
        QVERIFY(ui(w).cmdSend->isHidden());

        // Start the browser from the menu: its window appears, and within a tick the images.
        ui(w).mn_NNExec->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(windows.hasWindowTitled("Netscape - test"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!ui(w).cmdSend->isHidden(), 3000);
        QVERIFY(!ui(w).cmdPreview->isHidden());
        QVERIFY(!ui(w).mn_NNExec->isEnabled());

        // In the comment order, a click on the entry and on the send image.
        QTest::mouseClick(ui(w).optKind[1], Qt::LeftButton);
        const QRect itemRect = ui(w).lstURLs[1]->visualRect(ui(w).lstURLs[1]->model()->index(0, 0));
        QTest::mouseClick(ui(w).lstURLs[1]->viewport(), Qt::LeftButton, {}, itemRect.center());
        QCOMPARE(ui(w).lblComDisp->text(), QStringLiteral("www.example.jp/a.html"));
        QTest::mouseClick(ui(w).cmdSend, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(f.readFile(browserFolder + "received.txt"),
                                  QByteArray("http://www.example.jp/a.html\n"), 10000);

        // Close the browser: the images go and the start item comes back.
        QVERIFY(terminateProgram(browserFolder + "Netscape.exe") > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!windows.hasWindowTitled("Netscape - test"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(ui(w).cmdSend->isHidden(), 3000);
        QVERIFY(ui(w).cmdPreview->isHidden());
        QVERIFY(ui(w).mn_NNExec->isEnabled());
        QCOMPARE(prompts.messageTexts(), QStringList());
        w.close();
    }
};

int main(int argc, char** argv) {
    showWindowsOn();
    QApplication app(argc, argv);
    BrowserEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browser_e2e.moc"
