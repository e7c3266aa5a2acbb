// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// End to end with the real browsers. Debian's firefox-esr, set up as a user would (a link
// named "Netscape.exe" in the browser's folder), started from the editor's menu, handed two
// addresses on a local web server and the frame page, in which an entry is clicked. Debian's
// chromium, headless, reads the pages the editor wrote and prints what it made of them.
//
// Everything runs in a network namespace of the test's own with only the loopback device up,
// so the browser's fresh profile can reach nothing but 127.0.0.1, and on a private session
// bus, through which a browser started with an address hands it to the running one. The
// program runs itself three times: outside (enters the namespace), in the namespace (brings
// up the loopback device and starts the bus), and inside (the tests). Needs root (for the
// namespace) and the X server of the test command.
#include "app/ImageButton.h"
#include "platform/ProcessInfo.h"
#include "platform/ProcessLauncher.h"
#include "platform/X11WindowList.h"
#include "support/FakePrompts.h"
#include "support/LocalWebServer.h"
#include "support/OtherWindows.h"
#include "support/RealDisplay.h"
#include "support/StagedProcess.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <csignal>

namespace {

const char* const kStage = "KEEPSAKE_REAL_BROWSER_STAGE";
const QString kBrowser = QStringLiteral("/usr/bin/firefox-esr");
const QString kChromium = QStringLiteral("/usr/bin/chromium");

// How long the browser may take to come up, and each page to arrive, on a busy machine.
constexpr int kStartMs = 180000;
constexpr int kPageMs = 60000;

// A real launcher that remembers what it started, so the test ends exactly those processes.
class RecordingLauncher : public ProcessLauncher {
public:
    QList<qint64> started;
    bool startProgram(const QString& program, const QStringList& arguments, qint64* processId,
                      const QString& folder) override {
        qint64 pid = 0;
        const bool ok = ProcessLauncher::startProgram(program, arguments, &pid, folder);
        if (ok)
            started.append(pid);
        if (processId)
            *processId = pid;
        return ok;
    }
};

// The processes of the sessions that the started processes lead.
QList<qint64> sessionMembers(const QList<qint64>& leaders) {
    QList<qint64> members;
    for (const qint64 pid : processinfo::allProcesses()) {
        const std::optional<processinfo::Status> status = processinfo::status(pid);
        if (status && leaders.contains(status->session))
            members.append(pid);
    }
    return members;
}

// Ends what the editor started: politely first, then for good.
void endStarted(const QList<qint64>& leaders) {
    for (const qint64 pid : sessionMembers(leaders))
        ::kill(static_cast<pid_t>(pid), SIGTERM);
    (void)QTest::qWaitFor([&] { return sessionMembers(leaders).isEmpty(); }, 20000);
    for (const qint64 pid : sessionMembers(leaders))
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    (void)QTest::qWaitFor([&] { return sessionMembers(leaders).isEmpty(); }, 10000);
}

// What a program printed, run to its end (at most `ms`); empty when it failed.
QByteArray output(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                  int ms = 30000) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

// The document Chromium parsed from a file, as it serializes it (UTF-8), in a locale that
// gives it no hint of Japanese.
QString chromiumDom(const QString& file) {
    QTemporaryDir profile;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("LANGUAGE"));
    return QString::fromUtf8(output(
        kChromium,
        {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--user-data-dir=" + profile.path(), "--dump-dom", QUrl::fromLocalFile(file).toString()},
        env, kPageMs));
}

// Clicks into the visible window whose title starts with `title`, at the fractions of its
// width and height given; false when there is no such window.
bool clickInto(const QString& title, double x, double y) {
    return otherwindows::clickAt(otherwindows::findWindow(u'^' + title), x, y);
}

bool anyTitleStartsWith(X11WindowList& windows, const QString& start) {
    const QStringList titles = windows.topLevelTitles();
    for (const QString& title : titles) {
        if (title.startsWith(start))
            return true;
    }
    return false;
}

}  // namespace

class RealBrowserTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_scratch;

    void clickEntry(Refile& w, int row) {
        QListView* list = ui(w).lstURLs[1];
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

private slots:
    void initTestCase() {
        QVERIFY(m_scratch.isValid());
        // Only 127.0.0.1 is reachable here.
        QVERIFY(staged::reachesOnlyThisMachine());
        QVERIFY(!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
        QVERIFY2(QFileInfo(kBrowser).isExecutable(), "firefox-esr is not installed");

        // A throw-away home, where the browser makes its profile; no accessibility bus.
        const QString home = m_scratch.path() + "/home";
        const QString runtime = m_scratch.path() + "/runtime";
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("HOME", home.toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home + "/.config").toLocal8Bit());
        qputenv("XDG_CACHE_HOME", (home + "/.cache").toLocal8Bit());
        qputenv("NO_AT_BRIDGE", "1");
        qputenv("GTK_A11Y", "none");
        qputenv("MOZ_CRASHREPORTER_DISABLE", "1");
    }

    void chromiumReadsThePagesAsWritten() {
        QVERIFY2(QFileInfo(kChromium).isExecutable(),
                 "chromium is not installed (tools/install-deps.sh installs it)");
        // Names and comments of every kind of character, names and an address holding
        // markup's own characters; an existing page (page 0) whose head names no charset,
        // and a page the editor makes.
        const QString japanese = QStringLiteral("● ｶﾀｶﾅ 髙橋 ①");
        const QString markup = QStringLiteral("R&D <stdio.h> &region");
        const QString address = QStringLiteral("127.0.0.1/R&D/<stdio.h>?a=1&region=2");
        EditorFixture f;
        f.writeSettings({japanese, markup});
        f.writeKeepsake(EditorFixture::listFile(
            EditorFixture::entry(address, japanese) + EditorFixture::entry("127.0.0.1/", "丸①"),
            {"<HTML><HEAD><TITLE>キープセイク</TITLE></HEAD>", "<BODY>"}));
        f.writeFile(f.appFolder() + "URL_0000.html", EditorFixture::listFile({}));
        QVERIFY(f.start());
        KeepsakeEditor& w = f.editor();
        for (int row = 0; row < 2; ++row) {
            w.lstKinds.setCurrentRow(row);
            w.lstURLs[0].selectAll();
            w.cmdMove_Click();
            w.cmdSave_Click();
        }
        f.close();

        const QString index = chromiumDom(f.appFolder() + "URLINDEX.HTML");
        QVERIFY2(index.contains(">" + japanese + "</a>"), qPrintable(index));
        QVERIFY2(index.contains(">R&amp;D &lt;stdio.h&gt; &amp;region</a>"), qPrintable(index));
        QVERIFY(index.contains("● </font>"));
        const QString link =
            QStringLiteral(">127.0.0.1/R&amp;D/&lt;stdio.h&gt;?a=1&amp;region=2</a>");
        const QList<QPair<QString, QString>> pages = {
            {"URL_0000.html", japanese}, {"URL_0001.html", "R&amp;D &lt;stdio.h&gt; &amp;region"}};
        for (const auto& [name, title] : pages) {
            const QString page = chromiumDom(f.appFolder() + name);
            QVERIFY2(page.contains("～ " + title + " ～"), qPrintable(page));
            QVERIFY2(page.contains(" target=\"_top\"" + link), qPrintable(page));
            QVERIFY2(page.contains("《 " + japanese + " 》"), qPrintable(page));
            QVERIFY2(page.contains("《 丸① 》"), qPrintable(page));
        }
        // The frame page, and the index as its frame names it.
        const QString frame = chromiumDom(f.appFolder() + "URLFRAME.HTML");
        QVERIFY2(frame.contains("<title>キープセイク帖</title>"), qPrintable(frame));
        QVERIFY2(frame.contains("フレーム対応でありませんね。"), qPrintable(frame));
        QVERIFY2(frame.contains("<frame src=\"./URLINDEX.HTML\" name=\"INDEX\">"),
                 qPrintable(frame));
    }

    void startSendAndPreview() {
        // Every page is titled after its path.
        LocalWebServer server;
        QVERIFY(server.listenForPages([](const QByteArray& path) {
            return "<html><head><title>Served " + path + "</title></head><body>" + path +
                   "</body></html>";
        }));
        const QString site = server.site();

        // The browser's folder holds a link named as the editor expects.
        const QString browserFolder = m_scratch.path() + "/browser/";
        QVERIFY(QDir().mkpath(browserFolder));
        QVERIFY(QFile::link(kBrowser, browserFolder + "Netscape.exe"));

        WindowFixture f;
        f.writeSettings({"Music"}, "[Netscape]\r\nFolder=" + browserFolder + "\r\n");
        // The index and the category page come with a style that makes their one link fill
        // its frame, so that a click anywhere in a frame follows it. The page's entry is
        // written by the editor before the preview.
        const QStringList filled = {
            "<HTML><HEAD><STYLE>A{display:block;position:fixed;left:0;top:0;right:0;bottom:0}"
            "</STYLE></HEAD><BODY>"};
        f.writeFile(f.appFolder() + "URLINDEX.HTML",
                    WindowFixture::listFile({}, filled, {"</BODY></HTML>"}));
        f.writeFile(f.appFolder() + "URL_0000.html",
                    WindowFixture::listFile(WindowFixture::entry(site + "/top.html", "上へ"),
                                            filled, {"</BODY></HTML>"}));
        f.writeKeepsake(WindowFixture::listFile(WindowFixture::entry(site + "/one.html", "一") +
                                                WindowFixture::entry(site + "/two.html", "二")));

        X11WindowList windows;
        QVERIFY(windows.isConnected());
        RecordingLauncher launcher;
        // Whatever happens, what the editor started ends with the test.
        const auto ending = qScopeGuard([&launcher] { endStarted(launcher.started); });
        Refile w(Platform{f.prompts, windows, launcher});
        QVERIFY(w.Load(f.appFolder()));
        w.editor().lstKinds.setCurrentRow(0);
        w.editor().cmdSave_Click();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY_WITH_TIMEOUT(ui(w).mn_NNExec->isEnabled(), 5000);
        QVERIFY(ui(w).cmdSend->isHidden());

        // "Netscape起動": the browser comes up and the editor notices it, though no window
        // of it is titled "Netscape".
        ui(w).mn_NNExec->trigger();
        QCOMPARE(launcher.started.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!ui(w).cmdSend->isHidden(), kStartMs);
        QVERIFY(!ui(w).cmdPreview->isHidden());
        QVERIFY(!ui(w).mn_NNExec->isEnabled());
        QVERIFY(!anyTitleStartsWith(windows, "Netscape"));

        // Two sends, each a new page in the running browser; the browser stays seen.
        QTest::mouseClick(ui(w).optKind[1], Qt::LeftButton);
        clickEntry(w, 0);
        QCOMPARE(ui(w).lblComDisp->text(), site + "/one.html");
        QTest::mouseClick(ui(w).cmdSend, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(server.asked("/one.html"), kPageMs);
        QTRY_VERIFY_WITH_TIMEOUT(anyTitleStartsWith(windows, "Served /one.html"), kPageMs);
        QTest::qWait(1500);  // a few ticks with the new title
        QVERIFY(!ui(w).cmdSend->isHidden());

        clickEntry(w, 1);
        QCOMPARE(ui(w).lblComDisp->text(), site + "/two.html");
        QTest::mouseClick(ui(w).cmdSend, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(server.asked("/two.html"), kPageMs);
        QTRY_VERIFY_WITH_TIMEOUT(anyTitleStartsWith(windows, "Served /two.html"), kPageMs);

        // Preview: the frame page, whose title the browser's window takes.
        QTest::mouseClick(ui(w).cmdPreview, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(anyTitleStartsWith(windows, QStringLiteral("キープセイク帖")),
                                 kPageMs);
        QTest::qWait(1500);
        QVERIFY(!ui(w).cmdSend->isHidden());
        QVERIFY(!ui(w).mn_NNExec->isEnabled());
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        // Every start after the first handed its address to the running browser and left
        // (one that showed an error box instead would still be running).
        QCOMPARE(launcher.started.size(), 4);
        QTRY_VERIFY_WITH_TIMEOUT(sessionMembers(launcher.started.mid(1)).isEmpty(), kPageMs);
        QVERIFY(!sessionMembers(launcher.started.mid(0, 1)).isEmpty());

        // In the frame page, the index opens the category in the right frame, and its entry
        // opens the site in the whole window: sites refuse to be shown inside a frame.
        const QString framePage = QStringLiteral("キープセイク帖");
        QVERIFY(clickInto(framePage, 0.15, 0.6));
        QTRY_VERIFY_WITH_TIMEOUT(
            server.asked("/top.html") ||
                (clickInto(framePage, 0.65, 0.6) &&
                 QTest::qWaitFor([&] { return server.asked("/top.html"); }, 2000)),
            kPageMs);
        QTRY_VERIFY_WITH_TIMEOUT(anyTitleStartsWith(windows, "Served /top.html"), kPageMs);
        QVERIFY(!anyTitleStartsWith(windows, framePage));

        // The browser closes: the editor notices that too.
        endStarted(launcher.started);
        QVERIFY(sessionMembers(launcher.started).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(ui(w).cmdSend->isHidden(), 20000);
        QVERIFY(ui(w).mn_NNExec->isEnabled());
        w.close();
    }
};

int main(int argc, char** argv) {
    if (const int status = staged::enterLoopback(kStage, argv, true, true); status >= 0)
        return status;
    showWindowsOn();
    QApplication app(argc, argv);
    RealBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_realbrowser.moc"
