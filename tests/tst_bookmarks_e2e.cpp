// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Bookmark files out of and into the real window on the test command's X server: the ツール
// menu opened with real keys, the file named through the prompts, and Cancel in the progress
// bar pressed with the real pointer.
#include "support/RealDisplay.h"
#include "support/RealInput.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

// The header Firefox writes, which every reader of bookmark files takes.
const QByteArray kFirefoxHeader =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
    "<!-- This is an automatically generated file.\n"
    "     It will be read and overwritten.\n"
    "     DO NOT EDIT! -->\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\"\n"
    "      content=\"default-src 'self'; script-src 'none'; img-src data: *; object-src "
    "'none'\"></meta>\n"
    "<TITLE>Bookmarks</TITLE>\n"
    "<H1>Bookmarks Menu</H1>\n"
    "\n"
    "<DL><p>\n";

QByteArray folder(const QString& name, const QString& url, const QString& title) {
    return QStringLiteral(
               "    <DT><H3>%1</H3>\n    <DL><p>\n"
               "        <DT><A HREF=\"http://%2\" ADD_DATE=\"874310700\">%3</A>\n"
               "        <DD>%3\n    </DL><p>\n")
        .arg(name, url, title)
        .toUtf8();
}

// Presses Cancel in the progress bar with the real pointer as soon as it is up.
class CancelWhenShown : public QObject {
public:
    explicit CancelWhenShown(QWidget& window) : m_window(window) {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start();
    }
    bool pressed = false;

private:
    void tick() {
        auto* dialog = m_window.findChild<QProgressDialog*>();
        auto* cancel = dialog ? dialog->findChild<QPushButton*>() : nullptr;
        if (!cancel || !dialog->windowHandle() || !dialog->windowHandle()->isExposed() ||
            !cancel->isVisible())
            return;
        m_timer.stop();
        const QPoint centre = cancel->mapToGlobal(cancel->rect().center());
        // Not waited for here: the import goes on while the click is on its way.
        pressed = QProcess::startDetached(
            QStringLiteral("xdotool"),
            {"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"});
    }
    QWidget& m_window;
    QTimer m_timer;
};

}  // namespace

class BookmarksEndToEndTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_files;

    void startOn(WindowFixture& f) {
        f.writeSettings({"映画"});
        f.writeKeepsake(EditorFixture::listFile(EditorFixture::entry("kept.example/", "キープ")));
        f.writeFile(f.appFolder() + "URL_0000.html",
                    EditorFixture::categoryPage(
                        "映画", EditorFixture::entry("film.example/", "ジャズ映画")));
        QVERIFY(f.start());
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
    }

private slots:
    void initTestCase() {
        REQUIRE_TEST_DISPLAY_AND_XDOTOOL();
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void exportThenImportThroughTheMenu() {
        WindowFixture f;
        startOn(f);
        Refile& w = f.window();
        KeepsakeEditor& e = w.editor();

        // Out: a folder for the category, then one for what is kept and not filed.
        const QString out = m_files.filePath("out.html");
        f.prompts.answerInput(out);
        QVERIFY(realinput::pressKeys(&w, {"alt+t", "x"}));
        QTRY_COMPARE(f.prompts.messageTexts().size(), 1);
        QCOMPARE(f.prompts.shown().last().title, QStringLiteral("ブックマークの書き出し"));
        QCOMPARE(f.readFile(out), kFirefoxHeader + folder("映画", "film.example/", "ジャズ映画") +
                                      folder("キープセイク", "kept.example/", "キープ") +
                                      "</DL>\n");
        QVERIFY(f.prompts.messageTexts().value(0).startsWith(
            "[" + out + "]に、フォルダー2個とブックマーク2件を書き出しました。"));

        // In: two new ones kept at their own dates, the filed and the kept one skipped.
        const QString in = m_files.filePath("in.html");
        f.writeFile(
            in,
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
            "<DL><p>\n"
            "    <DT><H3>フォルダー</H3>\n"
            "    <DL><p>\n"
            "        <DT><A HREF=\"http://new.example/\" ADD_DATE=\"1234567890\">新しい</A>\n"
            "        <DT><A HREF=\"http://film.example/\">整理済み</A>\n"
            "    </DL><p>\n"
            "    <DT><A HREF=\"http://kept.example/\">キープ済み</A>\n"
            "    <DT><A HREF=\"http://second.example/\" ADD_DATE=\"1234567891\">二つ目</A>\n"
            "</DL><p>\n");
        f.prompts.clear();
        f.prompts.answerInput(in);
        QVERIFY(realinput::pressKeys(&w, {"alt+t", "i"}));
        QTRY_COMPARE(f.prompts.messageTexts().size(), 1);
        QCOMPARE(f.prompts.describe(),
                 QStringList({"none|ブックマークの読み込み|ブックマークの読み込み",
                              "information|ブックマークの読み込み|"
                              "読み込んだブックマーク: 4件\nキープしたもの: 2件\n"
                              "キープ済み・整理済みで飛ばしたもの: 2件\n受け付けなかったもの: 0件\n"
                              "フォルダーはカテゴリーになりません。"
                              "キープした項目はエディターで整理してください。"}));
        QCOMPARE(f.readFile(f.companionFolder() + "KEEPSAKE.HTML"),
                 EditorFixture::listFile(
                     EditorFixture::entry("kept.example/", "キープ") +
                     EditorFixture::entry("new.example/", "新しい", "09/02/13 23:31:30") +
                     EditorFixture::entry("second.example/", "二つ目", "09/02/13 23:31:31")));
        QCOMPARE(itemTexts(e.lstURLs[2]),
                 QStringList({"kept.example/", "new.example/", "second.example/"}));
        f.close();
    }

    void cancelLeavesTheKeepsakeFileAsItWas() {
        WindowFixture f;
        startOn(f);
        Refile& w = f.window();
        const QString keepsake = f.companionFolder() + "KEEPSAKE.HTML";
        const QByteArray before = f.readFile(keepsake);
        QByteArray many = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
        for (int i = 0; i < 100000; ++i)
            many += "<DT><A HREF=\"http://many.example/" + QByteArray::number(i) +
                    "\" ADD_DATE=\"1234567890\">ブックマーク" + QByteArray::number(i) + "</A>\n";
        many += "</DL><p>\n";
        const QString in = m_files.filePath("many.html");
        f.writeFile(in, many);

        f.prompts.answerInput(in);
        CancelWhenShown cancel(w);
        QVERIFY(realinput::pressKeys(&w, {"alt+t", "i"}));
        QTRY_COMPARE_WITH_TIMEOUT(f.prompts.messageTexts().size(), 1, 20000);
        QVERIFY(cancel.pressed);
        QCOMPARE(f.prompts.messageTexts().value(0),
                 QStringLiteral("読み込みをやめました。キープセイクファイルは変更していません。"));
        QVERIFY(!w.findChild<QProgressDialog*>());
        QCOMPARE(f.readFile(keepsake), before);
        QCOMPARE(itemTexts(w.editor().lstURLs[2]), QStringList{"kept.example/"});
        f.close();
    }
};

int main(int argc, char** argv) {
    showWindowsOn();
    QApplication app(argc, argv);
    BookmarksEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_bookmarks_e2e.moc"
