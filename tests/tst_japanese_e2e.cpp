// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Japanese text in the real editor on the X server the test command started: a kept comment
// with duplicate codes as Windows shows it, a comment typed through the X server with the
// WAVE DASH a Linux input method produces, and the toolkit's own button texts in Japanese.
// The boxes are the real ones; the test answers them through the X server with xdotool.
#include "app/Refile.h"
#include "platform/ToolkitTranslation.h"
#include "platform/X11WindowList.h"
#include "support/ModalScript.h"
#include "support/RealDisplay.h"
#include "support/RealInput.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

// 髙 as 0xEEE0 and ≒ as 0x8790, as a Windows-made collection may hold them.
const QByteArray kKeptComment = "\xee\xe0\x8b\xb4\x82\xb3\x82\xf1\x87\x90\x82\xa0\x82\xa2\x82\xa4";

QByteArray keptEntry(const QByteArray& url, const QByteArray& comment) {
    return "<A HREF=\"http://" + url + "\">" + url + "</A><BR>\r\n\x81\x73 " + comment +
           " \x81\x74"
           "97/09/15 08:05:00<P>\r\n";
}

QByteArray listFile(const QByteArray& list) {
    return "<HTML>\r\n<!--StartList-->\r\n" + list + "<!--EndList-->\r\n</HTML>\r\n";
}

using realinput::xdotool;

// A keysym on a key that has none, for as long as it lives. xdotool could map one itself,
// but it takes the mapping back right after the key press, before the toolkit has read the
// new keyboard map, and the key is lost; here the toolkit gets time to read it first.
class SpareKey {
public:
    explicit SpareKey(const QString& keysym) {
        QProcess xmodmap;
        xmodmap.start(QStringLiteral("xmodmap"), {QStringLiteral("-pke")});
        if (!xmodmap.waitForFinished(10000))
            return;
        for (const QByteArray& line : xmodmap.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() == 3 && words[0] == "keycode" && words[2] == "=" &&
                words[1].toInt() > 8) {
                m_keycode = QString::fromLatin1(words[1]);
                break;
            }
        }
        if (m_keycode.isEmpty() || !map(keysym))
            m_keycode.clear();
        else
            QTest::qWait(500);  // the toolkit reads the new keyboard map
    }
    ~SpareKey() {
        if (!m_keycode.isEmpty())
            map(QString());
    }
    bool isMapped() const { return !m_keycode.isEmpty(); }

private:
    bool map(const QString& keysym) const {
        return QProcess::execute(QStringLiteral("xmodmap"),
                                 {QStringLiteral("-e"),
                                  QStringLiteral("keycode %1 = %2").arg(m_keycode, keysym)}) == 0;
    }
    QString m_keycode;
};

QString buttonText(QWidget* modal, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    return box && box->button(which) ? box->button(which)->text() : QStringLiteral("<none>");
}

// A category page of the editor's own writing: its title line, then the entries.
QByteArray categoryPage(const QByteArray& name, const QByteArray& entries) {
    return listFile("<H3><I><B>\x81\x60 " + name + " \x81\x60</B></I></H3>\r\n" + entries);
}

// The same entry as the editor writes it: opened at the top of the window.
QByteArray writtenEntry(const QByteArray& url, const QByteArray& comment) {
    QByteArray line = keptEntry(url, comment);
    return line.replace("\">", "\" TARGET=\"_top\">");
}

// A page as the editor writes it: its head declares no charset, so its block opens with the
// META line.
QByteArray writtenPage(const QByteArray& name, const QByteArray& entries) {
    return listFile(
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\r\n"
        "<H3><I><B>\x81\x60 " +
        name + " \x81\x60</B></I></H3>\r\n" + entries);
}

}  // namespace

class JapaneseEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_DISPLAY_AND_XDOTOOL(); }

    void aKeptCommentShowsAsOnWindows() {
        WindowFixture f;
        f.writeSettings({"本"});
        f.writeKeepsake(listFile(keptEntry("a.example/", kKeptComment)));
        QVERIFY(f.startWithRealBoxes(m_windows));
        Refile& w = f.window();
        QCOMPARE(ui(w).lblComDisp->text(), QStringLiteral("髙橋さん≒あいう"));
        QCOMPARE(itemTexts(w.editor().lstURLs[1]),
                 QStringList({QStringLiteral("髙橋さん≒あいう")}));
    }

    void aTypedWaveDashIsStoredAsWindowsTilde() {
        WindowFixture f;
        f.writeSettings({"本"});
        f.writeKeepsake(listFile(keptEntry("a.example/", "A")));
        f.writeFile(f.appFolder() + "URL_0000.html", listFile(keptEntry("b.example/", "x")));
        QVERIFY(f.startWithRealBoxes(m_windows));
        Refile& w = f.window();
        w.editor().lstKinds.setCurrentRow(0);
        QCOMPARE(itemTexts(w.editor().lstSub), QStringList({"x"}));
        w.editor().lstSub.setCurrentRow(0);

        // U+301C, as a Japanese input method gives 〜, on a key of its own.
        ModalScript script({[](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>();
            SpareKey waveDash(QStringLiteral("U301C"));
            if (!edit || !waveDash.isMapped() || !xdotool({"key", "--clearmodifiers", "End"}) ||
                !xdotool({"key", "U301C"})) {
                modal->close();
                return;
            }
            QTRY_COMPARE_WITH_TIMEOUT(edit->text(), QStringLiteral("x\u301C"), 5000);
            ModalScript::press(modal, "Return");
        }});
        ui(w).cmdEditCom->click();
        QTRY_VERIFY_WITH_TIMEOUT(script.finished(), 20000);
        QVERIFY2(script.failures.isEmpty(), qPrintable(script.failures.join(QStringLiteral("; "))));
        QCOMPARE(itemTexts(w.editor().lstSub), QStringList({QStringLiteral("x\u301C")}));

        ui(w).cmdSave->click();
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"),
                 writtenPage("\x96\x7b", writtenEntry("b.example/", "x\x81\x60")));
    }

    void theQuestionBoxSpeaksJapanese() {
        WindowFixture f;
        f.writeSettings({"本"});
        f.writeKeepsake(listFile(keptEntry("a.example/", "A")));
        // An entry whose comment line has no " 》": the scanner's message, then the question.
        f.writeFile(f.appFolder() + "URL_0000.html",
                    listFile("<A HREF=\"http://b.example/\">b</A><BR>\r\nno comment\r\n"));
        QVERIFY(f.startWithRealBoxes(m_windows));
        Refile& w = f.window();
        QStringList texts;
        ModalScript script({
            [&](QWidget* modal) {
                texts << buttonText(modal, QMessageBox::Ok);
                realinput::click(qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok));
            },
            [&](QWidget* modal) {
                texts << buttonText(modal, QMessageBox::Ok)
                      << buttonText(modal, QMessageBox::Cancel);
                realinput::click(qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Cancel));
            },
            [&](QWidget* modal) {  // "データがありません。"
                ModalScript::press(modal, "Return");
            },
        });
        w.editor().lstKinds.setCurrentRow(0);
        QTRY_VERIFY_WITH_TIMEOUT(script.finished(), 20000);
        QVERIFY2(script.failures.isEmpty(), qPrintable(script.failures.join(QStringLiteral("; "))));
        QCOMPARE(texts, QStringList({"OK", "OK", QStringLiteral("キャンセル")}));
        QCOMPARE(w.editor().ApiResult, 2);  // the question was answered with Cancel
    }

    // A changed page is left only after the question has been answered, in the real box
    // through the X server; what each answer leaves is checked on disk.
    void aChangedPageIsNeverLeftUnasked_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("leave");
        QTest::addColumn<QString>("answerKey");
        QTest::addColumn<bool>("left");
        QTest::addColumn<QByteArray>("pageAfter");

        const QByteArray kept = categoryPage("Books", keptEntry("b.example/", "x"));
        QTest::newRow("moved, another clicked, yes")
            << "move"
            << "click"
            << "y" << true
            << writtenPage("Books",
                           writtenEntry("a.example/", "A") + writtenEntry("b.example/", "x"));
        QTest::newRow("deleted, arrow key, no") << "delete"
                                                << "key"
                                                << "n" << true << kept;
        QTest::newRow("comment, another clicked, Escape") << "comment"
                                                          << "click"
                                                          << "Escape" << false << kept;
        QTest::newRow("moved, closed, Escape") << "move"
                                               << "close"
                                               << "Escape" << false << kept;
        QTest::newRow("comment, closed, yes")
            << "comment"
            << "close"
            << "y" << true << writtenPage("Books", writtenEntry("b.example/", "xz"));
        QTest::newRow("deleted, closed, no") << "delete"
                                             << "close"
                                             << "n" << true << kept;
    }
    void aChangedPageIsNeverLeftUnasked() {
        QFETCH(QString, change);
        QFETCH(QString, leave);
        QFETCH(QString, answerKey);
        QFETCH(bool, left);
        QFETCH(QByteArray, pageAfter);

        WindowFixture f;
        f.writeSettings({"Books", "Travel"});
        f.writeKeepsake(listFile(keptEntry("a.example/", "A")));
        const QString page = f.appFolder() + "URL_0000.html";
        f.writeFile(page, categoryPage("Books", keptEntry("b.example/", "x")));
        f.writeFile(f.appFolder() + "URL_0001.html",
                    categoryPage("Travel", keptEntry("t.example/", "t")));
        QVERIFY(f.startWithRealBoxes(m_windows));
        Refile& w = f.window();
        KeepsakeEditor& e = w.editor();
        QVERIFY(realinput::clickRow(ui(w).lstKinds, 0));
        QTRY_COMPARE(itemTexts(e.lstSub), QStringList({"x"}));

        QStringList boxes;
        QList<ModalScript::Step> steps;
        if (change == "comment") {
            // Each key is sent once the field shows the one before: on a loaded machine a key
            // can come before the field has the keyboard.
            steps << [](QWidget* modal) {
                auto* edit = modal->findChild<QLineEdit*>();
                if (!edit || !QTest::qWaitFor([edit] { return edit->hasFocus(); }, 5000)) {
                    modal->close();
                    return;
                }
                auto atEnd = [edit] {
                    return !edit->hasSelectedText() &&
                           edit->cursorPosition() == edit->text().size();
                };
                for (int tries = 0; tries < 3 && !atEnd(); ++tries) {
                    xdotool({"key", "--clearmodifiers", "End"});
                    if (QTest::qWaitFor(atEnd, 2000))
                        break;
                }
                xdotool({"key", "--clearmodifiers", "z"});
                QTRY_COMPARE_WITH_TIMEOUT(edit->text(), QStringLiteral("xz"), 5000);
                ModalScript::press(modal, "Return");
            };
        }
        steps << [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box) {
                boxes << box->windowTitle() << box->text()
                      << (box->icon() == QMessageBox::Question ? "question" : "other icon")
                      << box->defaultButton()->text() << buttonText(box, QMessageBox::Yes)
                      << buttonText(box, QMessageBox::No) << buttonText(box, QMessageBox::Cancel);
            }
            ModalScript::press(modal, answerKey);
        };
        ModalScript script(steps);

        QStringList changed;
        if (change == "move") {
            QVERIFY(realinput::clickRow(ui(w).lstURLs[0], 0));
            QVERIFY(realinput::click(ui(w).cmdMove));
            changed = QStringList({"A", "x"});
        } else {
            QVERIFY(realinput::clickRow(ui(w).lstSub, 0));
            QTRY_COMPARE(e.lstSub.selectedCurrentRow(), 0);
            if (change == "delete") {
                QVERIFY(realinput::pressKeys(&w, {"Delete"}));
            } else {
                QVERIFY(realinput::click(ui(w).cmdEditCom));
                changed = QStringList({"xz"});
            }
        }
        QTRY_COMPARE(itemTexts(e.lstSub), changed);
        QVERIFY(e.KindChanged);

        const QString index = f.appFolder() + "URLINDEX.HTML";
        const QByteArray indexBefore = f.exists(index) ? f.readFile(index) : QByteArray();
        if (leave == "click") {
            QVERIFY(realinput::clickRow(ui(w).lstKinds, 1));
        } else if (leave == "key") {
            ui(w).lstKinds->setFocus();
            QVERIFY(realinput::pressKeys(&w, {"Down"}));
        } else {
            QVERIFY(realinput::pressKeys(&w, {"alt+f"}));
            QTRY_VERIFY(ui(w).mnFile->isVisible());
            QVERIFY(xdotool({"key", "x"}));
        }
        QTRY_VERIFY_WITH_TIMEOUT(script.finished(), 20000);
        QVERIFY2(script.failures.isEmpty(), qPrintable(script.failures.join(QStringLiteral("; "))));
        QCOMPARE(boxes,
                 QStringList({"Quillet", QStringLiteral("「Books」の変更を書き出しますか？"),
                              "question", QStringLiteral("はい(&Y)"), QStringLiteral("はい(&Y)"),
                              QStringLiteral("いいえ(&N)"), QStringLiteral("キャンセル")}));
        QCOMPARE(f.readFile(page), pageAfter);

        if (leave == "close") {
            QTRY_COMPARE(w.isVisible(), !left);
            if (!left)  // nothing is written, the index neither
                QCOMPARE(f.exists(index) ? f.readFile(index) : QByteArray(), indexBefore);
            else
                QVERIFY(f.exists(index));
        }
        if (left && leave != "close") {
            QTRY_COMPARE(itemTexts(e.lstSub), QStringList({"t"}));
            QCOMPARE(e.lstKinds.selectedRow(), 1);
            QCOMPARE(ui(w).lstKinds->selectionModel()->selectedRows().size(), 1);
        }
        if (!left) {
            // Still on the changed page, its category selected in the list the user sees.
            QCOMPARE(e.lstKinds.selectedRow(), 0);
            QCOMPARE(ui(w).lstKinds->currentIndex().row(), 0);
            QCOMPARE(itemTexts(e.lstSub), changed);
            QVERIFY(e.KindChanged);
        }
    }

private:
    X11WindowList m_windows;
};

int main(int argc, char** argv) {
    showWindowsOn();
    QApplication app(argc, argv);
    // As the program does at its start.
    if (!installToolkitTranslation(app))
        qWarning("Qt's Japanese translation is missing");
    JapaneseEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_japanese_e2e.moc"
