// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The keepsake layout: scanners, dates and the reader shared by the keepsake file and the
// category pages.
#include "keepsake/EntryArrays.h"
#include "keepsake/KeepsakeFormat.h"
#include "keepsake/ListFileReader.h"
#include "platform/Cp932Codec.h"
#include "support/ListFileBytes.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QThread>

#include <atomic>

using namespace keepsake;

namespace {

// Records what the reader reports; answers the question from a list (OK when it runs out).
struct Host : ListFileHost {
    QList<Entry> entries;
    QStringList events;
    QList<bool> answers;
    bool started = false;
    // Every call in its order, entries with their three parts.
    QStringList calls;

    void listStarts() override {
        started = true;
        calls << QStringLiteral("start");
        // Gives the threads reading ahead time to claim stretches before this one reads on.
        QDeadlineTimer deadline(waitForAhead);
        while (!aheadEntrySeen && !deadline.hasExpired())
            QThread::usleep(100);
    }
    void entry(Entry e) override {
        calls << e.url + u'|' + e.com + u'|' + e.date.toString(Qt::ISODate);
        entries.append(std::move(e));
    }
    void failure(const QString& message) override {
        events << message;
        calls << message;
    }
    bool askContinue() override {
        events << kMsgContinue;
        calls << kMsgContinue;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    // With `workOnStretches`, each stretch read ahead comes with the addresses its work saw,
    // which must be its entries'.
    struct SeenAddresses : ListFileStretchWork {
        SeenAddresses(std::atomic<bool>& seen, int delay) : anySeen(seen), delayUs(delay) {}
        void entry(const Entry& e) override {
            urls << e.url;
            anySeen = true;
            QThread::usleep(static_cast<unsigned long>(delayUs));
        }
        QStringList urls;
        std::atomic<bool>& anySeen;
        int delayUs;
    };
    bool workOnStretches = false;
    int waitForAhead = 0;  // ms, at the start of the list, for an entry read ahead
    int aheadDelayUs = 0;  // taken by each entry read ahead
    std::atomic<bool> aheadEntrySeen{false};
    std::unique_ptr<ListFileStretchWork> stretchWork(qsizetype) override {
        if (!workOnStretches)
            return nullptr;
        return std::make_unique<SeenAddresses>(aheadEntrySeen, aheadDelayUs);
    }
    void stretch(std::vector<Entry>& read, std::unique_ptr<ListFileStretchWork> work) override {
        QStringList urls;
        for (const Entry& e : read)
            urls << e.url;
        if (work && static_cast<SeenAddresses&>(*work).urls != urls)
            calls << QStringLiteral("the stretch's work saw other entries");
        ListFileHost::stretch(read, nullptr);
    }
    QStringList urls() const {
        QStringList u;
        for (const Entry& e : entries)
            u << e.url;
        return u;
    }
};

// Whether a reading by `threads` threads calls its host as a reading by one does, and gives
// the same result.
bool readsAsOnePart(const QByteArray& bytes, int threads, const QList<bool>& answers) {
    Host one, many;
    one.answers = many.answers = answers;
    many.workOnStretches = true;
    many.waitForAhead = 2;
    const ListFileResult a = readListFile(bytes, one, 1);
    const ListFileResult b = readListFile(bytes, many, threads);
    return one.calls == many.calls && a.head == b.head && a.foot == b.foot &&
           a.complete == b.complete && a.listStarted == b.listStarted && a.entries == b.entries;
}

QDateTime dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

}  // namespace

class ListFileReaderTest : public QObject {
    Q_OBJECT

private slots:
    void scannersFindTheirPieces() {
        const QByteArray line = "<A HREF=\"http://abc/index.html\">abc/index.html</A><BR>";
        QVERIFY(isEntryLine(line));
        QCOMPARE(scanAddress(line).length, 14);
        QCOMPARE(scanAddress("<A HREF=\"http://x\">x</A>").length, 1);
        QCOMPARE(scanAddress("<A HREF=\"http://\">").message, kMsgEmptyAddress);
        QCOMPARE(scanAddress("<A HREF=\"http://abc").message, kMsgNoClosingQuote);
        // Not entry lines at all.
        QVERIFY(!isEntryLine("<A HREF=\"HTTP://abc\">"));
        QVERIFY(!isEntryLine("<A  HREF=\"http://abc\">"));
        QVERIFY(!isEntryLine("<A HREF='http://abc'>"));

        qsizetype start = 0;
        const auto comment = [&start](const QString& text) {
            return scanComment(cp932::encode(text), &start);
        };
        QCOMPARE(comment("《 Sample page 》97/09/15 08:05:00<P>").length, 11);
        QCOMPARE(start, 3);
        QCOMPARE(comment("《 日本 》97/09/15<P>").length, 4);
        // The first two characters are not examined, whatever their width.
        QCOMPARE(comment("ab日本 》x").length, 4);
        QCOMPARE(start, 2);
        QCOMPARE(comment("《  》97/09/15<P>").message, kMsgNoCommentLine);
        QCOMPARE(comment("《 no end 97/09/15<P>").message, kMsgNoCommentLine);
        QCOMPARE(comment("《").length, 0);
        // A comment holding " 》" is cut at its first occurrence.
        QCOMPARE(comment("《 a 》b 》97/09/15<P>").length, 1);

        QDateTime date;
        QCOMPARE(scanDate("97/09/15 08:05:00<P>", &date), 17);
        QCOMPARE(date, dt(1997, 9, 15, 8, 5, 0));
        QCOMPARE(scanDate("97/09/15 08:05:00", &date), 0);  // no "<"
        QCOMPARE(scanDate("<P>", &date), 0);
        QCOMPARE(scanDate(cp932::encode(u"b 》97/09/15<P>"), &date), 0);
        QCOMPARE(scanDate(cp932::encode(u"\u3000"
                                        "97/09/15<P>"),
                          &date),
                 0);
    }

    void datesAsTheFilesHoldThem() {
        QDateTime date;
        QVERIFY(parseDate(u"1997/09/15 08:05:00", &date));
        QCOMPARE(date, dt(1997, 9, 15, 8, 5, 0));
        QVERIFY(parseDate(u"49/12/31 23:59", &date));
        QCOMPARE(date, dt(2049, 12, 31, 23, 59, 0));
        QVERIFY(parseDate(u"50/01/01", &date));
        QCOMPARE(date, dt(1950, 1, 1));
        QVERIFY(parseDate(u"00/02/29 1:02:03", &date));
        QCOMPARE(date, dt(2000, 2, 29, 1, 2, 3));
        for (const char16_t* bad :
             {u"97/13/01 00:00:00", u"97/02/31", u"97/09/15 24:00:00", u"97/09/15 10:60",
              u"997/09/15", u"97-09-15x", u"", u"abc", u"97/09/15 08:05:00 x", u"97/09"}) {
            QVERIFY2(!parseDate(bad, &date), qPrintable(QString::fromUtf16(bad)));
        }
        QCOMPARE(formatGeneralDate(dt(1997, 9, 15, 8, 5, 0)), QStringLiteral("1997/09/15 8:05:00"));
        QCOMPARE(formatGeneralDate(dt(1997, 9, 15)), QStringLiteral("1997/09/15"));
    }

    // The writer's form, and what the reader makes of it again.
    void pageDatesWriteAndReadBack_data() {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("1997") << dt(1997, 9, 15, 8, 5, 0) << "97/09/15 08:05:00";
        QTest::newRow("2003") << dt(2003, 1, 2, 23, 0, 9) << "03/01/02 23:00:09";
        // Two digits only where every reader agrees on the century.
        QTest::newRow("first two-digit year") << dt(1950, 1, 1) << "50/01/01 00:00:00";
        QTest::newRow("last two-digit year") << dt(2029, 12, 31, 23, 59, 59) << "29/12/31 23:59:59";
        QTest::newRow("1949") << dt(1949, 12, 31, 23, 59, 59) << "1949/12/31 23:59:59";
        QTest::newRow("1947") << dt(1947, 3, 4, 5, 6, 7) << "1947/03/04 05:06:07";
        QTest::newRow("2030") << dt(2030, 1, 1) << "2030/01/01 00:00:00";
        QTest::newRow("2051") << dt(2051, 6, 7, 8, 9, 10) << "2051/06/07 08:09:10";
        QTest::newRow("year 9") << dt(9, 2, 3) << "0009/02/03 00:00:00";
        QTest::newRow("9999") << dt(9999, 12, 31) << "9999/12/31 00:00:00";
    }

    void pageDatesWriteAndReadBack() {
        QFETCH(QDateTime, date);
        QFETCH(QString, text);
        QCOMPARE(formatPageDate(date), text);
        QString lines;
        appendEntryLines(lines, QStringLiteral("a"), QStringLiteral("A"), date);
        QCOMPARE(lines.section(u'\n', 1, 1), QStringLiteral("《 A 》%1<P>\r").arg(text));
        QDateTime back;
        QVERIFY(parseDate(text, &back));
        QCOMPARE(back, date);
    }

    void readsEntriesHeaderAndFooter() {
        Host host;
        const QByteArray bytes = ListFileBytes::listFile(
            ListFileBytes::entry(QStringLiteral("abc/index.html"), QStringLiteral("Sample page")) +
                QStringList{QStringLiteral("hand-made line"), QString()} +
                ListFileBytes::entry(QStringLiteral("x"), QStringLiteral("一文字"),
                                     QStringLiteral("1997/09/15 08:05:00")),
            {QStringLiteral("<HTML>"), QStringLiteral("<!--StartList--> ")},
            {QStringLiteral("<A HREF=\"http://footer\">footer</A><BR>"),
             QStringLiteral("《 not an entry 》97/09/15 08:05:00<P>")});
        const ListFileResult r = readListFile(bytes, host);
        QVERIFY(r.complete);
        QVERIFY(host.events.isEmpty());
        QCOMPARE(host.urls(), QStringList({"abc/index.html", "x"}));
        QCOMPARE(host.entries[0].com, QStringLiteral("Sample page"));
        QCOMPARE(host.entries[0].date, dt(1997, 9, 15, 8, 5, 0));
        QCOMPARE(host.entries[1].com, QStringLiteral("一文字"));
        // The marker with a trailing blank is an ordinary header line.
        QCOMPARE(r.head, QByteArray("<HTML>\r\n<!--StartList--> \r\n<!--StartList-->\r\n"));
        QCOMPARE(r.foot, cp932::encode(QStringLiteral(
                             "<!--EndList-->\r\n<A HREF=\"http://footer\">footer</A><BR>\r\n"
                             "《 not an entry 》97/09/15 08:05:00<P>\r\n")));
        // Header and footer are the file's own first and last bytes.
        QVERIFY(bytes.startsWith(r.head));
        QVERIFY(bytes.endsWith(r.foot));
    }

    void failuresAndTheirMessages() {
        struct Case {
            const char* name;
            QByteArray bytes;
            QStringList events;
            int entries;
            bool complete;
        };
        const QStringList good = ListFileBytes::entry(QStringLiteral("a"), QStringLiteral("A"));
        const QList<Case> cases = {
            {"empty file", QByteArray(), {kMsgNoStartMarker}, 0, false},
            {"no start marker",
             ListFileBytes::page({"<HTML>", "<!--startlist-->"}),
             {kMsgNoStartMarker},
             0,
             false},
            {"start marker is the last line",
             ListFileBytes::page({"<HTML>", "<!--StartList-->"}),
             {kMsgNoList},
             0,
             false},
            {"end marker is the first and last list line",
             ListFileBytes::page({"<!--StartList-->", "<!--EndList-->"}),
             {kMsgNoList},
             0,
             false},
            {"empty list with footer",
             ListFileBytes::page({"<!--StartList-->", "<!--EndList-->", "</HTML>"}),
             {},
             0,
             true},
            {"end marker where the comment line should be",
             ListFileBytes::page({"<!--StartList-->", good[0], "<!--EndList-->", "x"}),
             {kMsgNoComment},
             0,
             false},
            {"comment line is the last line",
             ListFileBytes::page({"<!--StartList-->", good[0], good[1]}),
             {kMsgNoEndMarker},
             0,
             false},
            {"list runs to the end",
             ListFileBytes::page({"<!--StartList-->", good[0], good[1], "x"}),
             {kMsgNoEndMarker},
             1,
             false},
            {"empty address",
             ListFileBytes::listFile({"<A HREF=\"http://\"></A>", good[1]}),
             {kMsgEmptyAddress, kMsgContinue},
             0,
             true},
            {"no closing quote",
             ListFileBytes::listFile({"<A HREF=\"http://abc", good[1]}),
             {kMsgNoClosingQuote, kMsgContinue},
             0,
             true},
            {"empty comment",
             ListFileBytes::listFile({good[0], "《  》97/09/15 08:05:00<P>"}),
             {kMsgNoCommentLine, kMsgContinue},
             0,
             true},
            {"missing date",
             ListFileBytes::listFile({good[0], "《 A 》<P>"}),
             {kMsgContinue},
             0,
             true},
            {"no < after the date",
             ListFileBytes::listFile({good[0], "《 A 》97/09/15 08:05:00"}),
             {kMsgContinue},
             0,
             true},
            {"entry line right after an entry line",
             ListFileBytes::listFile({good[0], "<A HREF=\"http://b\">b</A><BR>", good[1]}),
             {kMsgNoCommentLine, kMsgContinue},
             1,
             true},
            {"entry line after an entry line with an empty address",
             ListFileBytes::listFile({"<A HREF=\"http://\"></A>", good[0], good[1]}),
             {kMsgEmptyAddress, kMsgContinue},
             1,
             true},
            {"comment holding the end mark",
             ListFileBytes::listFile({good[0], "《 A 》B 》97/09/15 08:05:00<P>"}),
             {kMsgContinue},
             0,
             true},
        };
        for (const Case& c : cases) {
            Host host;
            const ListFileResult r = readListFile(c.bytes, host);
            QVERIFY2(host.events == c.events, c.name);
            QVERIFY2(host.entries.size() == c.entries, c.name);
            QVERIFY2(r.complete == c.complete, c.name);
            for (int threads = 2; threads <= 6; ++threads)
                QVERIFY2(readsAsOnePart(c.bytes, threads, {}), c.name);
        }
    }

    // A large file is read in stretches by several threads; the host must see exactly what a
    // reading by one shows it, wherever the stretches begin: in a damaged entry, between an
    // entry line and its comment line, on a lone CR, after a question answered Cancel.
    void partsReadAsOne() {
        QStringList lines = {QStringLiteral("<HTML>"), QStringLiteral("<!--StartList-->")};
        for (int i = 0; i < 60; ++i) {
            const QStringList entry = ListFileBytes::entry(QStringLiteral("site%1/").arg(i),
                                                           QStringLiteral("項目%1").arg(i));
            switch (i % 7) {
                case 1:
                    lines << entry[0];
                    break;  // no comment line
                case 3:
                    lines << entry[0] << QStringLiteral("《 x <P>");
                    break;  // no end mark
                case 4:
                    lines << QStringLiteral("hand-made") << entry;
                    break;
                case 5:
                    lines << QStringLiteral("<A HREF=\"http://\">") << entry;
                    break;
                default:
                    lines << entry;
            }
        }
        lines << QStringLiteral("<!--EndList-->") << QStringLiteral("</HTML>");
        QByteArray bytes = ListFileBytes::page(lines);
        bytes.replace("hand-made\r\n", "hand-made\r");
        for (const QList<bool>& answers : {QList<bool>{}, QList<bool>{true, true, true, false}}) {
            for (int threads = 2; threads <= 40; ++threads) {
                QVERIFY2(readsAsOnePart(bytes, threads, answers),
                         qPrintable(QString::number(threads)));
            }
        }
        // Cut anywhere, the file is read by several threads as by one.
        for (qsizetype size = 0; size < bytes.size(); size += 97)
            QVERIFY(readsAsOnePart(bytes.first(size), 5, {}));
    }

    // Every stretch read ahead of an undamaged list is taken, wherever its stretches begin,
    // and whole, however slowly it is read.
    void stretchesOfAGoodListAreTaken() {
        QStringList lines = {QStringLiteral("<HTML>"), QStringLiteral("<!--StartList-->")};
        for (int i = 0; i < 200; ++i) {
            lines << ListFileBytes::entry(QStringLiteral("site%1/").arg(i).repeated(1 + i % 5),
                                          QStringLiteral("項目%1").arg(i));
        }
        lines << QStringLiteral("<!--EndList-->") << QStringLiteral("</HTML>");
        const QByteArray bytes = ListFileBytes::page(lines);
        for (int threads = 2; threads <= 9; ++threads) {
            Host host;
            host.workOnStretches = true;
            host.waitForAhead = 10000;
            host.aheadDelayUs = 200;
            const ListFileResult r = readListFile(bytes, host, threads);
            QVERIFY(r.stretchesReadAhead > 0);
            QCOMPARE(r.stretchesTaken, r.stretchesReadAhead);
            QCOMPARE(host.entries.size(), 200);
        }
    }

    void okGoesOnAndCancelStops() {
        const QByteArray bytes = ListFileBytes::listFile(ListFileBytes::entry("one", "1") +
                                                         ListFileBytes::entry("two", "") +
                                                         ListFileBytes::entry("three", "3"));
        Host ok;
        QVERIFY(readListFile(bytes, ok).complete);
        QCOMPARE(ok.urls(), QStringList({"one", "three"}));
        QCOMPARE(ok.events, QStringList({kMsgNoCommentLine, kMsgContinue}));

        // An entry whose comment line is missing: the next entry line is read as what it is.
        const QByteArray missing = ListFileBytes::listFile(
            QStringList{ListFileBytes::entry("one", "1")[0]} + ListFileBytes::entry("two", "2") +
            QStringList{ListFileBytes::entry("three", "3")[0]} + ListFileBytes::entry("four", "4"));
        Host reread;
        QVERIFY(readListFile(missing, reread).complete);
        QCOMPARE(reread.urls(), QStringList({"two", "four"}));
        QCOMPARE(reread.entries[0].com, QStringLiteral("2"));
        QCOMPARE(reread.events,
                 QStringList({kMsgNoCommentLine, kMsgContinue, kMsgNoCommentLine, kMsgContinue}));

        Host cancel;
        cancel.answers = {false};
        const ListFileResult r = readListFile(bytes, cancel);
        QVERIFY(!r.complete);
        QVERIFY(r.foot.isEmpty());
        QCOMPARE(cancel.urls(), QStringList({"one"}));
    }

    void lineEndsOfAnyKind() {
        Host host;
        const QByteArray bytes =
            "<HTML>\n<!--StartList-->\r<A HREF=\"http://a\">a</A><BR>\n\x81\x73 A \x81\x74"
            "97/09/15 08:05:00<P>\r\n<!--EndList-->\r</HTML>";
        const ListFileResult r = readListFile(bytes, host);
        QVERIFY(r.complete);
        QCOMPARE(host.urls(), QStringList({"a"}));
        QCOMPARE(r.foot, QByteArray("<!--EndList-->\r\n</HTML>\r\n"));

        // The line count that sizes the entry arrays, over runs of 255 and a file of line feeds.
        for (const int size : {0, 254, 255, 256, 511, 1000}) {
            QByteArray file(size, '\n');
            for (int i = 0; i < size; i += 7)
                file[i] = size % 2 ? '\n' : 'x';
            QCOMPARE(lineFeeds(file), qsizetype(std::count(file.begin(), file.end(), '\n')));
        }
    }
};

QTEST_GUILESS_MAIN(ListFileReaderTest)
#include "tst_listfilereader.moc"
