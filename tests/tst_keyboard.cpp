// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the keys of the window do, in-process: the Delete key in the category's list, the
// kana access keys, and commands typed ahead of their boxes.
#include "app/ImageButton.h"
#include "app/Pictures.h"
#include "platform/QtPrompts.h"
#include "support/WindowFixture.h"

#include <qpa/qwindowsysteminterface.h>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QByteArray categoryPage() {
    return WindowFixture::categoryPage(QStringLiteral("本"),
                                       WindowFixture::entry("a.example/", "alpha") +
                                           WindowFixture::entry("b.example/", "bravo") +
                                           WindowFixture::entry("c.example/", "charlie"));
}

// The same page as the editor writes it.
QByteArray writtenPage() {
    return WindowFixture::writtenCategoryPage(QStringLiteral("本"),
                                              WindowFixture::written("a.example/", "alpha") +
                                                  WindowFixture::written("b.example/", "bravo") +
                                                  WindowFixture::written("c.example/", "charlie"));
}

// An editor showing the category "本" with three entries.
void startWithPage(WindowFixture& f) {
    f.writeSettings({QStringLiteral("本")});
    f.writeKeepsake(WindowFixture::listFile(WindowFixture::entry("k.example/", "kept")));
    f.writeFile(f.appFolder() + "URL_0000.html", categoryPage());
    QVERIFY(f.start());
    f.window().editor().lstKinds.setCurrentRow(0);
    QCOMPARE(f.window().editor().lstSub.count(), 3);
    f.prompts.clear();
}

void release(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
    QKeyEvent event(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    // Only a release of the Delete key, main or keypad, with or without Shift, removes; Qt's
    // value of "." is the code of Delete in the original, and a held key's repeats do not
    // count.
    void onlyTheDeleteKeyRemoves_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<bool>("removes");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << false << true;
        QTest::newRow("Shift+Delete")
            << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << true;
        QTest::newRow("keypad Delete")
            << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::KeypadModifier) << false << true;
        QTest::newRow("repeated Delete")
            << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << true << false;
        QTest::newRow(".") << int(Qt::Key_Period) << Qt::KeyboardModifiers() << false << false;
        QTest::newRow("keypad .") << int(Qt::Key_Period)
                                  << Qt::KeyboardModifiers(Qt::KeypadModifier) << false << false;
        QTest::newRow("Backspace")
            << int(Qt::Key_Backspace) << Qt::KeyboardModifiers() << false << false;
        QTest::newRow("Insert") << int(Qt::Key_Insert) << Qt::KeyboardModifiers() << false << false;
    }

    void onlyTheDeleteKeyRemoves() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, autoRepeat);
        QFETCH(bool, removes);
        WindowFixture f;
        startWithPage(f);
        Refile& w = f.window();
        w.editor().lstSub.setCurrentRow(1);
        release(ui(w).lstSub, key, modifiers, autoRepeat);
        QCOMPARE(itemTexts(w.editor().lstSub), removes
                                                   ? QStringList({"alpha", "charlie"})
                                                   : QStringList({"alpha", "bravo", "charlie"}));
    }

    // After a removal nothing is selected, so a second Delete removes nothing until the user
    // selects again; the hint follows a selection made with the keyboard.
    void aSecondDeleteWaitsForASelection() {
        WindowFixture f;
        startWithPage(f);
        Refile& w = f.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        ui(w).lstSub->setFocus();
        ui(w).lblMsg->clear();
        QTest::keyClick(ui(w).lstSub, Qt::Key_End);
        QCOMPARE(ui(w).lblMsg->text(), QStringLiteral("[Del]キーで選択アドレスを削除"));
        QTest::keyClick(ui(w).lstSub, Qt::Key_Up);
        QCOMPARE(w.editor().lstSub.currentRow(), 1);
        QTest::keyClick(ui(w).lstSub, Qt::Key_Delete);
        QCOMPARE(itemTexts(w.editor().lstSub), QStringList({"alpha", "charlie"}));
        QVERIFY(w.editor().lstSub.selectedRows().isEmpty());
        QTest::keyClick(ui(w).lstSub, Qt::Key_Delete);
        QCOMPARE(w.editor().lstSub.count(), 2);
        w.close();
    }

    // Qt reports a kana key of a Japanese layout as katakana; Alt with it works as Alt with
    // the letter of the caption. An empty prompt stands for the page being written.
    void kanaAccessKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("ミ") << 0x30DF << "追加する項目名を入力してください。";
        QTest::newRow("ﾐ") << 0xFF90 << "追加する項目名を入力してください。";
        QTest::newRow("モ") << 0x30E2 << "変更後の項目名を入力してください。";
        QTest::newRow("イ") << 0x30A4 << "新しいコメントを設定してください。";
        QTest::newRow("オ") << 0x30AA << "";
        QTest::newRow("テ") << 0x30C6 << "";
        QTest::newRow("ﾃ") << 0xFF83 << "";
    }

    void kanaAccessKeys() {
        QFETCH(int, key);
        QFETCH(QString, prompt);
        WindowFixture f;
        startWithPage(f);
        Refile& w = f.window();
        w.editor().lstSub.setCurrentRow(0);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QString page = f.appFolder() + "URL_0000.html";
        QVERIFY(QFile::remove(page));
        // As the window system hands over a key that QTest cannot type.
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QWindowSystemInterface::handleKeyEvent(w.windowHandle(), type, key, Qt::AltModifier,
                                                   QString(QChar(key)));
        }
        if (prompt.isEmpty()) {
            QTRY_VERIFY(f.exists(page));
            QCOMPARE(f.readFile(page), writtenPage());
            QCOMPARE(f.prompts.shown().size(), 0);
        } else {
            QTRY_COMPARE(f.prompts.shown().size(), 1);
            QCOMPARE(f.prompts.shown().first().text, prompt);
        }
        w.close();
    }

    void aCommentWithALineBreakIsRefused_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stored");
        QTest::newRow("LF") << "one\ntwo"
                            << "bravo";
        QTest::newRow("CR") << "one\rtwo"
                            << "bravo";
        QTest::newRow("CR LF") << "one\r\ntwo"
                               << "bravo";
        QTest::newRow("tab") << "one\ttwo"
                             << "one\ttwo";
    }

    void aCommentWithALineBreakIsRefused() {
        QFETCH(QString, answer);
        QFETCH(QString, stored);
        WindowFixture f;
        startWithPage(f);
        Refile& w = f.window();
        w.editor().lstSub.setCurrentRow(1);
        f.prompts.answerInput(answer);
        ui(w).cmdEditCom->click();
        QCOMPARE(w.editor().lstSub.text(1), stored);
        QCOMPARE(w.editor().KindCom[2], stored);
        if (stored != answer) {
            QCOMPARE(f.prompts.describe().last(),
                     QStringLiteral("information|-|改行を含むコメントは保存できません。"));
        }
    }

    // Alt+N and Alt+M typed before the first box appeared: the second command's click comes
    // while the first one's box is open, and is dropped there.
    void commandsTypedAheadDoNotRunInsideOneAnother() {
        WindowFixture f;
        f.writeSettings({QStringLiteral("本")});
        f.writeKeepsake(WindowFixture::listFile(WindowFixture::entry("k.example/", "kept")));
        QtPrompts prompts;
        Refile w(Platform{prompts, f.windows, f.launcher});
        prompts.setParentWindow(&w);

        // Stands in for the user: notes every box and how many are open, and closes a box
        // only once no click of a button is pending any more.
        QStringList titles;
        int mostOpen = 0;
        QTimer user;
        user.setInterval(10);
        connect(&user, &QTimer::timeout, &w, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            int open = 0;
            for (QWidget* top : QApplication::topLevelWidgets())
                open += qobject_cast<QDialog*>(top) && top->isVisible() ? 1 : 0;
            mostOpen = std::max(mostOpen, open);
            if (!box->property("seen").toBool()) {
                box->setProperty("seen", true);
                titles << box->windowTitle();
            }
            if (!ui(w).cmdNew->isDown() && !ui(w).Command1->isDown())
                static_cast<QDialog*>(box)->reject();
        });
        user.start();
        QVERIFY(w.Load(f.appFolder()));
        titles.clear();
        mostOpen = 0;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        QWindow* window = w.windowHandle();
        using System = QWindowSystemInterface;
        for (const auto& [key, text] : {std::pair{Qt::Key_N, "n"}, std::pair{Qt::Key_M, "m"}}) {
            System::handleKeyEvent<System::AsynchronousDelivery>(
                window, QEvent::KeyPress, key, Qt::AltModifier, QString::fromLatin1(text));
            System::handleKeyEvent<System::AsynchronousDelivery>(
                window, QEvent::KeyRelease, key, Qt::AltModifier, QString::fromLatin1(text));
        }
        QTRY_VERIFY(!titles.isEmpty() && !QApplication::activeModalWidget() &&
                    !ui(w).cmdNew->isDown() && !ui(w).Command1->isDown());
        QCOMPARE(titles, QStringList({"新規項目"}));
        QCOMPARE(mostOpen, 1);
        QCOMPARE(w.editor().lstKinds.count(), 1);
        user.stop();
        w.close();
    }

    // The preview picture is larger than its button; it is shown whole, scaled down.
    void theWholePictureIsShown() {
        ImageButton button;
        button.resize(24, 24);
        const QImage blank = button.grab().toImage();
        button.setPixmap(pictures::preview());
        const QImage shown = button.grab().toImage();
        QVERIFY(shown != blank);
        // The picture has a margin of blank pixels: the edges of the button stay blank.
        for (int i = 0; i < 24; ++i) {
            QCOMPARE(shown.pixel(0, i), blank.pixel(0, i));
            QCOMPARE(shown.pixel(23, i), blank.pixel(23, i));
            QCOMPARE(shown.pixel(i, 0), blank.pixel(i, 0));
            QCOMPARE(shown.pixel(i, 23), blank.pixel(i, 23));
        }
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
