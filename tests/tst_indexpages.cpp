// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The category list, the index and frameset pages, and the category commands.
#include "platform/Cp932Codec.h"
#include "support/EditorFixture.h"

#include <QDir>
#include <QTest>
#include <QUrl>

namespace {

const QStringList kStandardHead = {
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">"
    "<TITLE>URL_INDEX</TITLE></HEAD>",
    "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#5157DD\"LINK=\"#E81B1B\" VLINK=\"#8B0366\" "
    "ALINK=\"#FF8A1D\">",
    "<FONT SIZE=+2><I><B>- INDEX -</B></I></FONT>", "<hr><P>", "<!--StartList-->"};
const QStringList kStandardFoot = {"<!--EndList-->", "<hr></BODY></HTML>"};

const QByteArray kFrameset =
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">"
    "<TITLE>\x83\x4c\x81\x5b\x83\x76\x83\x5a\x83\x43\x83\x4e\x92\x9f</TITLE></HEAD>\r\n"
    "<FRAMESET COLS=\"30%,*\">\r\n"
    "     <FRAME SRC=\"./URLINDEX.HTML\" NAME=\"INDEX\">\r\n"
    "     <FRAME NAME=\"LIST\">\r\n"
    "<NOFRAMES><BODY>\x83\x74\x83\x8c\x81\x5b\x83\x80\x91\xce\x89\x9e\x82\xc5\x82\xa0\x82\xe8\x82"
    "\xdc\x82\xb9\x82\xf1\x82\xcb\x81\x42<P>\r\n"
    "<A HREF=\"./URLINDEX.HTML\">\x82\xb1\x82\xbf\x82\xe7</A>\x82\xd6\x82\xc7\x82\xa4\x82\xbc\x81"
    "\x42\r\n"
    "</BODY></NOFRAMES>\r\n"
    "</FRAMESET></HTML>\r\n";

QString indexLine(const QString& file, const QString& name) {
    return QStringLiteral(
               "<FONT COLOR=\"BLUE\">● </FONT><A HREF=\"./%1\" TARGET=\"LIST\">%2</A><P>")
        .arg(file, name);
}

void start(EditorFixture& f, const QStringList& books) {
    f.writeSettings(books);
    f.writeKeepsake(EditorFixture::listFile(EditorFixture::entry("a.example/", "A"),
                                            {"<HTML>", "<BODY>"}, {"</BODY></HTML>"}));
    QVERIFY(f.start());
}

QByteArray iniBytes(EditorFixture& f) {
    return f.readFile(f.appFolder() + "KEEPSAKE.INI");
}

}  // namespace

class IndexPagesTest : public QObject {
    Q_OBJECT

private slots:
    void theMusicAndArtIndex() {
        EditorFixture f;
        start(f, {"Music", "Art", "R&D \"<stdio.h>\""});
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"Art", "Music", "R&D \"<stdio.h>\""}));
        QCOMPARE(itemData(w.lstKinds), QList<int>({1, 0, 2}));
        // A new index page was made at start-up from the standard head and foot.
        QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"),
                 EditorFixture::page(kStandardHead + kStandardFoot));

        f.close();
        QCOMPARE(
            f.readFile(f.appFolder() + "URLINDEX.HTML"),
            EditorFixture::page(
                kStandardHead +
                QStringList{indexLine("URL_0001.html", "Art"), indexLine("URL_0000.HTML", "Music"),
                            indexLine("URL_0002.html", "R&amp;D &quot;&lt;stdio.h&gt;&quot;")} +
                kStandardFoot));
        QCOMPARE(iniBytes(f), EditorFixture::page({"[Scribble]", "Folder=" + f.companionFolder(),
                                                   "[Books]", "0000=Music", "0001=Art",
                                                   "0002=R&D \"<stdio.h>\"", "0003="}));
        QCOMPARE(f.readFile(f.appFolder() + "URLFRAME.HTML"), kFrameset);
        // No page had been loaded: page 0 is the keepsake skeleton, readable as a page.
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.HTML"),
                 EditorFixture::page({"<HTML>", "<BODY>", "<!--StartList-->",
                                      EditorFixture::charsetMeta(), "<!--EndList-->",
                                      "</BODY></HTML>"}));
    }

    void linksNameThePagesAsTheyAreOnDisk() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "url_0001.HTML", "x");
        start(f, {"零", "一", "二"});
        f.close();
        const QString index = cp932::decode(f.readFile(f.appFolder() + "URLINDEX.HTML"));
        QVERIFY(index.contains(indexLine("url_0001.HTML", "一")));
        QVERIFY(index.contains(indexLine("URL_0002.html", "二")));
        QVERIFY(index.contains(indexLine("URL_0000.HTML", "零")));
    }

    void theListEndsAtTheFirstGap() {
        EditorFixture f;
        f.writeSettings({}, "0000=One\r\n0001=Two\r\n0002=\r\n0003=Hidden\r\n");
        f.writeKeepsake(EditorFixture::listFile({}));
        QVERIFY(f.start());
        QCOMPARE(itemTexts(f.editor().lstKinds), QStringList({"One", "Two"}));
        f.close();
        QVERIFY(iniBytes(f).endsWith("0000=One\r\n0001=Two\r\n0002=\r\n0003=Hidden\r\n"));

        // With nothing under "Books", the index is head and foot and the end mark is 0000.
        EditorFixture empty;
        start(empty, {});
        QCOMPARE(empty.editor().lstKinds.count(), 0);
        empty.close();
        QCOMPARE(empty.readFile(empty.appFolder() + "URLINDEX.HTML"),
                 EditorFixture::page(kStandardHead + kStandardFoot));
        QVERIFY(iniBytes(empty).endsWith("[Books]\r\n0000=\r\n"));
    }

    void aHandEditedIndexKeepsItsHeadAndFoot_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("metaLine");  // the list opens with the META line
        QTest::newRow("no charset") << QStringLiteral("私の索引") << true;
        QTest::newRow("a charset") << QStringLiteral("<meta charSET=shift_jis>") << false;
        // The head is 62 bytes and the title; the META line, 71 bytes, must end by byte 1024.
        QTest::newRow("ends at byte 1024") << QString(1024 - 62 - 71, u'x') << true;
        QTest::newRow("would end at byte 1025") << QString(1024 - 62 - 71 + 1, u'x') << false;
    }

    void aHandEditedIndexKeepsItsHeadAndFoot() {
        QFETCH(QString, title);
        QFETCH(bool, metaLine);
        EditorFixture f;
        const QStringList head = {"<HTML><HEAD><TITLE>" + title + "</TITLE></HEAD>", "<BODY>",
                                  "<!--StartList-->"};
        const QStringList foot = {"<!--EndList-->", "<P>おわり</P>", "</BODY></HTML>"};
        f.writeFile(f.appFolder() + "URLINDEX.HTML",
                    EditorFixture::page(head + QStringList{"手で書いた行", "", "もう一行"} + foot));
        f.writeFile(f.appFolder() + "URLFRAME.HTML", "my own frames");
        start(f, {"本"});
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        const QStringList meta =
            metaLine ? QStringList{EditorFixture::charsetMeta()} : QStringList();
        const QByteArray expected =
            EditorFixture::page(head + meta + QStringList{indexLine("URL_0000.HTML", "本")} + foot);
        for (int round = 0; round < 3; ++round) {
            f.editor().WriteIndexPages();
            QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"), expected);
        }
        QCOMPARE(f.readFile(f.appFolder() + "URLFRAME.HTML"), QByteArray("my own frames"));
    }

    void aFramePageLinksTheIndexAsItIsOnDisk_data() {
        QTest::addColumn<QString>("indexName");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("mended");
        // As an older editor wrote it, before frame pages declared their charset.
        const QByteArray windows = QByteArray(kFrameset).replace(
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">", "");
        QTest::newRow("copied from Windows")
            << "urlindex.html" << windows
            << QByteArray(windows).replace("\"./URLINDEX.HTML\"", "\"./urlindex.html\"");
        QTest::newRow("already right") << "URLINDEX.HTML" << windows << windows;
        const QByteArray mixed =
            "<FRAME SRC=\"./UrlIndex.Html\"> ./URLINDEX.HTML "
            "\"./URLINDEX.HTML.bak\" '../URLINDEX.HTML' \"./urlindex.html\"";
        QTest::newRow("only the quoted links")
            << "URLINDEX.HTML" << mixed
            << QByteArray(
                   "<FRAME SRC=\"./URLINDEX.HTML\"> ./URLINDEX.HTML "
                   "\"./URLINDEX.HTML.bak\" '../URLINDEX.HTML' \"./URLINDEX.HTML\"");
    }

    void aFramePageLinksTheIndexAsItIsOnDisk() {
        QFETCH(QString, indexName);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, mended);
        EditorFixture f;
        f.writeFile(f.appFolder() + indexName, EditorFixture::page(kStandardHead + kStandardFoot));
        f.writeFile(f.appFolder() + "urlframe.html", frame);
        start(f, {"本"});
        // Mended at the close, and before a preview.
        f.close();
        QCOMPARE(f.readFile(f.appFolder() + "urlframe.html"), mended);
        f.writeFile(f.appFolder() + "urlframe.html", frame);
        QVERIFY(f.start());
        f.editor().cmdPreview_Click();
        QCOMPARE(f.readFile(f.appFolder() + "urlframe.html"), mended);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QVERIFY(!f.exists(f.appFolder() + "URLFRAME.HTML"));
    }

    void aDamagedIndexIsRebuiltOnce() {
        const QList<QPair<QStringList, QString>> damaged = {
            {{"<HTML>", "<!--StartList--> ", "<!--EndList-->"},
             "<!--StartList-->が見つかりません。"},
            {{"<HTML>", "<!--startlist-->", "<!--EndList-->"},
             "<!--StartList-->が見つかりません。"},
            {{"<HTML>", "<!--StartList-->"}, "<!--EndList-->が見つかりません。"},
            {{}, "<!--StartList-->が見つかりません。"},
        };
        for (const auto& [lines, message] : damaged) {
            EditorFixture f;
            f.writeFile(f.appFolder() + "URLINDEX.HTML", EditorFixture::page(lines));
            start(f, {});
            QCOMPARE(f.prompts.messageTexts(),
                     QStringList({message, "[URL_INDEX.HTML]を再構築しました。"}));
            QCOMPARE(f.prompts.shown()[0].icon, PromptIcon::Critical);
            QCOMPARE(f.prompts.shown()[1].icon, PromptIcon::Information);
            QVERIFY(!f.prompts.shown()[1].title.has_value());
            QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"),
                     EditorFixture::page(kStandardHead + kStandardFoot));
            // The next start reads the rebuilt page without a word.
            EditorFixture& again = f;
            again.prompts.clear();
            QVERIFY(again.start());
            QCOMPARE(again.prompts.messageTexts(), QStringList());
        }
    }

    void addingAndRenamingCategories() {
        EditorFixture f;
        start(f, {"Music", "Art"});
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(1);  // Music
        f.prompts.clear();

        f.prompts.answerInput("Book");
        w.cmdNew_Click();
        QCOMPARE(f.prompts.shown().last().text,
                 QStringLiteral("追加する項目名を入力してください。"));
        QCOMPARE(f.prompts.shown().last().title, std::optional<QString>("新規項目"));
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"Art", "Book", "Music"}));
        QCOMPARE(itemData(w.lstKinds), QList<int>({1, 2, 0}));
        QCOMPARE(w.lstKinds.text(w.lstKinds.currentRow()), QStringLiteral("Music"));
        QVERIFY(!f.exists(f.appFolder() + "URL_0002.html"));
        const QByteArray base = "[Scribble]\r\nFolder=" + f.companionFolder().toUtf8() +
                                "\r\n[Books]\r\n0000=Music\r\n0001=Art\r\n";
        QCOMPARE(iniBytes(f), base + "0002=Book\r\n");

        // A duplicate name is a category of its own; blanks around an answer are dropped.
        f.prompts.answerInput("  Art ");
        w.cmdNew_Click();
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"Art", "Art", "Book", "Music"}));
        QCOMPARE(itemData(w.lstKinds), QList<int>({1, 3, 2, 0}));
        // Blanks only, quotes, line breaks and cancel add nothing.
        // Blanks only, quotes, line breaks, what the code page lacks and cancel add nothing.
        for (const QString answer : {"   ", "\"Quoted\"", "'q'", "x\n[Books]", "y\r",
                                     "絵\U0001F600", "\u00E9t\u00E9", ""}) {
            f.prompts.answerInput(answer);
            w.cmdNew_Click();
        }
        QCOMPARE(w.lstKinds.count(), 4);
        QCOMPARE(f.prompts.messageTexts().mid(2),
                 QStringList({"改行を含む項目名は使えません。", "改行を含む項目名は使えません。",
                              "項目名に保存できない文字が含まれています。",
                              "項目名に保存できない文字が含まれています。"}));

        // Rename in place: Art (page 1) becomes Zoo and keeps its row and key.
        w.lstKinds.setCurrentRow(0);
        f.prompts.answerInput("Zoo");
        w.Command1_Click();
        QCOMPARE(f.prompts.shown().last().defaultText, QStringLiteral("Art"));
        QCOMPARE(f.prompts.shown().last().title, std::optional<QString>("項目名変更"));
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"Zoo", "Art", "Book", "Music"}));
        QCOMPARE(itemData(w.lstKinds), QList<int>({1, 3, 2, 0}));
        QCOMPARE(iniBytes(f),
                 "[Scribble]\r\nFolder=" + f.companionFolder().toUtf8() +
                     "\r\n[Books]\r\n0000=Music\r\n0001=Zoo\r\n0002=Book\r\n0003=Art\r\n");
        // A new name the code page lacks is refused; the name and its key stay.
        f.prompts.answerInput(QStringLiteral("Zo\u00F6"));
        w.Command1_Click();
        QCOMPARE(f.prompts.messageTexts().last(),
                 QStringLiteral("項目名に保存できない文字が含まれています。"));
        QCOMPARE(w.lstKinds.text(0), QStringLiteral("Zoo"));
        // Cancel writes the old name again under the same key.
        const QByteArray before = iniBytes(f);
        w.Command1_Click();  // unscripted: the default text comes back
        f.prompts.answerInput(QString());
        w.Command1_Click();
        QCOMPARE(iniBytes(f), before);
        QCOMPARE(w.lstKinds.text(0), QStringLiteral("Zoo"));
    }

    void commandsThatNeedASelection() {
        EditorFixture f;
        start(f, {"Music"});
        f.prompts.clear();
        // A row that is current without being selected (the list got the focus) counts as none.
        ListRows& kinds = f.editor().lstKinds;
        kinds.setCurrentRowOnly(0);
        QCOMPARE(kinds.currentRow(), 0);
        f.editor().Command1_Click();
        f.editor().cmdSave_Click();
        QCOMPARE(f.prompts.messageTexts(),
                 QStringList({"項目を指定してください。", "ファイルが選択されていません"}));
        for (const auto& shown : f.prompts.shown()) {
            QCOMPARE(shown.icon, PromptIcon::Information);
            QVERIFY(!shown.title.has_value());
        }
        QVERIFY(!f.exists(f.appFolder() + "URL_0000.html"));
    }

    void aNewCategoryNeverTakesAStoredNameOrPage() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.INI",
                    "[Scribble]\r\nFolder=" + f.companionFolder().toUtf8() +
                        "\r\n[Books]\r\n0000=A\r\n0002=C\r\n0003=D\r\n");
        f.writeKeepsake(EditorFixture::listFile({}));
        QVERIFY(f.start());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"A"}));
        // B fills the gap; the close writes no end mark over C.
        f.prompts.answerInput("B");
        w.cmdNew_Click();
        QCOMPARE(itemData(w.lstKinds), QList<int>({0, 1}));
        const QByteArray filled = "[Scribble]\r\nFolder=" + f.companionFolder().toUtf8() +
                                  "\r\n[Books]\r\n0000=A\r\n0002=C\r\n0003=D\r\n0001=B\r\n";
        QCOMPARE(iniBytes(f), filled);
        f.close();
        QCOMPARE(iniBytes(f), filled);
        QVERIFY(f.start());
        QCOMPARE(itemTexts(f.editor().lstKinds), QStringList({"A", "B", "C", "D"}));

        // A page file left without a name (its key was erased) is passed over: the new
        // category takes the next free number, but the list would end at the empty key, so
        // the editor refuses and names the file in the way.
        f.writeFile(f.appFolder() + "url_0004.HTML", EditorFixture::listFile({}));
        f.prompts.clear();
        f.prompts.answerInput("E");
        f.editor().cmdNew_Click();
        QCOMPARE(f.prompts.messageTexts().size(), 1);
        QVERIFY2(f.prompts.messageTexts()[0].startsWith("[" + f.appFolder() + "url_0004.HTML]"),
                 qPrintable(f.prompts.messageTexts()[0]));
        QCOMPARE(f.prompts.shown().last().icon, PromptIcon::Information);
        QCOMPARE(f.editor().lstKinds.count(), 4);
        QCOMPARE(iniBytes(f), filled);
        f.close();
        QCOMPARE(iniBytes(f), filled + "0004=\r\n");
    }

    void namesInAnotherCaseAreFound() {
        EditorFixture f;
        QTemporaryDir browser;
        const QString browserFolder = browser.path() + "/";
        f.writeFile(browserFolder + "netscape.exe", "");
        f.writeFile(f.companionFolder() + "scribble.EXE", "");
        const QByteArray ini = "[Scribble]\r\nFolder=" + f.companionFolder().toUtf8() +
                               "\r\n[Netscape]\r\nFolder=" + browserFolder.toUtf8() +
                               "\r\n[Books]\r\n0000=Music\r\n";
        f.writeFile(f.appFolder() + "keepsake.ini", ini);
        f.writeKeepsake(EditorFixture::listFile({}));
        f.writeFile(f.appFolder() + "urlindex.html",
                    EditorFixture::page(kStandardHead + kStandardFoot));
        QVERIFY(f.start());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(f.prompts.shown().size(), 0);
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"Music"}));

        // Settings go to the file that is there; no second one is made beside it.
        f.prompts.answerInput("Art");
        w.cmdNew_Click();
        QCOMPARE(f.readFile(f.appFolder() + "keepsake.ini"), ini + "0001=Art\r\n");
        // A new frame page links the index under its name on disk.
        w.WriteIndexPages();
        QCOMPARE(f.readFile(f.appFolder() + "URLFRAME.HTML"),
                 QByteArray(kFrameset).replace("./URLINDEX.HTML", "./urlindex.html"));
        QVERIFY(QDir(f.appFolder()).entryList({"keepsake.ini"}, QDir::Files, QDir::Name) ==
                QStringList({"keepsake.ini"}));
        QVERIFY(!f.exists(f.appFolder() + "KEEPSAKE.INI"));

        // The browser, the companion and the frame page are started and opened as found.
        QFile::rename(f.appFolder() + "URLFRAME.HTML", f.appFolder() + "urlframe.html");
        w.cmdPreview_Click();
        w.mn_NNExec_Click();
        w.mn_ScribbleExec_Click();
        QCOMPARE(f.launcher.starts.size(), 3);
        QCOMPARE(f.launcher.starts[0].program, browserFolder + "netscape.exe");
        QCOMPARE(f.launcher.starts[0].arguments,
                 QStringList({QUrl::fromLocalFile(f.appFolder() + "urlframe.html").toString()}));
        QCOMPARE(f.launcher.starts[1].program, browserFolder + "netscape.exe");
        QCOMPARE(f.launcher.starts[2].program, f.companionFolder() + "scribble.EXE");
        QVERIFY(!f.exists(f.appFolder() + "URLFRAME.HTML"));
    }

    void theTypicalRun() {
        // Start, select a category, take two kept entries, write, close: every file checked.
        EditorFixture f;
        f.writeSettings({"ニュース", "旅行"});
        const QStringList keepHead = {"<HTML><HEAD><TITLE>キープセイク</TITLE></HEAD>", "<BODY>",
                                      "<!--StartList-->"};
        const QStringList keepFoot = {"<!--EndList-->", "<HR>", "</BODY></HTML>"};
        f.writeKeepsake(EditorFixture::page(
            keepHead + EditorFixture::entry("www.asahi.com/", "朝日新聞") +
            EditorFixture::entry("www.jma.go.jp/", "天気予報", "97/09/17 06:55:10") +
            EditorFixture::entry("www.kyoto.travel/", "京都 ～ 紅葉", "97/09/23 15:20:08") +
            keepFoot));
        QVERIFY(f.start());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"ニュース", "旅行"}));

        w.lstKinds.setCurrentRow(1);  // 旅行, page 1: created from the skeleton
        QCOMPARE(f.prompts.messageTexts(),
                 QStringList({"[" + f.appFolder() + "URL_0001.html]は新規作成されます。"}));
        w.lstURLs[0].clearSelection();
        w.lstURLs[0].select(1);  // www.jma.go.jp/
        w.lstURLs[0].select(2);  // www.kyoto.travel/
        w.cmdMove_Click();
        w.cmdSave_Click();
        f.close();

        // The new page's head says it is Shift_JIS.
        QStringList pageHead = keepHead;
        pageHead[0].replace("<HEAD>", "<HEAD>" + EditorFixture::charsetMeta());
        QCOMPARE(
            f.readFile(f.appFolder() + "URL_0001.html"),
            EditorFixture::page(
                pageHead + QStringList{"<H3><I><B>～ 旅行 ～</B></I></H3>"} +
                EditorFixture::written("www.kyoto.travel/", "京都 ～ 紅葉", "97/09/23 15:20:08") +
                EditorFixture::written("www.jma.go.jp/", "天気予報", "97/09/17 06:55:10") +
                keepFoot));
        QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"),
                 EditorFixture::page(kStandardHead +
                                     QStringList{indexLine("URL_0000.HTML", "ニュース"),
                                                 indexLine("URL_0001.html", "旅行")} +
                                     kStandardFoot));
        QCOMPARE(f.readFile(f.appFolder() + "URLFRAME.HTML"), kFrameset);
        // Page 0 was missing: it takes the head and foot of the page loaded last.
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.HTML"),
                 EditorFixture::page(pageHead + QStringList{""} + keepFoot + QStringList{""}));
        QCOMPARE(iniBytes(f),
                 EditorFixture::page({"[Scribble]", "Folder=" + f.companionFolder(), "[Books]",
                                      "0000=ニュース", "0001=旅行", "0002="}));
        // The keepsake file is only ever copied.
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.TMP"),
                 f.readFile(f.companionFolder() + "KEEPSAKE.HTML"));
        QStringList files = QDir(f.appFolder()).entryList(QDir::Files | QDir::Hidden);
        files.sort();
        QCOMPARE(files, QStringList({"KEEPSAKE.INI", "KEEPSAKE.TMP", "URLFRAME.HTML",
                                     "URLINDEX.HTML", "URL_0000.HTML", "URL_0001.html"}));
    }
};

QTEST_MAIN(IndexPagesTest)
#include "tst_indexpages.moc"
