// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Selecting a category, reading and writing its page, and the entry commands.
#include "app/KeyCodes.h"
#include "pages/PageFormat.h"
#include "support/EditorFixture.h"
#include "support/SyntheticCollection.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {
const QString kNotFoundTitle = QStringLiteral("Not Found!");

QByteArray keepsake() {
    return EditorFixture::listFile(
        EditorFixture::entry("c.example/", "さくら") + EditorFixture::entry("a.example/", "うめ") +
            EditorFixture::entry("b.example/", "Apple"),
        {"<HTML><HEAD><TITLE>キープセイク</TITLE></HEAD>", "<BODY>"}, {"<HR>", "</BODY></HTML>"});
}

const QStringList kPageHead = {"<HTML>", "<BODY BGCOLOR=\"#FFFFFF\">"};
const QStringList kPageFoot = {"<HR>", "<ADDRESS>自分用</ADDRESS>", "</BODY></HTML>"};

QByteArray categoryPage(const QString& title, const QStringList& listLines) {
    QStringList lines = {QStringLiteral("<H3><I><B>～ %1 ～</B></I></H3>").arg(title)};
    return EditorFixture::listFile(lines + listLines, kPageHead, kPageFoot);
}
// The page as the editor writes it: its head declares no charset, so the block opens with
// the META line.
QByteArray writtenPage(const QString& title, const QStringList& listLines) {
    QStringList lines = {EditorFixture::charsetMeta(),
                         QStringLiteral("<H3><I><B>～ %1 ～</B></I></H3>").arg(title)};
    return EditorFixture::listFile(lines + listLines, kPageHead, kPageFoot);
}

// Starts an editor with three kept entries and the categories given.
void startWith(EditorFixture& f, const QStringList& books) {
    f.writeSettings(books);
    f.writeKeepsake(keepsake());
    QVERIFY(f.start());
    f.prompts.clear();
}

// Releases a key over the loaded category's list, as its Windows virtual-key code.
void releaseKey(KeepsakeEditor& w, int keyCode, Qt::KeyboardModifiers modifiers = {}) {
    w.lstSub_KeyUp(keyCode, modifiers);
}
void pressDelete(KeepsakeEditor& w, Qt::KeyboardModifiers modifiers = {}) {
    releaseKey(w, keycodes::kDelete, modifiers);
}
}  // namespace

class CategoryPagesTest : public QObject {
    Q_OBJECT

private slots:
    void aPageReadsAndWritesBackByteForByte() {
        EditorFixture f;
        // Addresses and a name holding & < > ", a comment holding markup: the link text and
        // the title show them as typed, HREF and the comment keep them as stored.
        const QString name = QStringLiteral("R&D \"<stdio.h>\" 旅行");
        const QString comment = QStringLiteral("<b>太字</b> &amp;");
        const QByteArray original = categoryPage(
            "旅行",
            EditorFixture::entry("z.example/", "あ") +
                EditorFixture::entry("y.example/page.html", "Bravo",
                                     QStringLiteral("03/01/02 23:00:09")) +
                EditorFixture::entry("x.example/", "alpha") +
                EditorFixture::entry(QStringLiteral("w.example/a?x=1&region=<b>"), comment));
        f.writeFile(f.appFolder() + "URL_0000.html", original);
        startWith(f, {name});
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QCOMPARE(itemTexts(w.lstSub), QStringList({comment, "alpha", "Bravo", "あ"}));
        QCOMPARE(itemData(w.lstSub), QList<int>({4, 3, 2, 1}));
        QCOMPARE(w.KindCount, 4);
        QCOMPARE(w.KindURL[4], QStringLiteral("w.example/a?x=1&region=<b>"));

        w.cmdSave_Click();
        const QByteArray sorted = EditorFixture::listFile(
            QStringList{EditorFixture::charsetMeta(),
                        "<H3><I><B>～ R&amp;D &quot;&lt;stdio.h&gt;&quot; 旅行 ～</B></I></H3>",
                        "<A HREF=\"http://w.example/a?x=1&region=<b>\" TARGET=\"_top\">"
                        "w.example/a?x=1&amp;region=&lt;b&gt;</A><BR>",
                        "《 " + comment + " 》97/09/15 08:05:00<P>"} +
                EditorFixture::written("x.example/", "alpha") +
                EditorFixture::written("y.example/page.html", "Bravo",
                                       QStringLiteral("03/01/02 23:00:09")) +
                EditorFixture::written("z.example/", "あ"),
            kPageHead, kPageFoot);
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), sorted);
        // Reading and writing again changes nothing.
        w.lstKinds.setCurrentRow(-1);
        w.lstKinds.setCurrentRow(0);
        w.cmdSave_Click();
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), sorted);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
    }

    // A page large enough to be read in parts and ordered on other threads holds its entries
    // in the file's order and lists them in the collator's order, as a small one does.
    void aLargePageReadsAsASmallOne() {
        EditorFixture f;
        const QList<synthetic::Entry> entries = synthetic::entries(30000, 5);
        f.writeFile(f.appFolder() + "URL_0000.html", synthetic::categoryPage("大", entries));
        startWith(f, {QStringLiteral("大")});
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QCOMPARE(w.KindCount, entries.size());
        QList<int> expected(entries.size());
        std::iota(expected.begin(), expected.end(), 1);
        for (int k = 1; k <= w.KindCount; ++k) {
            QCOMPARE(w.KindURL[k], entries[k - 1].address);
            QCOMPARE(w.KindCom[k], entries[k - 1].comment);
        }
        QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            return collator.compare(w.KindCom[a], w.KindCom[b]) < 0;
        });
        QCOMPARE(itemData(w.lstSub), expected);
    }

    void aMissingPageIsCreatedFromTheKeepsakeSkeleton() {
        EditorFixture f;
        startWith(f, {"ニュース", "旅行"});
        KeepsakeEditor& w = f.editor();
        QSignalSpy hints(&w, &KeepsakeEditor::message);
        w.lstKinds.setCurrentRow(1);
        const int page = itemData(w.lstKinds)[1];
        const QString name = pages::pageFileName(pages::pageNumberText(page));
        QCOMPARE(f.prompts.messageTexts(),
                 QStringList({"[" + f.appFolder() + name + "]は新規作成されます。"}));
        QCOMPARE(f.prompts.shown().first().title, std::optional<QString>(kNotFoundTitle));
        QCOMPARE(f.prompts.shown().first().icon, PromptIcon::Information);
        QCOMPARE(f.readFile(f.appFolder() + name),
                 EditorFixture::page({"<HTML><HEAD>" + EditorFixture::charsetMeta() +
                                          "<TITLE>キープセイク</TITLE></HEAD>",
                                      "<BODY>", "<!--StartList-->", "<!--EndList-->", "<HR>",
                                      "</BODY></HTML>"}));
        QCOMPARE(w.lstSub.count(), 0);
        QCOMPARE(hints.size(), 1);
        QCOMPARE(hints[0][0].toString(), QString());

        // Selected again, the new page reads as an empty one.
        f.prompts.clear();
        w.lstKinds.setCurrentRow(0);
        w.lstKinds.setCurrentRow(1);
        QCOMPARE(f.prompts.messageTexts().last(), QStringLiteral("データがありません。"));
        QCOMPARE(f.prompts.shown().last().title, std::optional<QString>("新規ファイルです。"));
        // A reload that catches the companion writing (the file ends inside <TITLE>) fails and
        // leaves the next new page the header of the last complete read.
        f.writeKeepsake("<HTML><HEAD><TITLE>KEEPSA");
        f.prompts.clear();
        w.ReadKeepsake(QStringLiteral("KEEPSAKE.HTML"));
        QCOMPARE(f.prompts.messageTexts(), QStringList({"<!--StartList-->が見つかりません。"}));
        f.writeSettings({"ニュース", "旅行", "本"});
        w.LoadKinds();
        w.lstKinds.setCurrentRow(static_cast<int>(itemTexts(w.lstKinds).indexOf("本")));
        QCOMPARE(f.readFile(f.appFolder() + "URL_0002.html"), f.readFile(f.appFolder() + name));
    }

    void aPageTellsBrowsersItIsShiftJis_data() {
        QTest::addColumn<bool>("created");  // a new page, or an existing page written
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("writtenHead");
        QTest::addColumn<bool>("metaLine");  // the block opens with the META line
        const QByteArray meta = EditorFixture::charsetMeta().toLatin1();
        const QByteArray marker = "<!--StartList-->\r\n";
        // A head whose META line, after the marker, ends at byte 1024 of the file.
        const QByteArray fill =
            "<HTML><!--" + QByteArray(1024 - meta.size() - marker.size() - 15, 'x') + "-->\r\n";
        QCOMPARE(fill.size() + marker.size() + meta.size(), 1024);
        const QByteArray longer = QByteArray(fill).insert(10, 'x');
        QTest::newRow("new, <HEAD>") << true << QByteArray("<HTML><HEAD><TITLE>t</TITLE>\r\n")
                                     << "<HTML><HEAD>" + meta + "<TITLE>t</TITLE>\r\n"
                                     << false;
        QTest::newRow("new, <head lang>") << true << QByteArray("<html>\r\n<head lang=\"ja\">\r\n")
                                          << "<html>\r\n<head lang=\"ja\">" + meta + "\r\n"
                                          << false;
        QTest::newRow("new, <HEADER> only")
            << true << QByteArray("<HTML><HEADER>\r\n") << QByteArray("<HTML><HEADER>\r\n") << true;
        QTest::newRow("new, declares a charset")
            << true << QByteArray("<HTML><HEAD><meta CharSet=\"shift_jis\">\r\n")
            << QByteArray("<HTML><HEAD><meta CharSet=\"shift_jis\">\r\n") << false;
        QTest::newRow("existing, <HEAD> stays as it is")
            << false << QByteArray("<HTML><HEAD></HEAD>\r\n")
            << QByteArray("<HTML><HEAD></HEAD>\r\n") << true;
        QTest::newRow("existing, declares a charset")
            << false << QByteArray("<HTML><META CONTENT=\"text/html; CHARSET=x-sjis\">\r\n")
            << QByteArray("<HTML><META CONTENT=\"text/html; CHARSET=x-sjis\">\r\n") << false;
        QTest::newRow("existing, META ends at byte 1024") << false << fill << fill << true;
        QTest::newRow("existing, META would end at byte 1025")
            << false << longer << longer << false;
    }

    void aPageTellsBrowsersItIsShiftJis() {
        QFETCH(bool, created);
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, writtenHead);
        QFETCH(bool, metaLine);
        EditorFixture f;
        const QByteArray foot = "<!--EndList-->\r\n</BODY></HTML>\r\n";
        const QByteArray entry = EditorFixture::page(EditorFixture::entry("a.example/", "A"));
        f.writeSettings({"本"});
        f.writeKeepsake(head + "<!--StartList-->\r\n" + entry + foot);
        if (!created)
            f.writeFile(f.appFolder() + "URL_0000.html",
                        head + "<!--StartList-->\r\n" + entry + foot);
        QVERIFY(f.start());
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);
        if (!created)
            w.cmdSave_Click();
        const QByteArray block =
            (metaLine ? EditorFixture::charsetMeta().toLatin1() + "\r\n" : QByteArray()) +
            (created ? QByteArray()
                     : EditorFixture::page(QStringList{"<H3><I><B>～ 本 ～</B></I></H3>"} +
                                           EditorFixture::written("a.example/", "A")));
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"),
                 writtenHead + "<!--StartList-->\r\n" + block + foot);
    }

    void aKeepsakeFileNeverReadWholeGivesTheStandardSkeleton() {
        EditorFixture f;
        f.writeSettings({"本"});
        // The keepsake file ends inside its list: it was never read whole.
        f.writeKeepsake(EditorFixture::page({"<HTML>", "<!--StartList-->", "x", "y"}));
        QVERIFY(f.start());
        f.prompts.clear();
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);
        const QByteArray created = f.readFile(f.appFolder() + "URL_0000.html");
        QCOMPARE(created, QByteArray("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" "
                                     "CONTENT=\"text/html; charset=Shift_JIS\">"
                                     "<TITLE>KEEPSAKE</TITLE></HEAD>\r\n"
                                     "<BODY>\r\n<!--StartList-->\r\n<!--EndList-->\r\n"
                                     "</BODY></HTML>\r\n"));
        // The new page can be filled, written and read back.
        w.optKind_Click(2);
        w.lstURLs[2].selectAll();
        w.cmdMove_Click();
        QCOMPARE(w.lstSub.count(), 0);  // nothing was kept
        w.cmdSave_Click();
        f.prompts.clear();
        w.lstKinds.setCurrentRow(-1);
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(f.prompts.messageTexts(), QStringList({"データがありません。"}));
    }

    void failuresWhileReadingAPage() {
        struct Case {
            const char* name;
            QStringList lines;
            QStringList messages;
            int listed;
        };
        const QStringList good = EditorFixture::entry("a.example/", "A");
        const QString noStart = QStringLiteral("<!--StartList-->が見つかりません。");
        const QString noList = QStringLiteral("ＵＲＬリストが見つかりません。");
        const QString noComment = QStringLiteral("コメントが見つかりません。");
        const QString noEnd = QStringLiteral("<!--EndList-->が見つかりません。");
        const QString noData = QStringLiteral("データがありません。");
        const QString question = QStringLiteral("次のデータから続行しますか？");
        const QList<Case> cases = {
            {"no start marker", {"<HTML>"}, {noStart, noData}, 0},
            {"ends with the start marker", {"<!--StartList-->"}, {noList, noData}, 0},
            {"end marker first and last",
             {"<!--StartList-->", "<!--EndList-->"},
             {noList, noData},
             0},
            {"end marker for a comment",
             {"<!--StartList-->", good[0], "<!--EndList-->", "x"},
             {noComment, noData},
             0},
            {"comment line last", {"<!--StartList-->", good[0], good[1]}, {noEnd, noData}, 0},
            {"ends inside the list", {"<!--StartList-->", good[0], good[1], "more"}, {noEnd}, 1},
            {"bad address",
             {"<!--StartList-->", "<A HREF=\"http://\">", good[1], good[0], good[1],
              "<!--EndList-->"},
             {"ＵＲＬが空白です。", question},
             1},
            {"bad date",
             {"<!--StartList-->", good[0], "《 A 》97/02/30 00:00:00<P>", "<!--EndList-->"},
             {question, noData},
             0},
        };
        for (const Case& c : cases) {
            EditorFixture f;
            f.writeFile(f.appFolder() + "URL_0000.html", EditorFixture::page(c.lines));
            startWith(f, {"壊れた"});
            f.editor().lstKinds.setCurrentRow(0);
            QVERIFY2(f.prompts.messageTexts() == c.messages,
                     qPrintable(QString::fromLatin1(c.name) + ": " +
                                f.prompts.messageTexts().join(u'|')));
            QVERIFY2(f.editor().lstSub.count() == c.listed, c.name);
            QCOMPARE(f.prompts.waitDepth(), 0);
        }
    }

    void aPageNotReadToItsEndIsNeverWritten() {
        EditorFixture f;
        const QByteArray damaged = EditorFixture::page(
            {"<HTML>", "<!--StartList-->", "<A HREF=\"http://a.example/\">a</A><BR>",
             "《 A 》97/09/15 08:05:00<P>", "<A HREF=\"http://b.example/\">b</A><BR>",
             "《  》97/09/15 08:05:00<P>", "<A HREF=\"http://c.example/\">c</A><BR>",
             "《 C 》97/09/15 08:05:00<P>", "<!--EndList-->", "<P>footer</P>"});
        f.writeFile(f.appFolder() + "URL_0000.html", damaged);
        startWith(f, {"途中"});
        f.prompts.answerMessage(PromptAnswer::Ok);      // the comment scanner's message
        f.prompts.answerMessage(PromptAnswer::Cancel);  // stop reading
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(w.lstSub.count(), 1);
        f.prompts.clear();
        w.cmdSave_Click();
        QCOMPARE(
            f.prompts.messageTexts(),
            QStringList({"[" + f.appFolder() +
                         "URL_0000.html]は最後まで読み込めなかったため、書き出しませんでした。"}));
        QCOMPARE(f.prompts.shown().first().icon, PromptIcon::Information);
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), damaged);
    }

    void movingEditingAndDeletingEntries() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "url_0000.HTML", categoryPage("本", {}));
        startWith(f, {"本"});
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);
        f.prompts.clear();

        // Three kept entries selected in the list in front, moved twice: six entries.
        w.lstURLs[0].selectAll();
        w.cmdMove_Click();
        // The entry selected in the category's list stays selected and current.
        w.lstSub.setCurrentRow(1);
        const int chosen = w.lstSub.data(1);
        w.cmdMove_Click();
        QCOMPARE(w.lstSub.data(w.lstSub.currentRow()), chosen);
        QCOMPARE(w.lstSub.selectedRows(), QList<int>({w.lstSub.currentRow()}));
        QCOMPARE(w.KindCount, 6);
        QCOMPARE(itemTexts(w.lstSub),
                 QStringList({"Apple", "Apple", "うめ", "うめ", "さくら", "さくら"}));
        QCOMPARE(w.lstURLs[0].selectedRows().size(), 3);

        // The comment order takes its own selection only.
        w.optKind_Click(1);
        w.lstURLs[1].clearSelection();
        w.lstURLs[1].select(0);  // Apple
        w.cmdMove_Click();
        QCOMPARE(w.KindCount, 7);
        QCOMPARE(w.KindURL[7], QStringLiteral("b.example/"));

        // A changed comment stays where it was in the list.
        w.lstSub.setCurrentRow(0);
        f.prompts.answerInput(QStringLiteral("りんご"));
        w.cmdEditCom_Click();
        QCOMPARE(f.prompts.shown().last().text,
                 QStringLiteral("新しいコメントを設定してください。"));
        QCOMPARE(f.prompts.shown().last().title, std::optional<QString>("コメント変更"));
        QCOMPARE(f.prompts.shown().last().defaultText, QStringLiteral("Apple"));
        QCOMPARE(w.lstSub.text(0), QStringLiteral("りんご"));
        // Cancel and an unreadable comment leave it as it is.
        f.prompts.answerInput(QString());
        w.cmdEditCom_Click();
        f.prompts.answerInput(QStringLiteral("a 》b"));
        w.cmdEditCom_Click();
        QCOMPARE(f.prompts.shown().last().icon, PromptIcon::Information);
        f.prompts.answerInput(QStringLiteral("caf\u00E9 \U0001F375"));
        w.cmdEditCom_Click();
        QCOMPARE(f.prompts.messageTexts().last(),
                 QStringLiteral("コメントに保存できない文字が含まれています。"));
        QCOMPARE(w.lstSub.text(0), QStringLiteral("りんご"));

        // Delete removes the selected entry; Shift+Delete too; other keys do nothing.
        w.lstSub.setCurrentRow(1);
        pressDelete(w);
        QCOMPARE(w.lstSub.count(), 6);
        w.lstSub.setCurrentRow(1);
        pressDelete(w, Qt::ShiftModifier);
        QCOMPARE(w.lstSub.count(), 5);
        w.lstSub.setCurrentRow(1);
        releaseKey(w, 8);  // Backspace
        QCOMPARE(w.lstSub.count(), 5);
        QCOMPARE(w.KindCount, 7);
        w.lstSub.clearSelection();
        pressDelete(w);
        QCOMPARE(w.lstSub.count(), 5);

        w.cmdSave_Click();
        const QByteArray written = f.readFile(f.appFolder() + "url_0000.HTML");
        QVERIFY(!f.exists(f.appFolder() + "URL_0000.html"));
        QCOMPARE(written, writtenPage("本", EditorFixture::written("b.example/", "りんご") +
                                                EditorFixture::written("a.example/", "うめ") +
                                                EditorFixture::written("a.example/", "うめ") +
                                                EditorFixture::written("c.example/", "さくら") +
                                                EditorFixture::written("c.example/", "さくら")));
        // Loaded again, the changed comment takes its sorted place.
        w.lstKinds.setCurrentRow(-1);
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(itemTexts(w.lstSub), QStringList({"うめ", "うめ", "さくら", "さくら", "りんご"}));
    }

    // A page changed and not written is never left without a word: the question, and what
    // each answer leaves on disk and in the lists.
    void leavingAChangedPageAsksFirst_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("leave");  // select another category, close, choose a folder
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("left");
        QTest::addColumn<QStringList>("pageAfter");  // the page's list lines on disk afterwards

        const QStringList kept = EditorFixture::entry("a.example/", "A");
        // Written pages open their entries at the top and declare their charset.
        const QStringList moved = EditorFixture::written("a.example/", "A") +
                                  EditorFixture::written("a.example/", "うめ");
        const int yes = int(PromptAnswer::Yes), no = int(PromptAnswer::No),
                  cancel = int(PromptAnswer::Cancel);
        QTest::newRow("unchanged") << "none"
                                   << "select"
                                   << "" << yes << false << true << kept;
        QTest::newRow("comment kept as it was") << "same comment"
                                                << "close"
                                                << "" << yes << false << true << kept;
        QTest::newRow("nothing to move") << "empty move"
                                         << "folder"
                                         << "" << yes << false << true << kept;
        QTest::newRow("moved, yes") << "move"
                                    << "select"
                                    << "" << yes << true << true << moved;
        QTest::newRow("deleted, no") << "delete"
                                     << "select"
                                     << "" << no << true << true << kept;
        QTest::newRow("comment, cancel") << "comment"
                                         << "select"
                                         << "" << cancel << true << false << kept;
        QTest::newRow("moved, close, cancel") << "move"
                                              << "close"
                                              << "" << cancel << true << false << kept;
        QTest::newRow("deleted, close, yes") << "delete"
                                             << "close"
                                             << "" << yes << true << true << QStringList();
        QTest::newRow("comment, folder, no") << "comment"
                                             << "folder"
                                             << "" << no << true << true << kept;
        QTest::newRow("moved, folder, cancel") << "move"
                                               << "folder"
                                               << "" << cancel << true << false << kept;
        QTest::newRow("yes, but a folder stands at the page")
            << "delete"
            << "select"
            << "folder in the way" << yes << true << false << kept;
        QTest::newRow("yes, but the page was not read to its end")
            << "comment"
            << "close"
            << "incomplete" << yes << true << false << kept;
    }
    void leavingAChangedPageAsksFirst() {
        QFETCH(QString, change);
        QFETCH(QString, leave);
        QFETCH(QString, fault);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, left);
        QFETCH(QStringList, pageAfter);

        EditorFixture f;
        const QString page = f.appFolder() + "URL_0000.html";
        QByteArray original = categoryPage("Books", EditorFixture::entry("a.example/", "A"));
        if (fault == "incomplete") {
            // The file ends inside the list: the entry is read, the footer never.
            original.truncate(original.indexOf("<!--EndList-->"));
            original += "<HR>\r\n";
        }
        f.writeFile(page, original);
        f.writeFile(f.appFolder() + "URL_0001.html",
                    categoryPage("Travel", EditorFixture::entry("t.example/", "T")));
        startWith(f, {"Books", "Travel"});
        KeepsakeEditor& w = f.editor();
        const int books = int(itemTexts(w.lstKinds).indexOf("Books"));
        const int travel = int(itemTexts(w.lstKinds).indexOf("Travel"));
        w.lstKinds.setCurrentRow(books);
        QCOMPARE(itemTexts(w.lstSub), QStringList({"A"}));
        QVERIFY(!w.KindChanged);

        w.lstSub.setCurrentRow(0);
        if (change == "move") {
            w.lstURLs[0].setCurrentRow(0);
            w.cmdMove_Click();
        } else if (change == "empty move") {
            w.lstURLs[0].clearSelection();
            w.cmdMove_Click();
        } else if (change == "delete") {
            pressDelete(w);
        } else if (change == "comment" || change == "same comment") {
            f.prompts.answerInput(change == "comment" ? "B" : "A");
            w.cmdEditCom_Click();
        }
        QCOMPARE(w.KindChanged, asked);
        const QStringList changed = itemTexts(w.lstSub);
        if (fault == "folder in the way") {
            QVERIFY(QFile::remove(page));
            QVERIFY(QDir().mkdir(page));
        }

        f.prompts.clear();
        f.prompts.answerMessage(PromptAnswer(answer));
        f.prompts.folderDialog = [&f](SharedSettings& s, const QString&, const QString&) {
            s.CompanionFolder = f.companionFolder();
        };
        bool stillOpen = false;
        if (leave == "select")
            w.lstKinds.setCurrentRow(travel);
        else if (leave == "close")
            stillOpen = !w.QueryUnload();
        else
            w.mn_FolderSet_Click();

        const QStringList shown = f.prompts.describe();
        const QString question = "question|-|「Books」の変更を書き出しますか？";
        QCOMPARE(!shown.isEmpty() && shown.first() == question, asked);
        if (asked)
            QCOMPARE(f.prompts.shown().first().buttons, PromptButtons::YesNoCancel);
        if (asked && answer == int(PromptAnswer::Yes) && !left)
            QCOMPARE(shown.size(), 2);  // the box that says why the page stays
        if (fault == "folder in the way") {
            QVERIFY(QFileInfo(page).isDir());
            QCOMPARE(f.prompts.shown().last().icon, PromptIcon::Critical);
        } else if (fault == "incomplete") {
            QCOMPARE(f.readFile(page), original);
        } else {
            const bool written = asked && answer == int(PromptAnswer::Yes) && left;
            QCOMPARE(f.readFile(page),
                     written ? writtenPage("Books", pageAfter) : categoryPage("Books", pageAfter));
        }
        QCOMPARE(stillOpen, leave == "close" && !left);
        QCOMPARE(shown.contains("dialog|frmFolder"), leave == "folder" && left);
        if (!left) {
            // The user stays on the page, changes and all, with its category selected.
            QCOMPARE(w.lstKinds.selectedRow(), books);
            QCOMPARE(itemTexts(w.lstSub), changed);
            QVERIFY(w.KindChanged);
        } else if (leave == "select") {
            QCOMPARE(w.lstKinds.selectedRow(), travel);
            QCOMPARE(itemTexts(w.lstSub), QStringList({"T"}));
            QVERIFY(!w.KindChanged);
        }
    }

    void aNewPageThatCannotBeCreatedIsReported() {
        EditorFixture f;
        startWith(f, {"本"});
        KeepsakeEditor& w = f.editor();

        // A folder standing where a new page should go.
        f.prompts.clear();
        QDir().mkpath(f.appFolder() + "URL_0001.html");
        w.cmdNew_Click();  // unscripted input: empty answer, nothing added
        f.prompts.answerInput(QStringLiteral("新しい"));
        w.cmdNew_Click();
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(f.prompts.messageTexts().last().left(f.appFolder().size() + 15),
                 "[" + f.appFolder() + "URL_0001.html]");
        QCOMPARE(f.prompts.shown().last().icon, PromptIcon::Critical);
    }
};

QTEST_MAIN(CategoryPagesTest)
#include "tst_categorypages.moc"
