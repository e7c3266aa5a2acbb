// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The link check through the real window on the test command's X server, opened from the menu
// with real keys and its rows clicked with the real pointer, against a web server of the
// test's own over http and https, in a network namespace that holds only the loopback device:
// nothing the check sends can leave the machine.
#include "linkcheck/LinkCheckWindow.h"
#include "linkcheck/LinkChecker.h"
#include "linkcheck/LinkResults.h"
#include "support/LocalWebServer.h"
#include "support/RealDisplay.h"
#include "support/RealInput.h"
#include "support/StagedProcess.h"
#include "support/WindowFixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr const char* kStage = "KEEPSAKE_LINKCHECK_STAGE";

// Every kind of answer, by the address as the page keeps it.
struct Expected {
    const char* url;
    const char* result;  // what the result column begins with
    int status;
    const char* movedTo;
};
const Expected kAnswers[] = {
    {"localhost/ok", "正常", 200, ""},
    {"https://localhost/ok", "正常", 200, ""},
    // No certificate names 127.0.0.1: https gives up, and the address as written works.
    {"127.0.0.1/ok", "正常", 200, ""},
    {"https://127.0.0.1/ok", "応答なし", 0, ""},
    {"localhost/moved", "移転", 200, "https://localhost/final"},
    {"localhost/temp", "正常", 200, ""},
    // Sent from http to the same address over https: it works where it is.
    {"localhost/up-https", "正常", 200, ""},
    {"localhost/loop", "応答なし（転送が繰り返されています）", 0, ""},
    {"localhost/many", "応答なし（転送が多すぎます）", 0, ""},
    {"localhost/gone", "消滅", 404, ""},
    {"localhost/gone410", "消滅", 410, ""},
    {"localhost/broken", "拒否", 500, ""},
    {"localhost/nohead", "正常", 200, ""},
    {"localhost/silent", "応答なし（時間切れ）", 0, ""},
};

LocalWebServer* server = nullptr;

QStringList pageLines(const QStringList& urls) {
    QStringList lines;
    for (int i = 0; i < urls.size(); ++i)
        lines += EditorFixture::entry(urls[i], QStringLiteral("項目%1").arg(i, 2, 10, QChar('0')));
    return lines;
}

int rowOf(const LinkResults& results, const QString& url) {
    for (int row = 0; row < results.rowCount(); ++row) {
        if (results.target(row).url == url)
            return row;
    }
    return -1;
}

}  // namespace

class LinkCheckTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

    // Opens the window from the tools menu on the started editor with Alt+T and L, its
    // checker trusting the test's certificate and waiting 3 s per address.
    LinkCheckWindow* open(Refile& w) {
        auto* action = w.findChild<QAction*>(QStringLiteral("mn_LinkCheck"));
        if (!action || action->text() != QStringLiteral("リンク検査(&L)…") ||
            !realinput::pressKeys(&w, {"alt+t", "l"}))
            return nullptr;
        LinkCheckWindow* check = nullptr;
        QDeadlineTimer deadline(5000);
        while (!(check = w.findChild<LinkCheckWindow*>()) && !deadline.hasExpired())
            QTest::qWait(20);
        if (!check || !QTest::qWaitForWindowExposed(check))
            return nullptr;
        check->checker().addCaCertificates({server->certificate()});
        check->checker().setTimeout(3000);
        return check;
    }

    void startOn(WindowFixture& f, const QStringList& loadedUrls) {
        f.writeSettings({"生きている", "別"});
        f.writeKeepsake(EditorFixture::listFile({}));
        f.writeFile(f.appFolder() + "URL_0000.html",
                    EditorFixture::categoryPage("生きている", pageLines(loadedUrls)));
        f.writeFile(
            f.appFolder() + "URL_0001.html",
            EditorFixture::categoryPage("別", EditorFixture::entry("localhost/ok", "別のページ")));
        QVERIFY(f.start());
        Refile& w = f.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        KeepsakeEditor& e = w.editor();
        QTRY_VERIFY(e.Index->isBuilt());
        for (int row = 0; row < e.lstKinds.count(); ++row) {
            if (e.lstKinds.model().page(row) == 0)
                e.selectCategoryRow(row);
        }
        QCOMPARE(e.KindPage, 0);
    }

private slots:
    void initTestCase() {
        REQUIRE_TEST_DISPLAY_AND_XDOTOOL();
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        server = new LocalWebServer;
        QString error;
        QVERIFY2(server->listen(80, 443, &error), qPrintable(error));
    }

    void everyAnswerIsShownAndActedOn() {
        QStringList urls;
        for (const Expected& e : kAnswers)
            urls << QString::fromUtf8(e.url);
        WindowFixture f;
        startOn(f, urls);
        Refile& w = f.window();
        KeepsakeEditor& e = w.editor();
        LinkCheckWindow* check = open(w);
        QVERIFY(check);
        auto* results = check->findChild<LinkResults*>();
        QAbstractItemModelTester tester(results,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        QSignalSpy changed(results, &QAbstractItemModel::dataChanged);

        // The whole collection: asked first, with the count.
        f.prompts.answerMessage(PromptAnswer::Ok);
        QTest::mouseClick(check->findChild<QPushButton*>("cmdCheckAll"), Qt::LeftButton);
        QCOMPARE(f.prompts.messageTexts().value(0),
                 QStringLiteral("全カテゴリの %1 件のアドレスを検査します。よろしいですか？")
                     .arg(urls.size() + 1));
        auto* state = check->findChild<QLabel*>("lblLinkState");
        QTRY_VERIFY_WITH_TIMEOUT(state->text().endsWith(QStringLiteral("終了")), 20000);
        QCOMPARE(changed.size(), urls.size() + 1);
        QCOMPARE(results->answeredCount(), urls.size() + 1);

        int failed = 0;
        for (const Expected& x : kAnswers) {
            const int row = rowOf(*results, QString::fromUtf8(x.url));
            const QString where = QString::fromUtf8(x.url);
            QVERIFY2(row >= 0, qPrintable(where));
            auto text = [&](int column) { return results->index(row, column).data().toString(); };
            QVERIFY2(text(LinkResults::Result).startsWith(QString::fromUtf8(x.result)),
                     qPrintable(where + ": " + text(LinkResults::Result)));
            QCOMPARE(results->index(row, LinkResults::Status).data().toInt(), x.status);
            QCOMPARE(text(LinkResults::MovedTo), QString::fromUtf8(x.movedTo));
            QCOMPARE(text(LinkResults::Category), QStringLiteral("生きている"));
            failed += QString::fromUtf8(x.result) != QStringLiteral("正常");
        }

        // Only the request is sent: the program's name, no cookie although one was set;
        // HEAD first, GET only where HEAD was refused; "http://" went over https first.
        QList<QByteArray> noHead;
        QList<bool> upgradedOverTls;
        for (const LocalWebServer::Seen& s : server->seen) {
            QCOMPARE(s.userAgent, LinkChecker::userAgent().toUtf8());
            QVERIFY(!s.cookie);
            if (s.method == "GET")
                QCOMPARE(s.path, QByteArray("/nohead"));
            if (s.path == "/nohead")
                noHead << s.method;
            if (s.path == "/up-https")
                upgradedOverTls << s.tls;
        }
        QCOMPARE(noHead, (QList<QByteArray>{"HEAD", "GET"}));
        // The upgrade was taken: over https first, then the address as written, then where
        // it was sent.
        QVERIFY(upgradedOverTls.size() >= 3 && upgradedOverTls.first());
        QCOMPARE(upgradedOverTls.mid(upgradedOverTls.size() - 2), (QList<bool>{false, true}));

        // The failed only.
        auto* grid = check->findChild<QTableView*>("grdLinks");
        QTest::mouseClick(check->findChild<QCheckBox*>("chkFailedOnly"), Qt::LeftButton);
        QCOMPARE(grid->model()->rowCount(), failed);
        QTest::mouseClick(check->findChild<QCheckBox*>("chkFailedOnly"), Qt::LeftButton);
        QCOMPARE(grid->model()->rowCount(), urls.size() + 1);

        // The moved address takes its new place, the gone one leaves the loaded page; only
        // in memory.
        auto* remove = check->findChild<QPushButton*>("cmdLinkDelete");
        auto* move = check->findChild<QPushButton*>("cmdLinkMove");
        QVERIFY(realinput::clickRow(grid, rowOf(*results, "localhost/moved")));
        QTRY_COMPARE(grid->currentIndex().row(), rowOf(*results, "localhost/moved"));
        QVERIFY(remove->isEnabled() && move->isEnabled());
        const QByteArray before = f.readFile(f.appFolder() + "URL_0000.html");
        QTest::mouseClick(move, Qt::LeftButton);
        QVERIFY(e.KindURL.contains(QStringLiteral("https://localhost/final")));
        QVERIFY(!e.KindURL.contains(QStringLiteral("localhost/moved")) ||
                !e.lstSub.model().entries().contains(
                    static_cast<int>(e.KindURL.indexOf(QStringLiteral("localhost/moved")))));
        QVERIFY(e.KindChanged);
        QVERIFY(realinput::clickRow(grid, rowOf(*results, "localhost/gone")));
        QTRY_COMPARE(grid->currentIndex().row(), rowOf(*results, "localhost/gone"));
        QVERIFY(remove->isEnabled() && !move->isEnabled());
        const qsizetype listed = e.lstSub.model().entries().size();
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(e.lstSub.model().entries().size(), listed - 1);
        QCOMPARE(rowOf(*results, "localhost/gone"), -1);
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), before);

        // A row of another category can be shown but not changed from here; showing it asks
        // before the changed page is left.
        const int other = static_cast<int>(results->rowCount()) - 1;
        QCOMPARE(results->target(other).category, QStringLiteral("別"));
        QVERIFY(realinput::clickRow(grid, other));
        QTRY_COMPARE(grid->currentIndex().row(), other);
        QVERIFY(!remove->isEnabled() && !move->isEnabled());
        f.prompts.clear();
        f.prompts.answerMessage(PromptAnswer::No);
        QVERIFY(realinput::clickRow(grid, other, 2));
        QTRY_COMPARE(f.prompts.messageTexts(),
                     QStringList{QStringLiteral("「生きている」の変更を書き出しますか？")});
        QCOMPARE(e.KindPage, 1);
        QCOMPARE(e.lstSub.selectedCurrentRow(), 0);
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), before);
        f.close();
    }

    void cancelStopsAtOnce() {
        QStringList urls;
        for (int i = 0; i < 8; ++i)
            urls << QStringLiteral("localhost/silent") << QStringLiteral("127.0.0.1/silent");
        WindowFixture f;
        startOn(f, urls);
        LinkCheckWindow* check = open(f.window());
        QVERIFY(check);
        auto* results = check->findChild<LinkResults*>();
        const int before = server->openSilent();
        QTest::mouseClick(check->findChild<QPushButton*>("cmdCheckPage"), Qt::LeftButton);
        // Two at once on each host.
        QTRY_COMPARE(server->openSilent(), before + 4);
        auto* cancel = check->findChild<QPushButton*>("cmdLinkCancel");
        QVERIFY(cancel->isEnabled());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(!check->checker().isRunning());
        QVERIFY(!cancel->isEnabled());
        QVERIFY(check->findChild<QLabel*>("lblLinkState")->text().endsWith("中止しました"));
        QTRY_COMPARE(server->openSilent(), before);
        // Past every address's time: nothing more arrives.
        QTest::qWait(3500);
        QCOMPARE(results->answeredCount(), 0);
        QCOMPARE(server->openSilent(), before);
        f.close();
    }

    void cleanupTestCase() { delete server; }
};

int main(int argc, char** argv) {
    // The web server may take ports 80 and 443 there, and nothing reaches another machine.
    if (const int status = staged::enterLoopback(kStage, argv, true, false); status >= 0)
        return status;
    showWindowsOn();
    QApplication app(argc, argv);
    LinkCheckTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_linkcheck.moc"
