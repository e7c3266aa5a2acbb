// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search through the real window on the test command's X server: Ctrl+F, the query
// typed and Return pressed with xdotool, and the found entry selected in its category.
#include "support/RealDisplay.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs xdotool while the editor goes on handling events.
bool xdotool(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForStarted(10000))
        return false;
    QDeadlineTimer deadline(15000);
    while (!process.waitForFinished(5)) {
        QCoreApplication::processEvents();
        if (deadline.hasExpired()) {
            process.kill();
            process.waitForFinished();
            return false;
        }
    }
    QCoreApplication::processEvents();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QByteArray categoryPage(const QString& title, const QStringList& listLines) {
    return EditorFixture::listFile(
        QStringList{QStringLiteral("<H3><I><B>～ %1 ～</B></I></H3>").arg(title)} + listLines);
}

}  // namespace

class SearchEndToEndTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase() {
        REQUIRE_TEST_DISPLAY();
        QVERIFY2(QProcess::execute("xdotool", {"version"}) == 0, "xdotool is missing");
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void typedQueryAndReturnSelectTheFoundEntry() {
        WindowFixture f;
        f.writeSettings({"映画", "音楽"});
        f.writeKeepsake(EditorFixture::listFile(EditorFixture::entry("a.example/", "うめ")));
        f.writeFile(f.appFolder() + "URL_0000.html",
                    categoryPage("映画", EditorFixture::entry("film.example/", "Jazz Film")));
        f.writeFile(f.appFolder() + "URL_0001.html",
                    categoryPage("音楽", EditorFixture::entry("a.example/", "梅") +
                                             EditorFixture::entry("jazz.example/", "Live JAZZ") +
                                             EditorFixture::entry("z.example/", "Zoo")));
        QVERIFY(f.start());
        Refile& w = f.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // There is no window manager: the window takes the focus itself.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        KeepsakeEditor& e = w.editor();
        QTRY_VERIFY(e.Index->isBuilt());

        QVERIFY(xdotool({"key", "--clearmodifiers", "ctrl+f"}));
        QWidget* find = nullptr;
        QTRY_VERIFY((find = w.findChild<QWidget*>("SearchWindow")) && find->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(find));
        auto* field = find->findChild<QLineEdit*>("txtFind");
        QTRY_VERIFY(field->hasFocus());

        // Two terms, in another case: only the entry that holds both.
        QVERIFY(xdotool({"type", "--delay", "20", "live jazz"}));
        QTRY_COMPARE(field->text(), "live jazz");
        auto* table = find->findChild<QTableView*>("grdFound");
        QTRY_COMPARE(table->model()->rowCount(), 1);
        QCOMPARE(table->model()->index(0, 2).data().toString(), "音楽");

        QVERIFY(xdotool({"key", "Return"}));
        QTRY_COMPARE(e.lstKinds.model().name(e.lstKinds.selectedRow()), "音楽");
        QTRY_COMPARE(e.lstSub.text(e.lstSub.selectedCurrentRow()), "Live JAZZ");
        // The main window's list shows it.
        auto* lstSub = w.findChild<QListView*>("lstSub");
        QCOMPARE(lstSub->currentIndex().data().toString(), "Live JAZZ");
        find->close();
        f.close();
    }
};

int main(int argc, char** argv) {
    showWindowsOn();
    QApplication app(argc, argv);
    SearchEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_search_e2e.moc"
