// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// End to end with the real browsers: Debian's firefox-esr and chromium, each with the extension
// installed in a throw-away profile and keepsake-keep registered as its host, open a page
// served from 127.0.0.1 whose title is Japanese; the keyboard shortcut, sent through the X
// server, keeps it, and the editor's "Reload!" lists it with the title as its comment.
//
// Everything runs in a network namespace of the test's own with only the loopback device up, on
// a private session bus. The program runs itself three times: outside (enters the namespace),
// in the namespace (brings up the loopback device and starts the bus), and inside (the tests).
// Needs root (for the namespace) and the X server of the test command.
#include "platform/Cp932Codec.h"
#include "support/LocalWebServer.h"
#include "support/OtherWindows.h"
#include "support/RealDisplay.h"
#include "support/StagedProcess.h"
#include "support/WindowControls.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* const kStage = "KEEPSAKE_KEEP_BROWSER_STAGE";
const QString kTitle = QStringLiteral("日本語のページ「キープ」");
constexpr int kStartMs = 180000;
constexpr int kKeepMs = 60000;

}  // namespace

class KeepBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(staged::reachesOnlyThisMachine());
        QVERIFY(!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
        QVERIFY2(QFileInfo(QStringLiteral("/usr/bin/xdotool")).isExecutable(),
                 "xdotool is not installed");
    }

    void theShortcutKeepsThePage_data() {
        QTest::addColumn<QString>("browser");
        QTest::newRow("firefox-esr") << QStringLiteral("/usr/bin/firefox-esr");
        QTest::newRow("chromium") << QStringLiteral("/usr/bin/chromium");
    }
    void theShortcutKeepsThePage() {
        QFETCH(QString, browser);
        QVERIFY2(QFileInfo(browser).isExecutable(), qPrintable(browser + " is not installed"));
        const bool firefox = browser.endsWith(QStringLiteral("firefox-esr"));

        // A throw-away home: the editor's settings file names the collection, and the
        // browser's profile lies in it.
        QTemporaryDir scratch;
        const QString home = scratch.path() + "/home";
        const QString config = home + "/.config";
        const QString runtime = scratch.path() + "/runtime";
        QVERIFY(QDir().mkpath(config) && QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("HOME", home.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        qputenv("XDG_CACHE_HOME", (home + "/.cache").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        qputenv("NO_AT_BRIDGE", "1");
        qputenv("MOZ_CRASHREPORTER_DISABLE", "1");

        WindowFixture f;
        f.writeSettings({"Music"});
        f.writeKeepsake(WindowFixture::listFile(WindowFixture::entry("old.example/", "古い")));
        QVERIFY(QDir().mkpath(config + "/keepsake-editor"));
        f.writeFile(config + "/keepsake-editor/keepsake-editor.conf",
                    "[Collection]\nFolder=" + f.appFolder().toUtf8() + "\n");
        QCOMPARE(QProcess::execute(KEEPSAKE_KEEP_PATH, {"--install-browser-hosts"}), 0);

        // The editor runs while the page is kept.
        QVERIFY(f.start());
        Refile& w = f.window();
        QCOMPARE(ui(w).lstURLs[1]->model()->rowCount(), 1);

        // Every page has the Japanese title.
        LocalWebServer server;
        QVERIFY(server.listenForPages([](const QByteArray&) {
            return "<html><head><meta charset=\"utf-8\"><title>" + kTitle.toUtf8() +
                   "</title></head><body>" + kTitle.toUtf8() + "</body></html>";
        }));
        const QString page = "http://" + server.site() + "/page.html";

        QStringList arguments;
        if (firefox) {
            const QString profile = home + "/profile";
            QVERIFY(QDir().mkpath(profile + "/extensions"));
            QVERIFY(QFile::copy(KEEPSAKE_EXTENSION_DIR "/keepsake-keep-firefox.xpi",
                                profile + "/extensions/" KEEPSAKE_FIREFOX_EXTENSION_ID ".xpi"));
            f.writeFile(profile + "/user.js",
                        "user_pref(\"xpinstall.signatures.required\", false);\n"
                        "user_pref(\"extensions.autoDisableScopes\", 0);\n"
                        "user_pref(\"extensions.enabledScopes\", 15);\n"
                        "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
                        "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
                        "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n");
            arguments << "--no-remote"
                      << "--profile" << profile << page;
        } else {
            // Chromium looks for the user's hosts in its user data folder.
            arguments << "--user-data-dir=" + config + "/chromium"
                      << "--no-first-run"
                      << "--no-sandbox"
                      << "--no-default-browser-check"
                      << "--password-store=basic"
                      << "--disable-features=DisableLoadExtensionCommandLineSwitch"
                      << "--load-extension=" KEEPSAKE_EXTENSION_DIR "/chromium" << page;
        }
        QProcess browserProcess;
        browserProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        browserProcess.start(browser, arguments);
        QVERIFY(browserProcess.waitForStarted());
        const auto ending = qScopeGuard([&] {
            browserProcess.terminate();
            if (!browserProcess.waitForFinished(20000))
                browserProcess.kill();
            browserProcess.waitForFinished(10000);
        });

        // The page is shown: its window takes the Japanese title.
        QString window;
        QVERIFY(QTest::qWaitFor(
            [&] {
                window = otherwindows::findWindow(kTitle);
                return !window.isEmpty();
            },
            kStartMs));
        QTest::qWait(5000);  // the extension's background starts with the window

        // The shortcut, through the X server, until the entry lands (the first key may come
        // before the extension listens).
        const QString keepsake = f.companionFolder() + "KEEPSAKE.HTML";
        QVERIFY(QTest::qWaitFor(
            [&] {
                otherwindows::xdotool({"windowfocus", "--sync", window});
                otherwindows::xdotool(
                    {"key", "--clearmodifiers", "--window", window, "alt+shift+k"});
                QTest::qWait(3000);
                return f.readFile(keepsake).contains("127.0.0.1");
            },
            kKeepMs));
        const QByteArray expected = WindowFixture::page({"<A HREF=\"http://" + page.mid(7) + "\">" +
                                                         page.mid(7) + "</A><BR>"})
                                        .chopped(2);
        QVERIFY2(f.readFile(keepsake).contains(expected), f.readFile(keepsake).constData());
        QVERIFY(f.readFile(keepsake).contains(
            cp932::encode(QStringLiteral("《 ") + kTitle + QStringLiteral(" 》"))));

        // The editor says so, and lists it after "Reload!".
        QTRY_COMPARE(
            ui(w).lblMsg->text(),
            QStringLiteral("キープセイクファイルが更新されました。Reload!で読み込みます。"));
        QCOMPARE(ui(w).lstURLs[1]->model()->rowCount(), 1);
        QTest::mouseClick(ui(w).cmdReload, Qt::LeftButton);
        QTRY_COMPARE(ui(w).lstURLs[1]->model()->rowCount(), 2);
        QCOMPARE(f.editor().KeepCom[2], kTitle);
        QCOMPARE(f.editor().KeepURL[2], page.mid(7));
        f.close();
    }
};

int main(int argc, char** argv) {
    if (const int status = staged::enterLoopback(kStage, argv, true, true); status >= 0)
        return status;
    showWindowsOn();
    QApplication app(argc, argv);
    KeepBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keepbrowser.moc"
