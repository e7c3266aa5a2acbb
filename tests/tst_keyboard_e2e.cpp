// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The keyboard's own path, end to end: the editor runs on an X server of this test's own
// (its keymap is changed), and every key and click comes from the server's test extension
// through xdotool, a pasted text from xclip, kana from a keymap set with xmodmap. What the
// editor writes is compared byte for byte and read back.
#include "keepsake/ListFileReader.h"
#include "platform/QtPrompts.h"
#include "support/PrivateXServer.h"
#include "support/RealDisplay.h"
#include "support/RealInput.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <functional>
#include <memory>

namespace {

using realinput::click;
using realinput::keys;
using realinput::run;

// The inode of a file: every write of a page replaces it with a new file.
ino_t inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Counts the releases of held keys that reach a widget, and notes every key pressed.
class RepeatCounter : public QObject {
public:
    QObject* list = nullptr;
    int repeats = 0;
    QList<int> pressed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (watched == list && event->type() == QEvent::KeyRelease && key->isAutoRepeat())
                ++repeats;
            if (event->type() == QEvent::ShortcutOverride)
                pressed << key->key();
        }
        return QObject::eventFilter(watched, event);
    }
};

// Types into the boxes the editor opens. A box runs its own event loop, inside whatever the
// test was doing when it opened, so the test hands over its next keys beforehand: each run of
// keys is typed once its box is the active window and the keys before it have been sent.
// Every box is noted as it appears.
class Typist : public QObject {
public:
    QStringList boxes;

    Typist() {
        connect(&m_timer, &QTimer::timeout, this, &Typist::tick);
        m_timer.start(5);
    }
    template <typename Box>
    void inBox(const QStringList& keyNames) {
        m_steps.append({[] {
                            auto* box = qobject_cast<Box*>(QApplication::activeWindow());
                            return box && box->isVisible();
                        },
                        keyNames});
    }
    bool idle() const { return m_steps.isEmpty() && !typing(); }

private:
    struct Step {
        std::function<bool()> ready;
        QStringList keys;
    };

    bool typing() const { return m_xdotool && m_xdotool->state() != QProcess::NotRunning; }

    void tick() {
        if (QWidget* box = QApplication::activeModalWidget();
            box && !box->property("noted").toBool()) {
            box->setProperty("noted", true);
            const auto* message = qobject_cast<QMessageBox*>(box);
            boxes << box->windowTitle() + u'|' + (message ? message->text() : QString());
        }
        if (m_steps.isEmpty() || typing() || !m_steps.first().ready())
            return;
        m_xdotool = std::make_unique<QProcess>();
        m_xdotool->start("xdotool", QStringList{"key"} + m_steps.takeFirst().keys);
    }

    QTimer m_timer;
    QList<Step> m_steps;
    std::unique_ptr<QProcess> m_xdotool;
};

// Puts `text` on the clipboard with xclip, opens コメント修正 with Alt+E and pastes the text
// over the comment with Ctrl+A, Ctrl+V and Return; when `refused`, Return closes the box that
// follows.
bool paste(QWidget* window, Typist& typist, const QString& text, bool refused) {
    QProcess clip;
    clip.start("xclip", {"-quiet", "-selection", "clipboard", "-t", "UTF8_STRING"});
    if (!clip.waitForStarted())
        return false;
    clip.write(text.toUtf8());
    clip.closeWriteChannel();
    typist.inBox<QInputDialog>({"ctrl+a", "ctrl+v", "Return"});
    if (refused)
        typist.inBox<QMessageBox>({"Return"});
    const bool ok =
        QTest::qWaitFor([&] { return QGuiApplication::clipboard()->text() == text; }, 10000) &&
        keys({"alt+e"}) &&
        QTest::qWaitFor([&] { return typist.idle() && !QApplication::activeModalWidget(); },
                        10000) &&
        realinput::activate(window);
    clip.kill();
    clip.waitForFinished();
    return ok;
}

struct Reader : ListFileHost {
    QList<keepsake::Entry> entries;
    QStringList failures;
    void entry(keepsake::Entry e) override { entries.append(std::move(e)); }
    void failure(const QString& message) override { failures << message; }
    bool askContinue() override {
        failures << keepsake::kMsgContinue;
        return false;
    }
};

const QStringList kHeader = {"<HTML>", "<BODY>"};
const QStringList kFooter = {"<HR>", "</BODY></HTML>"};

QStringList entry(const QString& url, const QString& comment, const QString& date) {
    return WindowFixture::entry(url, comment, date);
}

}  // namespace

class KeyboardEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        for (const char* tool : {"xdotool", "xclip", "xmodmap", "xset"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QFAIL(qPrintable(QStringLiteral("%1 is not installed").arg(tool)));
        }
        // Repeats come quickly, so that a held key repeats many times in a moment.
        QVERIFY(run("xset", {"r", "on"}));
        QVERIFY(run("xset", {"r", "rate", "150", "40"}));
        // A kana keyboard: the keys N, W, F and X give only kana (ﾐ, ﾃ, ﾊ, ｻ), as a Japanese
        // layout in kana mode does; the keys O and 6 keep their letters for the checks.
        QVERIFY(run("xmodmap", {"-e", "keysym n = kana_MI", "-e", "keysym w = kana_TE", "-e",
                                "keysym f = kana_HA", "-e", "keysym x = kana_SA"}));
    }

    void aPersonAtTheKeyboardNeverCorruptsAPage() {
        WindowFixture f;
        f.writeSettings({QStringLiteral("本")});
        // Kept entries whose address order and comment order differ.
        f.writeKeepsake(WindowFixture::listFile(entry("a.example/", "ZZZ", "97/09/15 08:05:00") +
                                                entry("b.example/", "YYY", "97/09/15 08:05:00") +
                                                entry("c.example/", "XXX", "97/09/15 08:05:00")));
        const QString page = f.appFolder() + "URL_0000.html";
        f.writeFile(page, WindowFixture::categoryPage(
                              QStringLiteral("本"),
                              entry("one.example/", "one", "2051/01/02 03:04:05") +
                                  entry("two.example/", "two", "1947/12/31 23:59:59") +
                                  entry("three.example/", "three", "99/05/06 07:08:09") +
                                  entry("four.example/", "four", "00/01/01 00:00:00") +
                                  entry("five.example/", "five", "29/02/03 04:05:06"),
                              kHeader, kFooter));

        QtPrompts prompts;
        Refile w(Platform{prompts, f.windows, f.launcher});
        prompts.setParentWindow(&w);
        {
            // Start-up may rebuild the index page and say so.
            QTimer closer;
            connect(&closer, &QTimer::timeout, &w, [] {
                if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    box->accept();
            });
            closer.start(20);
            QVERIFY(w.Load(f.appFolder()));
        }
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // There is no window manager: the window takes the focus itself.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        RepeatCounter repeats;
        repeats.list = ui(w).lstSub;
        qApp->installEventFilter(&repeats);

        // The category, chosen with the mouse: its entries by comment.
        QVERIFY(realinput::clickRow(ui(w).lstKinds, 0));
        QTRY_COMPARE(itemTexts(w.editor().lstSub),
                     QStringList({"five", "four", "one", "three", "two"}));

        // "." and the keypad's "." and "0" remove nothing (xdotool reaches the keypad's
        // figures with Shift, as NumLock would).
        QVERIFY(realinput::clickRow(ui(w).lstSub, 1));
        QTRY_COMPARE(ui(w).lblMsg->text(), QStringLiteral("[Del]キーで選択アドレスを削除"));
        QVERIFY(keys({"period", "KP_Decimal", "KP_0", "shift+period"}));
        QVERIFY(keys({"Down"}));
        QTRY_COMPARE(w.editor().lstSub.currentRow(), 2);
        QCOMPARE(w.editor().lstSub.count(), 5);

        // The keypad's Delete removes the selected entry, and only that one: a second press
        // finds nothing selected.
        ui(w).lblMsg->clear();
        QVERIFY(keys({"Up"}));
        QTRY_COMPARE(w.editor().lstSub.currentRow(), 1);
        QCOMPARE(ui(w).lblMsg->text(), QStringLiteral("[Del]キーで選択アドレスを削除"));
        QVERIFY(keys({"KP_Delete"}));
        QTRY_COMPARE(itemTexts(w.editor().lstSub), QStringList({"five", "one", "three", "two"}));
        QVERIFY(keys({"Delete", "shift+Delete"}));
        // With no current entry, the first arrow key selects the first one.
        QVERIFY(keys({"Down"}));
        QTRY_COMPARE(w.editor().lstSub.currentRow(), 0);
        QCOMPARE(w.editor().lstSub.count(), 4);

        // A held Delete removes one entry however often it repeats.
        QVERIFY(realinput::xdotool({"keydown", "Delete"}));
        QTRY_VERIFY(repeats.repeats >= 5);
        QVERIFY(realinput::xdotool({"keyup", "Delete"}));
        QTRY_COMPARE(itemTexts(w.editor().lstSub), QStringList({"one", "three", "two"}));
        QVERIFY(keys({"Down"}));
        QTRY_VERIFY(w.editor().lstSub.currentRow() >= 0);
        QCOMPARE(w.editor().lstSub.count(), 3);

        // A comment pasted with a line break is refused with a word on why; a tab is kept.
        QVERIFY(realinput::clickRow(ui(w).lstSub, 1));
        QTRY_COMPARE(w.editor().lstSub.currentRow(), 1);
        Typist typist;
        QVERIFY(paste(&w, typist, QStringLiteral("一行目\r\n二行目"), true));
        QCOMPARE(itemTexts(w.editor().lstSub), QStringList({"one", "three", "two"}));
        QVERIFY(paste(&w, typist, QStringLiteral("three\ttab"), false));
        QCOMPARE(itemTexts(w.editor().lstSub), QStringList({"one", "three\ttab", "two"}));
        QCOMPARE(typist.boxes,
                 QStringList({"コメント変更|", "Quillet|改行を含むコメントは保存できません。",
                              "コメント変更|"}));

        // Ctrl+Space, which turns a Japanese input method on, leaves a list's selection as it
        // is, in the category's list and in the category list.
        for (QListView* view : {ui(w).lstSub, ui(w).lstKinds}) {
            QVERIFY(realinput::clickRow(view, view == ui(w).lstSub ? 1 : 0));
            QTRY_VERIFY(view->hasFocus());
            const QModelIndexList before = view->selectionModel()->selectedRows();
            QCOMPARE(before.size(), 1);
            repeats.pressed.clear();
            QVERIFY(keys({"ctrl+space"}));
            QTRY_VERIFY(repeats.pressed.contains(Qt::Key_Space));
            QCOMPARE(view->selectionModel()->selectedRows(), before);
        }
        QCOMPARE(itemTexts(w.editor().lstSub), QStringList({"one", "three\ttab", "two"}));

        // "Reload!" in the comment order, then the second kept entry the user sees is filed.
        QVERIFY(click(ui(w).optKind[1]));
        QTRY_VERIFY(ui(w).optKind[1]->isChecked());
        QVERIFY(click(ui(w).cmdReload));
        QTRY_VERIFY(ui(w).optKind[0]->isChecked());
        QVERIFY(ui(w).lstURLs[0]->isVisible());
        // Type-ahead finds an address and Shift extends the selection; Ctrl moves on without
        // changing it, and Ctrl+Space toggles nothing.
        ListRows& addresses = w.editor().lstURLs[0];
        QVERIFY(realinput::clickRow(ui(w).lstURLs[0], 0));
        QVERIFY(keys({"c"}));
        QTRY_COMPARE(addresses.currentRow(), 2);
        QVERIFY(keys({"shift+Up"}));
        QTRY_COMPARE(addresses.selectedRows(), QList<int>({1, 2}));
        repeats.pressed.clear();
        QVERIFY(keys({"ctrl+Up", "ctrl+space"}));
        QTRY_VERIFY(repeats.pressed.contains(Qt::Key_Space));
        QCOMPARE(addresses.currentRow(), 0);
        QCOMPARE(addresses.selectedRows(), QList<int>({1, 2}));
        QVERIFY(realinput::clickRow(ui(w).lstURLs[0], 1));
        QTRY_COMPARE(ui(w).lblComDisp->text(), QStringLiteral("YYY"));
        QVERIFY(click(ui(w).cmdMove));
        QTRY_COMPARE(itemTexts(w.editor().lstSub),
                     QStringList({"one", "three\ttab", "two", "YYY"}));

        // Alt + the W key of the kana keyboard (ﾃ) writes the page.
        const ino_t before = inode(page);
        QVERIFY(keys({"alt+kana_TE"}));
        QTRY_VERIFY(inode(page) != before);
        // Qt reports the kana key as the full-width katakana テ.
        QVERIFY(repeats.pressed.contains(0x30C6));
        const QByteArray written = f.readFile(page);
        QCOMPARE(
            written,
            WindowFixture::writtenCategoryPage(
                QStringLiteral("本"),
                WindowFixture::written("one.example/", "one", "2051/01/02 03:04:05") +
                    WindowFixture::written("three.example/", "three\ttab", "99/05/06 07:08:09") +
                    WindowFixture::written("two.example/", "two", "1947/12/31 23:59:59") +
                    WindowFixture::written("b.example/", "YYY", "97/09/15 08:05:00"),
                kHeader, kFooter));
        Reader reader;
        QVERIFY(readListFile(written, reader).complete);
        QCOMPARE(reader.failures, QStringList());
        QCOMPARE(reader.entries.size(), 4);
        QCOMPARE(reader.entries[0].date, QDateTime(QDate(2051, 1, 2), QTime(3, 4, 5), Qt::UTC));
        QCOMPARE(reader.entries[2].date,
                 QDateTime(QDate(1947, 12, 31), QTime(23, 59, 59), Qt::UTC));

        // Alt + ﾊ opens the file menu, and ｻ in it ends the program as X does.
        QVERIFY(keys({"alt+kana_HA"}));
        QTRY_VERIFY(ui(w).mnFile->isVisible());
        QVERIFY(keys({"kana_SA"}));
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(f.exists(f.appFolder() + "URLINDEX.HTML"));
    }
};

int main(int argc, char** argv) {
    PrivateXServer server(QSize(1024, 768));
    if (server.display().isEmpty()) {
        fprintf(stderr, "Xvfb could not be started\n");
        return 1;
    }
    showWindowsOn(server.display());
    QApplication app(argc, argv);
    KeyboardEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keyboard_e2e.moc"
