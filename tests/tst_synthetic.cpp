// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/ListFileReader.h"
#include "platform/Cp932Codec.h"
#include "settings/ProfileFile.h"
#include "support/SyntheticCollection.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

// Keeps every entry and counts every message; the made-up files must give none.
class StoringHost : public ListFileHost {
public:
    std::vector<keepsake::Entry> entries;
    QStringList messages;

    void entry(keepsake::Entry entry) override { entries.push_back(std::move(entry)); }
    void failure(const QString& message) override { messages << message; }
    bool askContinue() override {
        messages << QStringLiteral("(asked to continue)");
        return true;
    }
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class SyntheticTest : public QObject {
    Q_OBJECT

private slots:
    void keepsakeFileReadsBackEntryForEntry_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("thousand") << 1000;
        QTest::newRow("ten thousand") << 10000;
    }

    void keepsakeFileReadsBackEntryForEntry() {
        QFETCH(int, count);
        const QList<synthetic::Entry> made = synthetic::entries(count, 7);
        const QByteArray bytes = synthetic::keepsakeFile(made);

        StoringHost host;
        const ListFileResult result = readListFile(bytes, host);
        QCOMPARE(host.messages, QStringList());
        QVERIFY(result.complete);
        QCOMPARE(result.entries, count);
        QCOMPARE(static_cast<int>(host.entries.size()), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(host.entries[i].url, made[i].address);
            QCOMPARE(host.entries[i].com, made[i].comment);
            QCOMPARE(host.entries[i].date, made[i].date);
        }
        QCOMPARE(result.head, cp932::encode(synthetic::keepsakeHead()));
        QCOMPARE(result.foot, cp932::encode(synthetic::keepsakeFoot()));
    }

    void filesAreCp932WithCrLfAndTheExactEntryForm() {
        const QByteArray bytes = synthetic::keepsakeFile(200, 3);
        QVERIFY(!cp932::hasEscapes(cp932::decode(bytes)));
        QCOMPARE(cp932::encode(cp932::decode(bytes)), bytes);
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        QVERIFY(bytes.endsWith("\r\n"));

        const QStringList lines = cp932::decode(bytes).split(QStringLiteral("\r\n"));
        const qsizetype start = lines.indexOf(QStringLiteral("<!--StartList-->"));
        QVERIFY(start > 0);
        QCOMPARE(lines.indexOf(QStringLiteral("<!--EndList-->")), start + 1 + 2 * 200);
        const QRegularExpression entryLine(
            QStringLiteral("^<A HREF=\"http://([^\"]+)\">([^\"]+)</A><BR>$"));
        const QRegularExpression commentLine(
            QStringLiteral("^《 (.+) 》\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d<P>$"));
        for (qsizetype i = start + 1; i < start + 1 + 2 * 200; i += 2) {
            const QRegularExpressionMatch link = entryLine.match(lines[i]);
            QVERIFY2(link.hasMatch(), qPrintable(lines[i]));
            QCOMPARE(link.captured(1), link.captured(2));
            const QRegularExpressionMatch com = commentLine.match(lines[i + 1]);
            QVERIFY2(com.hasMatch(), qPrintable(lines[i + 1]));
            QVERIFY(!com.captured(1).contains(QStringLiteral(" 》")));
        }
    }

    void sameSeedSameBytesOtherSeedOtherBytes() {
        QCOMPARE(synthetic::keepsakeFile(500, 42), synthetic::keepsakeFile(500, 42));
        QVERIFY(synthetic::keepsakeFile(500, 42) != synthetic::keepsakeFile(500, 43));
        QCOMPARE(synthetic::categoryNames(50, 9), synthetic::categoryNames(50, 9));
        // A longer run starts with the shorter one.
        const QList<synthetic::Entry> shortRun = synthetic::entries(10, 5);
        const QList<synthetic::Entry> longRun = synthetic::entries(20, 5);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(longRun[i].comment, shortRun[i].comment);
    }

    void categoryNamesDifferAndEncode() {
        const QStringList names = synthetic::categoryNames(1000, 1);
        QCOMPARE(names.size(), 1000);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 1000);
        for (const QString& name : names)
            QVERIFY(cp932::canEncode(name));
    }

    void categoryPageHasItsTitleLineFirstInTheBlock() {
        const QList<synthetic::Entry> made = synthetic::entries(30, 11);
        const QByteArray page = synthetic::categoryPage(QStringLiteral("音楽 1"), made);
        QVERIFY(page.contains(
            cp932::encode(u"<!--StartList-->\r\n<H3><I><B>～ 音楽 1 ～</B></I></H3>\r\n<A HREF=")));

        StoringHost host;
        const ListFileResult result = readListFile(page, host);
        QCOMPARE(host.messages, QStringList());
        QVERIFY(result.complete);
        QCOMPARE(result.entries, 30);
        QCOMPARE(host.entries.back().url, made.back().address);
    }

    void wholeCollectionIsLaidOut() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        synthetic::Collection collection;
        collection.keptEntries = 100;
        collection.categories = 12;
        collection.pageEntries = 4;
        collection.firstPageEntries = 50;
        collection.browserFolder = QStringLiteral("/opt/netscape/");
        QString error;
        const std::optional<synthetic::Layout> layout =
            synthetic::layOut(dir.path(), collection, &error);
        QVERIFY2(layout, qPrintable(error));
        QVERIFY(layout->appFolder.endsWith(u'/'));
        QVERIFY(layout->companionFolder.startsWith(layout->appFolder));
        QVERIFY(layout->companionFolder.endsWith(u'/'));

        const QByteArray keepsake = contents(layout->companionFolder + "KEEPSAKE.HTML");
        QCOMPARE(keepsake, synthetic::keepsakeFile(100, collection.seed));
        QCOMPARE(layout->keepsakeBytes, keepsake.size());
        QVERIFY(QFile::exists(layout->companionFolder + "Scribble.ini"));

        const QString ini = layout->appFolder + "KEEPSAKE.INI";
        QCOMPARE(readProfileString(ini, "Scribble", "Folder"), layout->companionFolder);
        QCOMPARE(readProfileString(ini, "Netscape", "Folder"), collection.browserFolder);
        QCOMPARE(layout->categories.size(), 12);
        for (int n = 0; n < 12; ++n) {
            const QString key = QString::number(n).rightJustified(4, u'0');
            QCOMPARE(readProfileString(ini, "Books", key), layout->categories[n]);
            StoringHost host;
            const ListFileResult result =
                readListFile(contents(layout->appFolder + "URL_" + key + ".html"), host);
            QVERIFY(result.complete);
            QCOMPARE(result.entries, n == 0 ? 50 : 4);
        }
        QCOMPARE(readProfileString(ini, "Books", "0012"), QString());
        QVERIFY(contents(ini).contains("\r\n0012=\r\n"));
    }

    void pagesCanBeLeftOut() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        synthetic::Collection collection;
        collection.categories = 3;
        collection.writePages = false;
        const std::optional<synthetic::Layout> layout = synthetic::layOut(dir.path(), collection);
        QVERIFY(layout);
        QVERIFY(!QFile::exists(layout->appFolder + "URL_0000.html"));
        QVERIFY(QFile::exists(layout->appFolder + "KEEPSAKE.INI"));
        QVERIFY(!contents(layout->appFolder + "KEEPSAKE.INI").contains("[Netscape]"));
    }
};

QTEST_GUILESS_MAIN(SyntheticTest)
#include "tst_synthetic.moc"
