// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading the keepsake file into the main window, and showing the kept entries.
#include "app/ImageButton.h"
#include "support/WindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <sys/stat.h>

namespace {
const QString kContinue = QStringLiteral("次のデータから続行しますか？");

using Entries = QList<QStringList>;

QStringList entryOf(const char* address, const char* comment) {
    return WindowFixture::entry(QString::fromUtf8(address), QString::fromUtf8(comment));
}

QByteArray fileOf(const Entries& entries) {
    QStringList lines;
    for (const QStringList& e : entries)
        lines += e;
    return WindowFixture::listFile(lines);
}

// The file's node: a file replaced gets a new one.
ino_t nodeOf(const QString& path) {
    struct stat s {};
    return ::stat(QFile::encodeName(path).constData(), &s) == 0 ? s.st_ino : 0;
}

QByteArray threeEntries() {
    return WindowFixture::listFile(
        WindowFixture::entry(QStringLiteral("www.zeta.jp/"), QStringLiteral("あいう")) +
        WindowFixture::entry(QStringLiteral("Alpha.com/"), QStringLiteral("かきく"),
                             QStringLiteral("98/01/02 03:04:05")) +
        WindowFixture::entry(QStringLiteral("beta.org/"), QStringLiteral("Abc"),
                             QStringLiteral("2001/12/31 23:59:59")));
}
}  // namespace

class KeepsakeReaderTest : public QObject {
    Q_OBJECT

private slots:
    void loadsTheThreeListsWithTheirOrderAndData() {
        WindowFixture f;
        f.writeSettings();
        f.writeKeepsake(threeEntries());
        QVERIFY(f.start());
        Refile& w = f.window();
        QCOMPARE(w.editor().KeepCount, 3);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        // Sorted without regard to case; the third list keeps the file's order.
        QCOMPARE(itemTexts(w.editor().lstURLs[0]),
                 QStringList({"Alpha.com/", "beta.org/", "www.zeta.jp/"}));
        QCOMPARE(itemData(w.editor().lstURLs[0]), QList<int>({2, 3, 1}));
        QCOMPARE(itemTexts(w.editor().lstURLs[1]), QStringList({"Abc", "あいう", "かきく"}));
        QCOMPARE(itemData(w.editor().lstURLs[1]), QList<int>({3, 1, 2}));
        QCOMPARE(itemTexts(w.editor().lstURLs[2]),
                 QStringList({"www.zeta.jp/", "Alpha.com/", "beta.org/"}));
        QCOMPARE(itemData(w.editor().lstURLs[2]), QList<int>({1, 2, 3}));
        // The working copy is the keepsake file's bytes.
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.TMP"), threeEntries());

        // The address order is in front, showing the first address's comment and date.
        QVERIFY(!ui(w).lstURLs[0]->isHidden());
        QVERIFY(ui(w).lstURLs[1]->isHidden());
        QCOMPARE(ui(w).lblComDisp->text(), QStringLiteral("かきく"));
        QCOMPARE(ui(w).lblDateDisp->text(), QStringLiteral("1998/01/02 3:04:05"));
        QCOMPARE(ui(w).lblCom->text(), QStringLiteral("コメント："));
        QVERIFY(!ui(w).cmdSend->isEnabled());

        // The comment order shows addresses, and makes the send button usable.
        ui(w).optKind[1]->click();
        QCOMPARE(ui(w).lblCom->text(), QStringLiteral("http://"));
        QVERIFY(ui(w).cmdSend->isEnabled());
        QVERIFY(!ui(w).lstURLs[1]->isHidden());
        QCOMPARE(ui(w).lblComDisp->text(), QStringLiteral("beta.org/"));
        w.editor().lstURLs[1].setCurrentRow(1);
        QCOMPARE(ui(w).lblComDisp->text(), QStringLiteral("www.zeta.jp/"));
        QCOMPARE(ui(w).lblDateDisp->text(), QStringLiteral("1997/09/15 8:05:00"));

        // "None" is the file's order, showing comments again.
        ui(w).optKind[2]->click();
        QCOMPARE(ui(w).lblCom->text(), QStringLiteral("コメント："));
        QCOMPARE(ui(w).lblComDisp->text(), QStringLiteral("あいう"));
        w.editor().lstURLs[2].setCurrentRow(2);
        QCOMPARE(ui(w).lblComDisp->text(), QStringLiteral("Abc"));
        QCOMPARE(ui(w).lblDateDisp->text(), QStringLiteral("2001/12/31 23:59:59"));

        // A reload brings the address list back to the front, and checks its button with it.
        ui(w).cmdReload->click();
        QVERIFY(ui(w).optKind[0]->isChecked());
        QCOMPARE(w.editor().FrontList, 0);
        QVERIFY(!ui(w).lstURLs[0]->isHidden());
        QCOMPARE(w.editor().KeepCount, 3);
        QCOMPARE(itemData(w.editor().lstURLs[0]), QList<int>({2, 3, 1}));
    }

    // A reload keeps the order it had for entries it finds unchanged at their places and sorts
    // the others in; the lists end as a start with the new file would make them.
    void aReloadOrdersTheEntriesAsAStartWould_data() {
        QTest::addColumn<Entries>("after");
        const Entries before = {entryOf("www.zeta.jp/", "あいう"), entryOf("Alpha.com/", "かきく"),
                                entryOf("beta.org/", "Abc"), entryOf("beta.org/", "abc")};
        QTest::newRow("unchanged") << before;
        QTest::newRow("grown") << before + Entries{entryOf("alpha.com/", "あ"),
                                                   entryOf("Beta.org/", "ABC")};
        Entries changed = before;
        changed[0] = entryOf("a.jp/", "あいう");
        QTest::newRow("an address changed") << changed;
        changed = before;
        changed[2] = entryOf("beta.org/", "ん");
        QTest::newRow("a comment changed") << changed + Entries{entryOf("c.jp/", "c")};
        QTest::newRow("shrunk") << before.mid(1);
        QTest::newRow("emptied") << Entries();
    }

    void aReloadOrdersTheEntriesAsAStartWould() {
        QFETCH(Entries, after);
        EditorFixture f;
        f.writeSettings();
        f.writeKeepsake(fileOf({entryOf("www.zeta.jp/", "あいう"), entryOf("Alpha.com/", "かきく"),
                                entryOf("beta.org/", "Abc"), entryOf("beta.org/", "abc")}));
        QVERIFY(f.start());
        itemData(f.editor().lstURLs[1]);  // the comment order asked for, so sorted
        const QString copy = f.appFolder() + QStringLiteral("KEEPSAKE.TMP");
        const ino_t copiedNode = nodeOf(copy);

        f.writeKeepsake(fileOf(after));
        f.editor().ReadKeepsake(QStringLiteral("KEEPSAKE.HTML"));
        EditorFixture fresh;
        fresh.writeSettings();
        fresh.writeKeepsake(fileOf(after));
        QVERIFY(fresh.start());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(itemData(f.editor().lstURLs[i]), itemData(fresh.editor().lstURLs[i]));
        // The working copy holds the file; one that held it already was not written again.
        QCOMPARE(f.readFile(copy), fileOf(after));
        QCOMPARE(nodeOf(copy) == copiedNode,
                 QTest::currentDataTag() == QStringLiteral("unchanged"));
    }

    void okAndCancelAfterAFailure() {
        const QByteArray bytes = WindowFixture::listFile(
            WindowFixture::entry("c.jp/", "three") + WindowFixture::entry("b.jp/", "") +
            WindowFixture::entry("a.jp/", "one") + WindowFixture::entry("c.jp/", "again"));
        {
            WindowFixture f;
            f.writeSettings();
            f.writeKeepsake(bytes);
            QVERIFY(f.start());
            QCOMPARE(f.prompts.messageTexts(),
                     QStringList({QStringLiteral("コメント行が見つかりません。"), kContinue}));
            const auto& question = f.prompts.shown().last();
            QCOMPARE(question.icon, PromptIcon::Critical);
            QCOMPARE(question.buttons, PromptButtons::OkCancel);
            QVERIFY(!question.title.has_value());
            Refile& w = f.window();
            QCOMPARE(w.editor().KeepCount, 3);
            QCOMPARE(itemTexts(w.editor().lstURLs[2]), QStringList({"c.jp/", "a.jp/", "c.jp/"}));
            // Listed before the question, the first "c.jp/" stays before the equal one after.
            QCOMPARE(itemData(w.editor().lstURLs[0]), QList<int>({2, 1, 3}));
            QCOMPARE(w.editor().KeepFoot, QByteArray("<!--EndList-->\r\n</BODY></HTML>\r\n"));
        }
        {
            WindowFixture f;
            f.writeSettings();
            f.writeKeepsake(bytes);
            f.prompts.answerMessage(PromptAnswer::Ok);      // the scanner's message
            f.prompts.answerMessage(PromptAnswer::Cancel);  // the question
            QVERIFY(f.start());
            Refile& w = f.window();
            QCOMPARE(w.editor().KeepCount, 1);
            QCOMPARE(itemTexts(w.editor().lstURLs[0]), QStringList({"c.jp/"}));
            QVERIFY(w.editor().KeepFoot.isEmpty());
        }
    }

    void aFailedReloadKeepsWhatWasListed() {
        WindowFixture f;
        f.writeSettings();
        f.writeKeepsake(threeEntries());
        QVERIFY(f.start());
        Refile& w = f.window();
        const QByteArray head = w.editor().KeepHead;
        const QByteArray foot = w.editor().KeepFoot;

        // No start marker: the lists, the count and the header and footer stay.
        f.writeKeepsake(WindowFixture::page({"<HTML>", "<!--StartList --> "}));
        ui(w).cmdReload->click();
        QCOMPARE(f.prompts.messageTexts().last(),
                 QStringLiteral("<!--StartList-->が見つかりません。"));
        QCOMPARE(w.editor().KeepCount, 3);
        QCOMPARE(w.editor().lstURLs[0].count(), 3);
        QCOMPARE(w.editor().KeepHead, head);
        QCOMPARE(w.editor().KeepFoot, foot);

        // The start marker as the last line, and the end marker as the only list line.
        for (const QByteArray& bytes :
             {WindowFixture::page({"<!--StartList-->"}),
              WindowFixture::page({"<!--StartList-->", "<!--EndList-->"})}) {
            f.writeKeepsake(bytes);
            ui(w).cmdReload->click();
            QCOMPARE(f.prompts.messageTexts().last(),
                     QStringLiteral("ＵＲＬリストが見つかりません。"));
            QCOMPARE(w.editor().lstURLs[1].count(), 3);
        }

        // An empty list with a footer empties the lists quietly, with nothing selected.
        f.prompts.clear();
        f.writeKeepsake(WindowFixture::page({"<!--StartList-->", "<!--EndList-->", "</HTML>"}));
        ui(w).cmdReload->click();
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QCOMPARE(w.editor().KeepCount, 0);
        QCOMPARE(w.editor().lstURLs[0].count(), 0);
        QCOMPARE(w.editor().lstURLs[0].currentRow(), -1);
        QCOMPARE(w.editor().KeepFoot, QByteArray("<!--EndList-->\r\n</HTML>\r\n"));
        // The arrays keep their stale elements; only the count says what is valid.
        QVERIFY(w.editor().KeepURL.size() >= 4);
        QCOMPARE(ui(w).lblComDisp->text(), QString());

        // An empty file is reported like a missing start marker, not as a crash.
        f.writeKeepsake(QByteArray());
        ui(w).cmdReload->click();
        QVERIFY(!w.hasEnded());
        QCOMPARE(f.prompts.messageTexts().last(),
                 QStringLiteral("<!--StartList-->が見つかりません。"));
    }

    void theKeepsakeFileComesBackFromTheWorkingCopy() {
        WindowFixture f;
        f.writeSettings();
        f.writeFile(f.appFolder() + "KEEPSAKE.TMP", threeEntries());
        QVERIFY(f.start());
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QCOMPARE(f.window().editor().KeepCount, 3);
        QCOMPARE(f.readFile(f.companionFolder() + "KEEPSAKE.HTML"), threeEntries());
        // Named in another case, the files are still found.
        QFile::rename(f.companionFolder() + "KEEPSAKE.HTML", f.companionFolder() + "keepsake.html");
        ui(f.window()).cmdReload->click();
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QVERIFY(!f.exists(f.companionFolder() + "KEEPSAKE.HTML"));
    }

    void withBothFilesMissingTheWindowOpensEmpty() {
        WindowFixture f;
        f.writeSettings({"Music"});
        const QString missing = f.companionFolder() + "KEEPSAKE.HTMLファイルが見つかりません。";
        QVERIFY(f.start());
        Refile& w = f.window();
        QVERIFY(!w.hasEnded());
        QCOMPARE(f.prompts.messageTexts(), QStringList({missing}));
        QCOMPARE(f.prompts.shown().first().icon, PromptIcon::Critical);
        QCOMPARE(w.editor().KeepCount, 0);
        QCOMPARE(w.editor().KeepHead, QString());
        QCOMPARE(w.editor().KeepFoot, QString());
        QCOMPARE(itemTexts(w.editor().lstKinds), QStringList({"Music"}));
        QVERIFY(!f.exists(f.appFolder() + "KEEPSAKE.TMP"));
        QCOMPARE(f.prompts.waitDepth(), 0);

        // A reload with the files still missing says the same and keeps what is listed.
        f.writeKeepsake(threeEntries());
        ui(w).cmdReload->click();
        QCOMPARE(w.editor().KeepCount, 3);
        QFile::remove(f.companionFolder() + "KEEPSAKE.HTML");
        QFile::remove(f.appFolder() + "KEEPSAKE.TMP");
        f.prompts.clear();
        ui(w).cmdReload->click();
        QVERIFY(!w.hasEnded());
        QCOMPARE(f.prompts.messageTexts(), QStringList({missing}));
        QCOMPARE(w.editor().KeepCount, 3);
        QCOMPARE(itemTexts(w.editor().lstURLs[2]),
                 QStringList({"www.zeta.jp/", "Alpha.com/", "beta.org/"}));
        QCOMPARE(f.prompts.waitDepth(), 0);
    }

    void aLargeCollectionLoads() {
        // Far beyond the old 16-bit entry counter.
        QStringList lines;
        for (int i = 0; i < 40000; ++i) {
            lines << WindowFixture::entry(QStringLiteral("site%1.example/").arg(i),
                                          QStringLiteral("コメント%1").arg(i));
        }
        WindowFixture f;
        f.writeSettings();
        f.writeKeepsake(WindowFixture::listFile(lines));
        QVERIFY(f.start());
        QCOMPARE(f.window().editor().KeepCount, 40000);
        QCOMPARE(f.window().editor().lstURLs[2].count(), 40000);
        QCOMPARE(f.window().editor().KeepURL[40000], QStringLiteral("site39999.example/"));
    }
};

QTEST_MAIN(KeepsakeReaderTest)
#include "tst_keepsakereader.moc"
