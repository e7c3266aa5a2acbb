// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search through the real window on the test command's X server: Ctrl+F, the query
// typed and Return pressed with xdotool, and the found entry selected in its category; from a
// changed page, only after the real question box has been answered through the X server.
#include "platform/X11WindowList.h"
#include "support/ModalScript.h"
#include "support/RealDisplay.h"
#include "support/RealInput.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

using realinput::activate;
using realinput::xdotool;

int rowNamed(KeepsakeEditor& e, const QString& name) {
    for (int row = 0; row < e.lstKinds.count(); ++row) {
        if (e.lstKinds.model().name(row) == name)
            return row;
    }
    return -1;
}

}  // namespace

class SearchEndToEndTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    X11WindowList m_windows;
    std::unique_ptr<WindowFixture> m_fixture;

private slots:
    void initTestCase() {
        REQUIRE_TEST_DISPLAY_AND_XDOTOOL();
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }
    void cleanup() { m_fixture.reset(); }

    // `change` is made to the page of 映画 first ("" for none), then "live jazz" is found in
    // 音楽 and Return pressed; `answer` is the key that answers the question about 映画.
    void typedQueryAndReturnSelectTheFoundEntry_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("found");
        QTest::newRow("unchanged page") << ""
                                        << "" << true;
        QTest::newRow("moved, Escape") << "move"
                                       << "Escape" << false;
        QTest::newRow("moved, no") << "move"
                                   << "n" << true;
        QTest::newRow("deleted, Escape") << "delete"
                                         << "Escape" << false;
        QTest::newRow("deleted, no") << "delete"
                                     << "n" << true;
    }
    void typedQueryAndReturnSelectTheFoundEntry() {
        QFETCH(QString, change);
        QFETCH(QString, answer);
        QFETCH(bool, found);

        Refile& w = start();
        KeepsakeEditor& e = w.editor();
        QTRY_VERIFY(e.Index->isBuilt());
        const int film = rowNamed(e, "映画");
        QVERIFY(realinput::clickRow(ui(w).lstKinds, film));
        QTRY_COMPARE(itemTexts(e.lstSub), QStringList({"Jazz Film"}));
        QStringList changed;
        if (change == "move") {
            QVERIFY(realinput::clickRow(ui(w).lstURLs[0], 0));
            QVERIFY(realinput::click(ui(w).cmdMove));
            changed = QStringList({"Jazz Film", "うめ"});
        } else if (change == "delete") {
            QVERIFY(realinput::clickRow(ui(w).lstSub, 0));
            QTRY_COMPARE(e.lstSub.selectedCurrentRow(), 0);
            QVERIFY(activate(&w) && xdotool({"key", "Delete"}));
        }
        QTRY_COMPARE(itemTexts(e.lstSub), change.isEmpty() ? QStringList({"Jazz Film"}) : changed);
        QCOMPARE(e.KindChanged, !change.isEmpty());

        QVERIFY(activate(&w) && xdotool({"key", "--clearmodifiers", "ctrl+f"}));
        QWidget* find = nullptr;
        QTRY_VERIFY((find = w.findChild<QWidget*>("SearchWindow")) && find->isVisible());
        QVERIFY(activate(find));
        auto* field = find->findChild<QLineEdit*>("txtFind");
        QTRY_VERIFY(field->hasFocus());

        // Two terms, in another case: only the entry that holds both.
        QVERIFY(xdotool({"type", "--delay", "20", "live jazz"}));
        QTRY_COMPARE(field->text(), "live jazz");
        auto* table = find->findChild<QTableView*>("grdFound");
        QTRY_COMPARE(table->model()->rowCount(), 1);
        QCOMPARE(table->model()->index(0, 2).data().toString(), "音楽");

        QStringList asked;
        QList<ModalScript::Step> steps;
        if (!answer.isEmpty()) {
            steps << [&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                asked << (box ? box->text() : modal->windowTitle());
                ModalScript::press(modal, answer);
            };
        }
        ModalScript script(steps);
        QVERIFY(xdotool({"key", "Return"}));
        QTRY_VERIFY_WITH_TIMEOUT(script.finished(), 20000);
        QVERIFY2(script.failures.isEmpty(), qPrintable(script.failures.join(QStringLiteral("; "))));
        QCOMPARE(asked, answer.isEmpty() ? QStringList()
                                         : QStringList({"「映画」の変更を書き出しますか？"}));

        auto* lstSub = ui(w).lstSub;
        if (found) {
            QTRY_COMPARE(e.lstKinds.model().name(e.lstKinds.selectedRow()), "音楽");
            QTRY_COMPARE(e.lstSub.text(e.lstSub.selectedCurrentRow()), "Live JAZZ");
            // The main window's lists show it.
            QCOMPARE(ui(w).lstKinds->currentIndex().row(), e.lstKinds.selectedRow());
            QCOMPARE(lstSub->currentIndex().data().toString(), "Live JAZZ");
            QVERIFY(!e.KindChanged);
        } else {
            // Still on the changed page, its category selected in the list the user sees.
            QCOMPARE(e.lstKinds.selectedRow(), film);
            QCOMPARE(ui(w).lstKinds->currentIndex().row(), film);
            QCOMPARE(itemTexts(e.lstSub), changed);
            QVERIFY(e.KindChanged);
        }
        find->close();
    }

private:
    Refile& start() {
        m_fixture = std::make_unique<WindowFixture>();
        WindowFixture& f = *m_fixture;
        f.writeSettings({"映画", "音楽"});
        f.writeKeepsake(EditorFixture::listFile(EditorFixture::entry("a.example/", "うめ")));
        f.writeFile(f.appFolder() + "URL_0000.html",
                    EditorFixture::categoryPage(
                        "映画", EditorFixture::entry("film.example/", "Jazz Film")));
        f.writeFile(f.appFolder() + "URL_0001.html",
                    EditorFixture::categoryPage(
                        "音楽", EditorFixture::entry("a.example/", "梅") +
                                    EditorFixture::entry("jazz.example/", "Live JAZZ") +
                                    EditorFixture::entry("z.example/", "Zoo")));
        [&] { QVERIFY(f.startWithRealBoxes(m_windows)); }();
        return f.window();
    }
};

int main(int argc, char** argv) {
    showWindowsOn();
    QApplication app(argc, argv);
    SearchEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_search_e2e.moc"
