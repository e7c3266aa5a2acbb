// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The collection's index without a window: what is filed where after a write, a rename and
// a reload, a damaged page counted without a box, the marks the lists give their views,
// hiding filed entries, and the search's matching rules.
#include "collection/CollectionFolder.h"
#include "keepsake/ListFileReader.h"
#include "search/AddressHash.h"
#include "search/FiledMarks.h"
#include "search/TextFolding.h"
#include "settings/EditorPreferences.h"
#include "support/EditorFixture.h"
#include "support/ListFileBytes.h"
#include "support/SyntheticCollection.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <cstring>

namespace {

QByteArray keptFile(const QStringList& more = {}) {
    return EditorFixture::listFile(EditorFixture::entry("a.example/", "うめ") +
                                   EditorFixture::entry("b.example/", "Apple") +
                                   EditorFixture::entry("c.example/", "さくら") + more);
}

QByteArray categoryPage(const QString& title, const QStringList& listLines) {
    return EditorFixture::listFile(
        QStringList{QStringLiteral("<H3><I><B>～ %1 ～</B></I></H3>").arg(title)} + listLines);
}

// 音楽 and 映画 hold a.example (one without its "/"), 音楽 also b.example; the page of 壊れ
// ends inside its list; 未作成 has no page yet.
void startCollection(EditorFixture& f) {
    f.writeSettings({"音楽", "映画", "壊れ", "未作成"});
    f.writeKeepsake(keptFile());
    f.writeFile(f.appFolder() + "URL_0000.html",
                categoryPage("音楽", EditorFixture::entry("a.example", "梅の歌") +
                                         EditorFixture::entry("b.example/", "りんご")));
    f.writeFile(f.appFolder() + "URL_0001.html",
                categoryPage("映画", EditorFixture::entry("a.example/", "ウメ映画")));
    f.writeFile(f.appFolder() + "URL_0002.html",
                EditorFixture::page({"<HTML>", "<!--StartList-->",
                                     "<A HREF=\"http://z.example/\">z.example/</A>"}));
    QVERIFY(f.start());
    QTRY_VERIFY(f.editor().Index->isBuilt());
}

// Marked rows of the file-order list, by address, with their tooltips.
QStringList marks(const KeepsakeEditor& w) {
    const QAbstractItemModel& m = w.lstURLs[2].model();
    QStringList out;
    for (int row = 0; row < m.rowCount(); ++row) {
        const QModelIndex i = m.index(row, 0);
        if (i.data(EntryListModel::MarkedRole).toBool())
            out << i.data().toString() + " " + i.data(Qt::ToolTipRole).toString();
    }
    return out;
}

// What the shipped reader makes of a page, for the index to match: every entry, and whether
// the page reads whole without a message.
class ReaderHost : public ListFileHost {
public:
    void entry(keepsake::Entry e) override {
        entries << e.url + u'|' + e.com + u'|' + e.date.toString(Qt::ISODate);
    }
    void failure(const QString&) override { damaged = true; }
    bool askContinue() override {
        damaged = true;
        return true;
    }
    QStringList entries;
    bool damaged = false;
};

// The bytes of an entry as they may stand in a page copied from anywhere.
QByteArray rawEntry(const QByteArray& url, const QByteArray& com) {
    return "<A HREF=\"http://" + url + "\">x</A><BR>\r\n\x81\x73 " + com +
           " \x81\x74"
           "97/09/15 08:05:00<P>\r\n";
}

int rowOf(const KeepsakeEditor& w, const QString& kind) {
    for (int row = 0; row < w.lstKinds.count(); ++row) {
        if (w.lstKinds.model().name(row) == kind)
            return row;
    }
    return -1;
}

}  // namespace

class SearchTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }
    void init() { QFile::remove(preferences::filePath()); }

    void matchingRules_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("found");
        QTest::newRow("half-width kana") << "x.jp"
                                         << "ガイド"
                                         << "ｶﾞｲﾄﾞ" << true;
        QTest::newRow("katakana for hiragana") << "x.jp"
                                               << "がいど"
                                               << "ガイド" << true;
        QTest::newRow("hiragana for katakana") << "x.jp"
                                               << "ｶﾞｲﾄﾞ"
                                               << "がいど" << true;
        QTest::newRow("full-width letters") << "ＥＸＡＭＰＬＥ.jp"
                                            << ""
                                            << "example" << true;
        QTest::newRow("case") << "x.jp"
                              << "Apple Pie"
                              << "aPPLE" << true;
        QTest::newRow("in the address") << "music.example/jazz"
                                        << "うた"
                                        << "JAZZ" << true;
        QTest::newRow("terms, ascii blank") << "music.example"
                                            << "梅の歌"
                                            << "music 梅" << true;
        QTest::newRow("terms, ideographic blank") << "music.example"
                                                  << "梅の歌"
                                                  << "歌　MUSIC" << true;
        QTest::newRow("every term must occur") << "music.example"
                                               << "梅の歌"
                                               << "music 桜" << false;
        QTest::newRow("not across address and comment") << "ab.jp"
                                                        << "cd"
                                                        << "jpcd" << false;
        QTest::newRow("voiced kana differ") << "x.jp"
                                            << "かいと"
                                            << "がいど" << false;
        QTest::newRow("blanks only find nothing") << "x.jp"
                                                  << "a"
                                                  << " 　 " << false;
    }
    void matchingRules() {
        QFETCH(QString, address);
        QFETCH(QString, comment);
        QFETCH(QString, query);
        QFETCH(bool, found);
        const QStringList terms = search::queryTerms(query);
        const QString folded = search::foldEntry(address, comment);
        QCOMPARE(folded, search::fold(address) + u'\n' + search::fold(comment));
        QCOMPARE(!terms.isEmpty() && search::matchesAll(terms, folded), found);
    }

    // The index folds its entries a character at a time where it can: every character of the
    // basic plane, alone, after the ones it may combine with and before the sound marks of
    // half-width kana, folds as the full folding does.
    void entryFoldingAgreesWithFullFolding() {
        QStringList failed;
        for (char32_t u = 1; u <= 0xFFFF; ++u) {
            if (QChar::isSurrogate(u))
                continue;
            const QString c(QChar(static_cast<char16_t>(u)));
            // Within and after runs of ASCII long enough to be lowered many at a time.
            const QString run = QStringLiteral("AZaz@[`{09-_./~ABCDEFGHIJ");
            for (const QString& text : {c, "カ" + c, "A" + c, c + c, c + "ﾞ", c + "ﾟ" + c,
                                        run + c + run, run.left(9) + c}) {
                const QString expected = search::fold(text) + u'\n' + search::fold(text);
                // Appended after a page's earlier entries, as the index keeps them.
                QString appended = QStringLiteral("ｶa");
                search::appendFoldedEntry(text, text, appended);
                if (search::foldEntry(text, text) != expected || appended != "ｶa" + expected)
                    failed << QString::number(u, 16);
            }
        }
        failed.removeDuplicates();
        QCOMPARE(failed.mid(0, 20), QStringList());
    }

    // The index keeps a page's entries in one text without a string for each: it holds what the
    // shipped reader reads, damaged pages and bytes that are not code page 932 included.
    void pagesHoldWhatTheReaderReads_data() {
        QTest::addColumn<QByteArray>("page");
        const QStringList good = ListFileBytes::entry("a.example/", "うめ");
        QTest::newRow("synthetic")
            << synthetic::categoryPage("音楽", synthetic::entries(300, 20261208));
        QTest::newRow("half-width and full-width")
            << ListFileBytes::listFile(ListFileBytes::entry("ｶﾞｲﾄﾞ.jp/", "ＦＡＱ ﾒｰﾙ／") +
                                       ListFileBytes::entry("x.jp", "〜≒髙"));
        const QByteArray head = "<HTML>\r\n<!--StartList-->\r\n";
        const QByteArray foot = "<!--EndList-->\r\n</HTML>\r\n";
        // A lead byte that ends a piece must not take the first byte of the next one.
        QTest::newRow("lone lead bytes at the ends")
            << head + rawEntry("a\x81", "b\x81") + rawEntry("@c", "@d") + foot;
        QTest::newRow("unassigned codes and stray bytes")
            << head + rawEntry("\x85\x40x", "\xfd\x80\xa0") + rawEntry("\xef", "\x1a\x7f") + foot;
        QTest::newRow("list runs to the end")
            << ListFileBytes::page({"<!--StartList-->", good[0], good[1], "x"});
        QTest::newRow("no start marker") << ListFileBytes::page({"<HTML>", good[0], good[1]});
        QTest::newRow("damaged entries between good ones") << ListFileBytes::listFile(
            QStringList{good[0], "<A HREF=\"http://b\">b</A><BR>", good[1],
                        "<A HREF=\"http://\"></A>", "《 A 》B 》97/09/15 08:05:00<P>"} +
            ListFileBytes::entry("c.example", "さくら") +
            QStringList{"<A HREF=\"http://d/\">d</A>", "《 D 》<P>"} +
            ListFileBytes::entry("e.example/", "Apple"));
        QTest::newRow("empty list") << ListFileBytes::listFile({});
        // The index splits the lines itself, as the reader does.
        const QByteArray crlf = ListFileBytes::listFile(good + ListFileBytes::entry("b/", "B"));
        QByteArray cr = crlf;
        QTest::newRow("lone CR") << cr.replace("\r\n", "\r");
        QByteArray lf = crlf;
        QTest::newRow("lone LF") << lf.replace("\r\n", "\n");
        QByteArray mixed = crlf;
        QTest::newRow("mixed line ends")
            << mixed.replace("<P>\r\n", "<P>\n").replace("</A><BR>\r\n", "</A><BR>\r");
        QTest::newRow("no line break at the end") << crlf.chopped(2);
        QTest::newRow("LF CR is two line ends") << head + "\n\r" + rawEntry("a", "b") + foot;
        QTest::newRow("end marker last, no line break")
            << ListFileBytes::page({"<!--StartList-->", good[0], good[1]}) + "<!--EndList-->";
        // Every failure the reader knows, and where it stops.
        const QList<QByteArray> damaged = {
            QByteArray(),
            ListFileBytes::page({"<HTML>", "<!--startlist-->"}),
            ListFileBytes::page({"<HTML>", "<!--StartList-->"}),
            ListFileBytes::page({"<!--StartList-->", "<!--EndList-->"}),
            ListFileBytes::page({"<!--StartList-->", "<!--EndList-->", "</HTML>"}),
            ListFileBytes::page({"<!--StartList-->", good[0], "<!--EndList-->", "x"}),
            ListFileBytes::page({"<!--StartList-->", good[0], good[1]}),
            ListFileBytes::page({"<!--StartList-->", good[0], good[1], "x"}),
            ListFileBytes::listFile({"<A HREF=\"http://\"></A>", good[1]}),
            ListFileBytes::listFile({"<A HREF=\"http://abc", good[1]}),
            ListFileBytes::listFile({good[0], "《  》97/09/15 08:05:00<P>"}),
            ListFileBytes::listFile({good[0], "《 A 》<P>"}),
            ListFileBytes::listFile({good[0], "《 A 》97/09/15 08:05:00"}),
            ListFileBytes::listFile({good[0], "《 A 》97/02/30 08:05:00<P>"}),
            ListFileBytes::listFile({good[0], "<A HREF=\"http://b\">b</A><BR>", good[1]}),
            ListFileBytes::listFile({"<A HREF=\"http://\"></A>", good[0], good[1]}),
            ListFileBytes::listFile({good[0], "《 A 》B 》97/09/15 08:05:00<P>"}),
            ListFileBytes::listFile({good[0], good[1], good[0]}),
            ListFileBytes::page({"<!--StartList-->", good[0], good[1], "<!--EndList-->"}) +
                ListFileBytes::page({"<!--StartList-->", good[0], good[1], "<!--EndList-->"}),
        };
        for (qsizetype i = 0; i < damaged.size(); ++i)
            QTest::addRow("damaged %d", static_cast<int>(i)) << damaged[i];
    }
    void pagesHoldWhatTheReaderReads() {
        QFETCH(QByteArray, page);
        ReaderHost reader;
        const ListFileResult read = readListFile(page, reader);
        const bool whole = read.complete && !reader.damaged;

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath("URL_0000.html"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(page), page.size());
        file.close();
        CollectionIndex index;
        index.build(dir.path() + u'/', {{0, "音楽"}});
        index.setKept({}, {}, {}, 0);
        QTRY_VERIFY(index.isBuilt());

        QStringList held;
        for (const keepsake::Entry& e : index.entriesOf(0)) {
            held << e.url + u'|' + e.com + u'|' + e.date.toString(Qt::ISODate);
            QVERIFY2(index.isFiled(e.url), qPrintable(e.url));
            QCOMPARE(index.categoriesHolding(e.url), QStringList{"音楽"});
        }
        QCOMPARE(held, reader.entries);
        QCOMPARE(index.unreadablePages(), whole ? QStringList() : QStringList{"URL_0000.html"});
        // Found by their comments, as folded.
        for (const keepsake::Entry& e : index.entriesOf(0)) {
            if (!e.com.trimmed().isEmpty())
                QVERIFY2(!index.find(e.com.trimmed()).isEmpty(), qPrintable(e.com));
        }
    }

    // An address is keyed by the text of the first page that holds it: when that page is
    // written without it, a page that still holds it lends its own.
    void aPageWrittenAgainTakesItsAddressesWithIt() {
        CollectionIndex index;
        const QDateTime date(QDate(1997, 9, 15), QTime(8, 5), Qt::UTC);
        index.setPage(0, "A", {{"x.example/", "one", date}});
        index.setPage(1, "B", {{"x.example", "two", date}});
        index.setPage(0, "A", {{"y.example/", "three", date}});
        // The memory of A's old text, taken again (it was as long as this).
        const QString again(QStringLiteral("x.example/\none\n").size(), u'#');
        index.setPage(2, "C", {{"z.example/", "four", date}, {"w.example/", "five", date}});
        QVERIFY(index.isFiled("x.example/"));
        QCOMPARE(index.categoriesHolding("x.example"), QStringList{"B"});
        QCOMPARE(index.entriesOf(0).size(), 1);
        index.setPage(1, "B", {});
        QVERIFY(!index.isFiled("x.example"));
        QVERIFY(index.isFiled("y.example"));
    }

    // Two addresses whose hashes are equal are still two addresses, in the index and in a
    // page's duplicate marks. The second is made so: its second eight bytes undo the
    // difference its first eight left in the hash.
    void addressesOfEqualHashStayApart() {
        const QString a = QStringLiteral("ab.example.jp");
        std::uint64_t words[2];
        std::memcpy(words, a.constData(), sizeof words);
        const std::uint64_t start = addresshash::start(std::size_t(a.size()) * 2);
        const std::uint64_t other = words[0] ^ 1;  // "`b.e" for "ab.e"
        const std::uint64_t second =
            words[1] ^ addresshash::step(start, words[0]) ^ addresshash::step(start, other);
        QString b = a;
        for (int i = 0; i < 4; ++i) {
            b[i] = QChar(char16_t(other >> (16 * i)));
            b[4 + i] = QChar(char16_t(second >> (16 * i)));
        }
        QVERIFY(a != b);
        QCOMPARE(addressHash(b), addressHash(a));

        CollectionIndex index;
        index.setPage(0, "A", {{a, "one", QDateTime(QDate(1997, 9, 15), QTime(8, 5), Qt::UTC)}});
        QVERIFY(index.isFiled(a));
        QVERIFY(!index.isFiled(b));
        const QList<QString> urls{QString(), a, b, a};
        PageMarks marks(urls);
        marks.count({1, 2});
        QVERIFY(!marks.marked(1) && !marks.marked(2));
        marks.count({1, 2, 3});
        QVERIFY(marks.marked(1) && !marks.marked(2) && marks.marked(3));
    }

    void filedEntriesAreMarkedAndDamagedPagesCounted() {
        EditorFixture f;
        startCollection(f);
        KeepsakeEditor& w = f.editor();
        // The damaged page is counted, never prompted.
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QCOMPARE(w.Index->unreadablePages(), QStringList({"URL_0002.html"}));
        QCOMPARE(marks(w),
                 QStringList({"a.example/ 整理済み: 音楽, 映画", "b.example/ 整理済み: 音楽"}));
        // The same once the workers have marked the kept entries, and after a page is written
        // and marked again.
        QTRY_VERIFY(w.Index->isIdle());
        QCOMPARE(marks(w),
                 QStringList({"a.example/ 整理済み: 音楽, 映画", "b.example/ 整理済み: 音楽"}));
        w.lstKinds.setCurrentRow(rowOf(w, "映画"));
        w.lstURLs[0].setCurrentRow(2);
        w.cmdMove_Click();
        w.cmdSave_Click();
        QTRY_VERIFY(w.Index->isIdle());
        QCOMPARE(marks(w), QStringList({"a.example/ 整理済み: 音楽, 映画",
                                        "b.example/ 整理済み: 音楽", "c.example/ 整理済み: 映画"}));

        QStringList found;
        for (const CollectionIndex::Hit& hit : w.Index->find("ｳﾒ"))
            found << QStringLiteral("%1:%2 %3").arg(hit.page).arg(hit.entry).arg(hit.com);
        QCOMPARE(found, QStringList({"-1:1 うめ", "1:1 ウメ映画"}));
    }

    void marksFollowWritesRenamesAndReloads() {
        EditorFixture f;
        startCollection(f);
        KeepsakeEditor& w = f.editor();
        QAbstractItemModelTester tester(&w.lstURLs[2].model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy told(&w.lstURLs[2].model(), &QAbstractItemModel::dataChanged);

        // c.example/ written into 未作成.
        w.lstKinds.setCurrentRow(rowOf(w, "未作成"));
        w.lstURLs[0].setCurrentRow(2);
        QCOMPARE(w.lstURLs[0].text(2), "c.example/");
        w.cmdMove_Click();
        w.cmdSave_Click();
        QVERIFY(!told.isEmpty());
        QVERIFY(told.last().at(2).value<QList<int>>().contains(Qt::ToolTipRole));
        QCOMPARE(marks(w).last(), "c.example/ 整理済み: 未作成");

        // 音楽 renamed.
        told.clear();
        w.lstKinds.setCurrentRow(rowOf(w, "音楽"));
        f.prompts.answerInput("クラシック");
        w.Command1_Click();
        QVERIFY(!told.isEmpty());
        QCOMPARE(marks(w).first(), "a.example/ 整理済み: クラシック, 映画");

        // Read again, with a new entry filed in 映画 and one filed nowhere.
        f.writeKeepsake(keptFile(EditorFixture::entry("a.example", "また") +
                                 EditorFixture::entry("e.example/", "新しい")));
        w.ReadKeepsake("KEEPSAKE.HTML");
        QCOMPARE(
            marks(w),
            QStringList({"a.example/ 整理済み: クラシック, 映画", "b.example/ 整理済み: クラシック",
                         "c.example/ 整理済み: 未作成", "a.example 整理済み: クラシック, 映画"}));
        QTRY_VERIFY(w.Index->isBuilt());
        QCOMPARE(w.Index->find("新しい").size(), 1);
    }

    void hidingFiledEntriesIsRememberedAndShowsWhatIsShown() {
        QVERIFY(collection::remember(QStringLiteral("/remembered/")));
        {
            EditorFixture f;
            startCollection(f);
            KeepsakeEditor& w = f.editor();
            QAbstractItemModelTester tester(&w.lstURLs[0].model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            w.lstURLs[0].selectAll();
            w.mn_HideFiled_Click(true);
            QCOMPARE(itemTexts(w.lstURLs[0]), QStringList({"c.example/"}));
            QCOMPARE(itemTexts(w.lstURLs[1]), QStringList({"さくら"}));
            // "↓" takes the selected entries that are shown.
            w.lstKinds.setCurrentRow(rowOf(w, "未作成"));
            w.cmdMove_Click();
            QCOMPARE(itemTexts(w.lstSub), QStringList({"さくら"}));
            // Written, it is filed and hidden too.
            w.cmdSave_Click();
            QCOMPARE(itemTexts(w.lstURLs[0]), QStringList());
            // Kept in the user's settings file, beside the folder of the editor started last.
            QCOMPARE(collection::readSetting("View", "HideFiled"), QStringLiteral("true"));
            QCOMPARE(collection::rememberedFolder(), QStringLiteral("/remembered/"));
        }
        EditorFixture again;
        startCollection(again);
        KeepsakeEditor& w = again.editor();
        QVERIFY(w.HideFiled);
        QCOMPARE(itemTexts(w.lstURLs[2]), QStringList({"c.example/"}));
        // A filed kept entry found by the search turns hiding off to show it.
        const QList<CollectionIndex::Hit> hits = w.Index->find("apple");
        QCOMPARE(hits.size(), 1);
        w.ShowFound(hits.first());
        QVERIFY(!w.HideFiled);
        QCOMPARE(w.lstURLs[0].text(w.lstURLs[0].selectedCurrentRow()), "b.example/");
        QCOMPARE(preferences::hideFiled(), false);
    }

    void aFoundPageEntryIsSelectedInItsCategory() {
        EditorFixture f;
        startCollection(f);
        KeepsakeEditor& w = f.editor();
        const QList<CollectionIndex::Hit> hits = w.Index->find("りんご");
        QCOMPARE(hits.size(), 1);
        w.ShowFound(hits.first());
        QCOMPARE(w.lstKinds.model().name(w.lstKinds.selectedRow()), "音楽");
        QCOMPARE(w.lstSub.text(w.lstSub.selectedCurrentRow()), "りんご");
    }

    void theSameAddressTwiceInAPage() {
        EditorFixture f;
        startCollection(f);
        KeepsakeEditor& w = f.editor();
        QAbstractItemModelTester tester(&w.lstSub.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        w.lstKinds.setCurrentRow(rowOf(w, "映画"));
        QSignalSpy said(&w, &KeepsakeEditor::message);
        QSignalSpy told(&w.lstSub.model(), &QAbstractItemModel::dataChanged);
        // a.example/ is in the page already: said, and added all the same.
        w.lstURLs[0].setCurrentRow(0);
        w.cmdMove_Click();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().first().toString(), kMsgSameAddress);
        QCOMPARE(w.lstSub.count(), 2);
        QVERIFY(!told.isEmpty());
        for (int row = 0; row < 2; ++row) {
            const QModelIndex i = w.lstSub.model().index(row, 0);
            QVERIFY(i.data(EntryListModel::MarkedRole).toBool());
            QCOMPARE(i.data(Qt::ToolTipRole).toString(), kMsgSameAddress);
        }
        // b.example/ is not: nothing said, nothing marked.
        said.clear();
        w.lstSub.selection()->clear();
        w.lstURLs[0].setCurrentRow(1);
        w.cmdMove_Click();
        QCOMPARE(said.size(), 0);
        int marked = 0;
        for (int row = 0; row < w.lstSub.count(); ++row)
            marked += w.lstSub.model().index(row, 0).data(EntryListModel::MarkedRole).toBool();
        QCOMPARE(marked, 2);

        // A page large enough to be read by several threads: the addresses of the entries
        // read ahead are marked as those the window's thread reads.
        QStringList lines;
        QHash<QString, int> times;  // by address without one trailing "/"
        for (int i = 0; i < 3000; ++i) {
            QString url = QStringLiteral("page%1.example/%2").arg(i).arg(QString(40, u'x'));
            if (i % 50 == 0)
                url = QStringLiteral("dup%1.example").arg(i / 50 % 7);
            if (i == 10 || i == 2990)
                url = i == 10 ? QStringLiteral("tail.example") : QStringLiteral("tail.example/");
            ++times[url.endsWith(u'/') ? url.chopped(1) : url];
            lines << EditorFixture::entry(url, QStringLiteral("項目%1").arg(i));
        }
        f.writeFile(f.appFolder() + "URL_0001.html", categoryPage("映画", lines));
        w.KindChanged = false;
        w.lstKinds.setCurrentRow(rowOf(w, "音楽"));
        w.lstKinds.setCurrentRow(rowOf(w, "映画"));
        QCOMPARE(w.lstSub.count(), 3000);
        const QList<int> shown = w.lstSub.model().entries();
        for (int row = 0; row < shown.size(); ++row) {
            const QString& url = w.KindURL[shown[row]];
            const bool twice = times.value(url.endsWith(u'/') ? url.chopped(1) : url) > 1;
            QVERIFY2(
                w.lstSub.model().index(row, 0).data(EntryListModel::MarkedRole).toBool() == twice,
                qPrintable(url));
        }
    }
};

QTEST_GUILESS_MAIN(SearchTest)
#include "tst_search.moc"
