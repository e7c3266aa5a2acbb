// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Bookmark files in and out of a collection on disk: the importer appends to a real keepsake
// file and the result is read back with the editor's list reader; the exporter's bytes are
// compared whole.
#include "bookmarks/CollectionBookmarks.h"
#include "keepsake/ListFileReader.h"
#include "platform/Cp932Codec.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kHead = "<HTML><BODY>\r\n<!--StartList-->\r\n";
const QByteArray kFoot = "<!--EndList-->\r\n</BODY></HTML>\r\n";
const QDateTime kNow(QDate(2024, 5, 6), QTime(7, 8, 9));

QByteArray entry(const QString& url, const QString& com, const QString& date) {
    return cp932::encode(QStringLiteral("<A HREF=\"http://") + url + QStringLiteral("\">") + url +
                         QStringLiteral("</A><BR>\r\n《 ") + com + QStringLiteral(" 》") + date +
                         QStringLiteral("<P>\r\n"));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Collector : public ListFileHost {
public:
    void entry(keepsake::Entry e) override {
        lines << e.url + u'|' + e.com + u'|' + keepsake::formatPageDate(e.date);
    }
    void failure(const QString& m) override { lines << QStringLiteral("failure: ") + m; }
    bool askContinue() override { return true; }
    QStringList lines;
};

QStringList keptEntries(const QString& path) {
    Collector c;
    readListFile(readFile(path), c);
    return c.lines;
}

// A Firefox-like file around `items`.
QByteArray firefoxFile(const QByteArray& items) {
    return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
           "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n" +
           items + "</DL>\n";
}

// One collection: a keepsake file with one kept entry, and category 0 whose page files one.
struct Collection {
    QTemporaryDir dir;
    collecting::KeepPlace place;
    QList<bookmarks::Category> categories{{0, QStringLiteral("音楽")}};
    Collection() {
        place = {dir.path() + u'/', dir.path() + u'/'};
        writeFile(place.keepsakeFolder + "KEEPSAKE.HTML",
                  kHead + entry("kept.example/", "キープ", "24/01/02 03:04:05") + kFoot);
        writeFile(place.collectionFolder + "URL_0000.html",
                  kHead + entry("filed.example/", "整理済み", "97/09/15 08:05:00") + kFoot);
    }
    QString keepsake() const { return place.keepsakeFolder + "KEEPSAKE.HTML"; }
};

}  // namespace

class BookmarksTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(qgetenv("TZ"), QByteArray("UTC")); }

    void importsIntoTheKeepsakeFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("added");  // url|comment|date, after the kept entry
        QTest::addColumn<QList<int>>("counts");  // read, kept, duplicates, refused

        QTest::newRow("nested folders")
            << firefoxFile(
                   "<DT><H3>A</H3>\n<DL><p>\n<DT><H3>B</H3>\n<DL><p>\n"
                   "<DT><A HREF=\"http://x.example/\" ADD_DATE=\"874310700\">深い</A>\n"
                   "</DL><p>\n<DT><A HREF=\"https://y.example/p?a=1&amp;b=2\" "
                   "ADD_DATE=\"874310700\">浅い &lt;b&gt;</A>\n</DL><p>\n")
            << QStringList{"x.example/|深い|97/09/15 08:05:00",
                           "y.example/p?a=1&b=2|浅い <b>|97/09/15 08:05:00"}
            << QList<int>{2, 2, 0, 0};
        QTest::newRow("<DD> is no entry, and stands in for an empty title")
            << firefoxFile(
                   "<DT><A HREF=\"http://d.example/\" ADD_DATE=\"874310700\">題</A>\n"
                   "<DD>説明\n<DT><A HREF=\"http://e.example/\" ADD_DATE=\"874310700\">"
                   "</A>\n<DD>説明だけ\n")
            << QStringList{"d.example/|題|97/09/15 08:05:00",
                           "e.example/|説明だけ|97/09/15 08:05:00"}
            << QList<int>{2, 2, 0, 0};
        QTest::newRow("missing ADD_DATE is the time of the import")
            << firefoxFile(
                   "<DT><A HREF=\"http://m.example/\">日付なし</A>\n"
                   "<DT><A HREF=\"http://n.example/\" ADD_DATE=\"soon\">数でない</A>\n")
            << QStringList{"m.example/|日付なし|24/05/06 07:08:09",
                           "n.example/|数でない|24/05/06 07:08:09"}
            << QList<int>{2, 2, 0, 0};
        QTest::newRow("microsecond dates")
            << firefoxFile(
                   "<DT><A HREF=\"http://u.example/\" ADD_DATE=\"874310700000000\">μ"
                   "</A>\n<DT><A HREF=\"http://s.example/\" ADD_DATE=\"100000000000\">"
                   "s</A>\n")
            << QStringList{"u.example/|μ|97/09/15 08:05:00", "s.example/|s|5138/11/16 09:46:40"}
            << QList<int>{2, 2, 0, 0};
        QTest::newRow("Shift_JIS without META")
            << QByteArray("<DL><p>\n<DT><A HREF=\"http://j.example/\" ADD_DATE=\"874310700\">") +
                   cp932::encode(QStringLiteral("日本語の題")) + "</A>\n</DL>\n"
            << QStringList{"j.example/|日本語の題|97/09/15 08:05:00"} << QList<int>{1, 1, 0, 0};
        QTest::newRow("a META charset wins over valid UTF-8")
            << QByteArray(
                   "<META CONTENT=\"text/html; charset=Shift_JIS\">\n"
                   "<DT><A HREF=\"http://k.example/\" ADD_DATE=\"874310700\">\x83\x4c"
                   "</A>\n")
            << QStringList{"k.example/|キ|97/09/15 08:05:00"} << QList<int>{1, 1, 0, 0};
        QTest::newRow("a malformed <A> among good ones")
            << firefoxFile(
                   "<DT><A HREF=\"http://g1.example/\" ADD_DATE=\"874310700\">一</A>\n"
                   "<DT><A HREF=\"http://bad.example/\" ADD_DATE=\"874310700\"\n"
                   "<DT><A ADD_DATE=\"874310700\">HREFなし</A>\n"
                   "<DT><A HREF=\"http://open.example/\">閉じない\n"
                   "<DT><A HREF=\"javascript:alert(1)\">js</A>\n"
                   "<DT><A HREF=\"http://g2.example/\" ADD_DATE=\"874310700\">二</A>\n")
            << QStringList{"g1.example/|一|97/09/15 08:05:00", "g2.example/|二|97/09/15 08:05:00"}
            << QList<int>{6, 2, 0, 4};
        QTest::newRow("kept, filed and repeated addresses are skipped")
            << firefoxFile(
                   "<DT><A HREF=\"http://kept.example\">k</A>\n"
                   "<DT><A HREF=\"http://filed.example/\">f</A>\n"
                   "<DT><A HREF=\"http://r.example/\" ADD_DATE=\"874310700\">r</A>\n"
                   "<DT><A HREF=\"http://r.example\">r again</A>\n")
            << QStringList{"r.example/|r|97/09/15 08:05:00"} << QList<int>{4, 1, 3, 0};
    }
    void importsIntoTheKeepsakeFile() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, added);
        QFETCH(QList<int>, counts);
        Collection c;
        const bookmarks::ImportResult r =
            bookmarks::importBookmarkBytes(c.place, c.categories, file, kNow);
        QVERIFY2(r.ok, qPrintable(r.message));
        int refused = 0;
        for (const int n : r.refused)
            refused += n;
        QCOMPARE((QList<int>{r.read, r.kept, r.duplicates, refused}), counts);
        QCOMPARE(keptEntries(c.keepsake()),
                 QStringList{"kept.example/|キープ|24/01/02 03:04:05"} + added);
    }

    void aHundredThousandBookmarksInOneReplace() {
        QByteArray items;
        for (int i = 0; i < 100000; ++i) {
            items += "<DT><A HREF=\"https://example.org/" + QByteArray::number(i) +
                     "\" ADD_DATE=\"1700000000\">ページ " + QByteArray::number(i) + "</A>\n";
        }
        Collection c;
        const bookmarks::ImportResult r =
            bookmarks::importBookmarkBytes(c.place, c.categories, firefoxFile(items), kNow);
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.kept, 100000);
        const QStringList kept = keptEntries(c.keepsake());
        QCOMPARE(kept.size(), 100001);
        QCOMPARE(kept.last(), QStringLiteral("example.org/99999|ページ 99999|23/11/14 22:13:20"));
    }

    void cancelLeavesTheFileUntouched() {
        Collection c;
        const QByteArray before = readFile(c.keepsake());
        const bookmarks::ImportResult r = bookmarks::importBookmarkBytes(
            c.place, c.categories, firefoxFile("<DT><A HREF=\"http://x.example/\">x</A>\n"), kNow,
            [](qint64 done, qint64 total) { return done < total; });
        QVERIFY(r.cancelled && !r.ok);
        QCOMPARE(readFile(c.keepsake()), before);
    }

    void exportsTheCollection() {
        Collection c;
        c.categories.prepend({1, QStringLiteral("A&B")});
        const QString out = c.dir.path() + "/bookmarks.html";
        const bookmarks::ExportResult r = bookmarks::exportCollection(c.place, c.categories, out);
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE((QList<int>{r.folders, r.entries}), (QList<int>{3, 2}));
        QCOMPARE(QString::fromUtf8(readFile(out)).section(u'\n', 10),
                 QStringLiteral("<DL><p>\n"
                                "    <DT><H3>A&amp;B</H3>\n    <DL><p>\n    </DL><p>\n"
                                "    <DT><H3>音楽</H3>\n    <DL><p>\n"
                                "        <DT><A HREF=\"http://filed.example/\" "
                                "ADD_DATE=\"874310700\">整理済み</A>\n"
                                "        <DD>整理済み\n    </DL><p>\n"
                                "    <DT><H3>キープセイク</H3>\n    <DL><p>\n"
                                "        <DT><A HREF=\"http://kept.example/\" "
                                "ADD_DATE=\"1704164645\">キープ</A>\n"
                                "        <DD>キープ\n    </DL><p>\n</DL>\n"));
        // Read back, every entry comes home as already there.
        const bookmarks::ImportResult back =
            bookmarks::importBookmarks(c.place, c.categories, out, kNow);
        QCOMPARE((QList<int>{back.read, back.kept, back.duplicates}), (QList<int>{2, 0, 2}));
    }
};

QTEST_GUILESS_MAIN(BookmarksTest)
#include "tst_bookmarks.moc"
