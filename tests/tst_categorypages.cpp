// Selecting a category, reading and writing its page, and the entry commands.
#include "pages/PageFormat.h"
#include "support/FullDisk.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
const QString kNotFoundTitle = QStringLiteral("Not Found!");

QByteArray keepsake() {
    return WindowFixture::listFile(
        WindowFixture::entry("c.example/", "さくら") + WindowFixture::entry("a.example/", "うめ") +
            WindowFixture::entry("b.example/", "Apple"),
        {"<HTML><HEAD><TITLE>キープセイク</TITLE></HEAD>", "<BODY>"}, {"<HR>", "</BODY></HTML>"});
}

QByteArray categoryPage(const QString& title, const QStringList& listLines) {
    QStringList lines = {QStringLiteral("<H3><I><B>～ %1 ～</B></I></H3>").arg(title)};
    return WindowFixture::listFile(lines + listLines, {"<HTML>", "<BODY BGCOLOR=\"#FFFFFF\">"},
                                   {"<HR>", "<ADDRESS>自分用</ADDRESS>", "</BODY></HTML>"});
}

// Starts an editor with three kept entries and the categories given.
void startWith(WindowFixture& f, const QStringList& books) {
    f.writeSettings(books);
    f.writeKeepsake(keepsake());
    QVERIFY(f.start());
    f.prompts.clear();
}

void pressDelete(QListView* list, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyRelease(list, Qt::Key_Delete, modifiers);
}
}  // namespace

class CategoryPagesTest : public QObject {
    Q_OBJECT

private slots:
    void aPageReadsAndWritesBackByteForByte() {
        WindowFixture f;
        const QByteArray original =
            categoryPage("旅行", WindowFixture::entry("z.example/", "あ") +
                                     WindowFixture::entry("y.example/page.html", "Bravo",
                                                          QStringLiteral("03/01/02 23:00:09")) +
                                     WindowFixture::entry("x.example/", "alpha"));
        f.writeFile(f.appFolder() + "URL_0000.html", original);
        startWith(f, {"旅行"});
        Refile& w = f.window();
        w.editor().lstKinds.setCurrentRow(0);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QCOMPARE(itemTexts(w.editor().lstSub), QStringList({"alpha", "Bravo", "あ"}));
        QCOMPARE(itemData(w.editor().lstSub), QList<int>({3, 2, 1}));
        QCOMPARE(w.editor().KindCount, 3);

        ui(w).cmdSave->click();
        const QByteArray sorted =
            categoryPage("旅行", WindowFixture::entry("x.example/", "alpha") +
                                     WindowFixture::entry("y.example/page.html", "Bravo",
                                                          QStringLiteral("03/01/02 23:00:09")) +
                                     WindowFixture::entry("z.example/", "あ"));
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), sorted);
        // Reading and writing again changes nothing.
        w.editor().lstKinds.setCurrentRow(-1);
        w.editor().lstKinds.setCurrentRow(0);
        ui(w).cmdSave->click();
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), sorted);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
    }

    void aMissingPageIsCreatedFromTheKeepsakeSkeleton() {
        WindowFixture f;
        startWith(f, {"ニュース", "旅行"});
        Refile& w = f.window();
        w.editor().lstKinds.setCurrentRow(1);
        const int page = itemData(w.editor().lstKinds)[1];
        const QString name = pages::pageFileName(pages::pageNumberText(page));
        QCOMPARE(f.prompts.messageTexts(),
                 QStringList({"[" + f.appFolder() + name + "]は新規作成されます。"}));
        QCOMPARE(f.prompts.shown().first().title, std::optional<QString>(kNotFoundTitle));
        QCOMPARE(f.prompts.shown().first().icon, PromptIcon::Information);
        QCOMPARE(
            f.readFile(f.appFolder() + name),
            WindowFixture::page({"<HTML><HEAD><TITLE>キープセイク</TITLE></HEAD>", "<BODY>",
                                 "<!--StartList-->", "<!--EndList-->", "<HR>", "</BODY></HTML>"}));
        QCOMPARE(w.editor().lstSub.count(), 0);
        QCOMPARE(ui(w).lblMsg->text(), QString());

        // Selected again, the new page reads as an empty one.
        f.prompts.clear();
        w.editor().lstKinds.setCurrentRow(0);
        w.editor().lstKinds.setCurrentRow(1);
        QCOMPARE(f.prompts.messageTexts().last(), QStringLiteral("データがありません。"));
        QCOMPARE(f.prompts.shown().last().title, std::optional<QString>("新規ファイルです。"));
    }

    void aDamagedSkeletonStillGivesAReadablePage() {
        WindowFixture f;
        f.writeSettings({"本"});
        // The keepsake file ends inside its list: no footer was ever read.
        f.writeKeepsake(WindowFixture::page({"<HTML>", "<!--StartList-->", "x", "y"}));
        QVERIFY(f.start());
        f.prompts.clear();
        Refile& w = f.window();
        w.editor().lstKinds.setCurrentRow(0);
        const QByteArray created = f.readFile(f.appFolder() + "URL_0000.html");
        QCOMPARE(created, WindowFixture::page({"<HTML>", "<!--StartList-->", "<!--EndList-->"}));
        // The new page can be filled, written and read back.
        ui(w).optKind[2]->click();
        w.editor().lstURLs[2].selectAll();
        ui(w).cmdMove->click();
        QCOMPARE(w.editor().lstSub.count(), 0);  // nothing was kept
        ui(w).cmdSave->click();
        f.prompts.clear();
        w.editor().lstKinds.setCurrentRow(-1);
        w.editor().lstKinds.setCurrentRow(0);
        QCOMPARE(f.prompts.messageTexts(), QStringList({"データがありません。"}));
    }

    void failuresWhileReadingAPage() {
        struct Case {
            const char* name;
            QStringList lines;
            QStringList messages;
            int listed;
        };
        const QStringList good = WindowFixture::entry("a.example/", "A");
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
            WindowFixture f;
            f.writeFile(f.appFolder() + "URL_0000.html", WindowFixture::page(c.lines));
            startWith(f, {"壊れた"});
            f.window().editor().lstKinds.setCurrentRow(0);
            QVERIFY2(f.prompts.messageTexts() == c.messages,
                     qPrintable(QString::fromLatin1(c.name) + ": " +
                                f.prompts.messageTexts().join(u'|')));
            QVERIFY2(f.window().editor().lstSub.count() == c.listed, c.name);
            QCOMPARE(f.prompts.waitDepth(), 0);
        }
    }

    void aPageNotReadToItsEndIsNeverWritten() {
        WindowFixture f;
        const QByteArray damaged = WindowFixture::page(
            {"<HTML>", "<!--StartList-->", "<A HREF=\"http://a.example/\">a</A><BR>",
             "《 A 》97/09/15 08:05:00<P>", "<A HREF=\"http://b.example/\">b</A><BR>",
             "《  》97/09/15 08:05:00<P>", "<A HREF=\"http://c.example/\">c</A><BR>",
             "《 C 》97/09/15 08:05:00<P>", "<!--EndList-->", "<P>footer</P>"});
        f.writeFile(f.appFolder() + "URL_0000.html", damaged);
        startWith(f, {"途中"});
        f.prompts.answerMessage(PromptAnswer::Ok);      // the comment scanner's message
        f.prompts.answerMessage(PromptAnswer::Cancel);  // stop reading
        Refile& w = f.window();
        w.editor().lstKinds.setCurrentRow(0);
        QCOMPARE(w.editor().lstSub.count(), 1);
        f.prompts.clear();
        ui(w).cmdSave->click();
        QCOMPARE(
            f.prompts.messageTexts(),
            QStringList({"[" + f.appFolder() +
                         "URL_0000.html]は最後まで読み込めなかったため、書き出しませんでした。"}));
        QCOMPARE(f.prompts.shown().first().icon, PromptIcon::Information);
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), damaged);
    }

    void movingEditingAndDeletingEntries() {
        WindowFixture f;
        f.writeFile(f.appFolder() + "url_0000.HTML", categoryPage("本", {}));
        startWith(f, {"本"});
        Refile& w = f.window();
        w.editor().lstKinds.setCurrentRow(0);
        f.prompts.clear();

        // Three kept entries selected in the list in front, moved twice: six entries.
        w.editor().lstURLs[0].selectAll();
        ui(w).cmdMove->click();
        ui(w).cmdMove->click();
        QCOMPARE(w.editor().KindCount, 6);
        QCOMPARE(itemTexts(w.editor().lstSub),
                 QStringList({"Apple", "Apple", "うめ", "うめ", "さくら", "さくら"}));
        QCOMPARE(w.editor().lstURLs[0].selectedRows().size(), 3);

        // The comment order takes its own selection only.
        ui(w).optKind[1]->click();
        w.editor().lstURLs[1].clearSelection();
        w.editor().lstURLs[1].select(0);  // Apple
        ui(w).cmdMove->click();
        QCOMPARE(w.editor().KindCount, 7);
        QCOMPARE(w.editor().KindURL[7], QStringLiteral("b.example/"));

        // A changed comment stays where it was in the list.
        w.editor().lstSub.setCurrentRow(0);
        f.prompts.answerInput(QStringLiteral("りんご"));
        ui(w).cmdEditCom->click();
        QCOMPARE(f.prompts.shown().last().text,
                 QStringLiteral("新しいコメントを設定してください。"));
        QCOMPARE(f.prompts.shown().last().title, std::optional<QString>("コメント変更"));
        QCOMPARE(f.prompts.shown().last().defaultText, QStringLiteral("Apple"));
        QCOMPARE(w.editor().lstSub.text(0), QStringLiteral("りんご"));
        // Cancel and an unreadable comment leave it as it is.
        f.prompts.answerInput(QString());
        ui(w).cmdEditCom->click();
        f.prompts.answerInput(QStringLiteral("a 》b"));
        ui(w).cmdEditCom->click();
        QCOMPARE(f.prompts.shown().last().icon, PromptIcon::Information);
        QCOMPARE(w.editor().lstSub.text(0), QStringLiteral("りんご"));

        // Delete removes the selected entry; Shift+Delete too; other keys do nothing.
        w.editor().lstSub.setCurrentRow(1);
        pressDelete(ui(w).lstSub);
        QCOMPARE(w.editor().lstSub.count(), 6);
        w.editor().lstSub.setCurrentRow(1);
        pressDelete(ui(w).lstSub, Qt::ShiftModifier);
        QCOMPARE(w.editor().lstSub.count(), 5);
        w.editor().lstSub.setCurrentRow(1);
        QTest::keyRelease(ui(w).lstSub, Qt::Key_Backspace);
        QCOMPARE(w.editor().lstSub.count(), 5);
        QCOMPARE(w.editor().KindCount, 7);
        w.editor().lstSub.clearSelection();
        pressDelete(ui(w).lstSub);
        QCOMPARE(w.editor().lstSub.count(), 5);

        ui(w).cmdSave->click();
        const QByteArray written = f.readFile(f.appFolder() + "url_0000.HTML");
        QVERIFY(!f.exists(f.appFolder() + "URL_0000.html"));
        QCOMPARE(written, categoryPage("本", WindowFixture::entry("b.example/", "りんご") +
                                                 WindowFixture::entry("a.example/", "うめ") +
                                                 WindowFixture::entry("a.example/", "うめ") +
                                                 WindowFixture::entry("c.example/", "さくら") +
                                                 WindowFixture::entry("c.example/", "さくら")));
        // Loaded again, the changed comment takes its sorted place.
        w.editor().lstKinds.setCurrentRow(-1);
        w.editor().lstKinds.setCurrentRow(0);
        QCOMPARE(itemTexts(w.editor().lstSub),
                 QStringList({"うめ", "うめ", "さくら", "さくら", "りんご"}));
    }

    void aPageThatCannotBeWrittenIsReportedAndKept() {
        WindowFixture f;
        const QByteArray original = categoryPage("本", WindowFixture::entry("a.example/", "A"));
        f.writeFile(f.appFolder() + "URL_0000.html", original);
        startWith(f, {"本"});
        Refile& w = f.window();
        w.editor().lstKinds.setCurrentRow(0);
        w.editor().lstSub.setCurrentRow(0);
        pressDelete(ui(w).lstSub);

        fulldisk::failAfterBytes(10);
        ui(w).cmdSave->click();
        fulldisk::failAfterBytes(-1);
        QCOMPARE(f.prompts.shown().last().icon, PromptIcon::Critical);
        QVERIFY(f.prompts.messageTexts().last().startsWith(
            "[" + f.appFolder() + "URL_0000.html]を書き込めませんでした。\n"));
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), original);
        const QStringList leftovers = QDir(f.appFolder()).entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : leftovers)
            QVERIFY2(!name.contains(".URL_0000"), qPrintable(name));

        // A folder standing where a new page should go.
        f.prompts.clear();
        QDir().mkpath(f.appFolder() + "URL_0001.html");
        ui(w).cmdNew->click();  // unscripted input: empty answer, nothing added
        f.prompts.answerInput(QStringLiteral("新しい"));
        ui(w).cmdNew->click();
        w.editor().lstKinds.setCurrentRow(0);
        QCOMPARE(f.prompts.messageTexts().last().left(f.appFolder().size() + 15),
                 "[" + f.appFolder() + "URL_0001.html]");
        QCOMPARE(f.prompts.shown().last().icon, PromptIcon::Critical);
    }
};

QTEST_MAIN(CategoryPagesTest)
#include "tst_categorypages.moc"
