// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files that are empty, binary, huge, oddly broken into lines or in another encoding, read by
// the editor through its start-up and its commands: no crash, the messages of the format, and
// every byte outside the list block kept.
#include "keepsake/KeepsakeFormat.h"
#include "pages/IndexFormat.h"
#include "pages/PageFormat.h"
#include "platform/Cp932Codec.h"
#include "support/EditorFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <malloc.h>

// The fuzz targets' checks, to replay their seeds and the inputs that once broke them.
#define KEEPSAKE_FUZZ_NO_ENTRY_POINT
#include "fuzz/fuzz_appender.cpp"
#include "fuzz/fuzz_bookmarks.cpp"
#include "fuzz/fuzz_categorypage.cpp"
#include "fuzz/fuzz_codec.cpp"
#include "fuzz/fuzz_indexpage.cpp"
#include "fuzz/fuzz_keephost.cpp"
#include "fuzz/fuzz_listfile.cpp"
#include "fuzz/fuzz_profile.cpp"

#if defined(__SANITIZE_ADDRESS__)
#define KEEPSAKE_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEEPSAKE_TEST_ASAN 1
#endif
#endif

namespace {

const QString kNoStart = keepsake::kMsgNoStartMarker;
const QString kNoData = QStringLiteral("information|新規ファイルです。|データがありません。");
const QString kRebuilt = QStringLiteral("information|-|[URL_INDEX.HTML]を再構築しました。");

const QByteArray kHead = "<HTML>\r\n<BODY>\r\n<!--StartList-->\r\n";
const QByteArray kFoot = "<!--EndList-->\r\n</BODY></HTML>\r\n";

QStringList shownList(const FakePrompts& prompts) {
    return prompts.describe();
}

QString shown(const FakePrompts& prompts) {
    return shownList(prompts).join(u'\n');
}
QString joined(const QStringList& lines) {
    return lines.join(u'\n');
}

QString critical(const QString& text) {
    return QStringLiteral("critical|-|") + text;
}

QByteArray sjis(const QString& text) {
    return cp932::encode(text);
}

// The two lines of an entry, each with CR LF, in CP932.
QByteArray entryBytes(const QString& url, const QString& comment,
                      const QString& date = QStringLiteral("97/09/15 08:05:00")) {
    return EditorFixture::page(EditorFixture::entry(url, comment, date));
}

// An entry as the editor writes it; kHead names no charset, so its list opens with the META.
QByteArray writtenBytes(const QString& url, const QString& comment) {
    return EditorFixture::page(EditorFixture::written(url, comment));
}
const QByteArray kWrittenHead = kHead + EditorFixture::page({EditorFixture::charsetMeta()});

QByteArray titleBytes(const QString& name) {
    return sjis(pages::titleLine(name) + keepsake::kCrLf);
}

// A keepsake file with two ordinary entries.
QByteArray twoEntries() {
    return kHead + entryBytes("b.example/", "二番") + entryBytes("a.example/", "一番") + kFoot;
}

// Starts an editor whose settings hold `books` and whose keepsake file is `keepsake`.
bool start(EditorFixture& f, const QStringList& books, const QByteArray& keepsake) {
    f.writeSettings(books);
    f.writeKeepsake(keepsake);
    return f.start();
}

QByteArray noBreaks(const QByteArray& bytes, const char* lineEnd) {
    QByteArray copy = bytes;
    return copy.replace("\r\n", lineEnd);
}

int rowOf(const ListRows& list, const QString& text) {
    return static_cast<int>(itemTexts(list).indexOf(text));
}

// A memory figure of this process from /proc/self/status, in bytes: "VmRSS:" for the
// resident memory now, "VmHWM:" for its peak since the last reset.
qint64 memoryStatus(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(field.size()).trimmed().split(' ')[0].toLongLong() * 1024;
        }
    }
    return -1;
}

// Sets the peak back to the memory in use now.
bool resetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

}  // namespace

class BadInputTest : public QObject {
    Q_OBJECT

private slots:
    // ---- Empty files ----

    void anEmptyKeepsakeFileLacksItsStartMarker() {
        EditorFixture f;
        QVERIFY(start(f, {"Music"}, QByteArray()));
        QCOMPARE(shown(f.prompts), joined(QStringList{critical(kNoStart)}));
        QCOMPARE(f.editor().KeepCount, 0);
        QCOMPARE(f.editor().KeepHead, QString());
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.TMP"), QByteArray());
        QCOMPARE(f.readFile(f.companionFolder() + "KEEPSAKE.HTML"), QByteArray());
        // Never read whole, the file gives the first page the standard skeleton.
        f.close();
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.HTML"),
                 keepsake::standardHead() + keepsake::standardFoot());
    }

    void anEmptyCategoryPageIsNeitherListedNorWrittenOver() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "URL_0000.html", QByteArray());
        QVERIFY(start(f, {"Music"}, twoEntries()));
        f.prompts.clear();
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(shown(f.prompts), joined(QStringList({critical(kNoStart), kNoData})));
        QCOMPARE(w.lstSub.count(), 0);

        f.prompts.clear();
        QVERIFY(!w.WriteKindPage(QStringLiteral("0000"), QStringLiteral("Music")));
        const QString path = f.appFolder() + "URL_0000.html";
        QCOMPARE(shown(f.prompts), joined(QStringList{QStringLiteral("information|-|") +
                                                      pages::incompletePageMessage(path)}));
        QCOMPARE(f.readFile(path), QByteArray());
    }

    void anEmptyIndexPageIsRebuilt() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "URLINDEX.HTML", QByteArray());
        QVERIFY(start(f, {"Music"}, twoEntries()));
        QCOMPARE(shown(f.prompts), joined(QStringList({critical(kNoStart), kRebuilt})));
        QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"),
                 indexpage::standardHead() + "\r\n" + indexpage::standardFoot() + "\r\n");
    }

    void anEmptySettingsFileAsksForTheCompanionFolder() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", QByteArray());
        // Without a companion folder the program's own folder holds the keepsake file.
        f.writeFile(f.appFolder() + "KEEPSAKE.HTML", twoEntries());
        QVERIFY(f.start());
        QCOMPARE(shown(f.prompts), joined(QStringList{QStringLiteral("dialog|frmFolder")}));
        QCOMPARE(f.editor().KeepCount, 2);
        QCOMPARE(f.editor().lstKinds.count(), 0);
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"),
                 sjis(QStringLiteral("[Scribble]\r\nFolder=") + f.appFolder() + "\r\n"));
    }

    // ---- A file of NUL bytes ----

    void filesOfNulBytesAreReadAsOneLineOfText() {
        const QByteArray nuls(65536, '\0');
        EditorFixture f;
        f.writeFile(f.appFolder() + "URL_0000.html", nuls);
        f.writeFile(f.appFolder() + "URLINDEX.HTML", nuls);
        QVERIFY(start(f, {"Music"}, nuls));
        QCOMPARE(shown(f.prompts),
                 joined(QStringList({critical(kNoStart), critical(kNoStart), kRebuilt})));
        KeepsakeEditor& w = f.editor();
        QVERIFY(w.KeepHead.isEmpty());  // never read whole, the file shapes no new page
        QCOMPARE(w.KeepCount, 0);

        f.prompts.clear();
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(shown(f.prompts), joined(QStringList({critical(kNoStart), kNoData})));
        QVERIFY(!w.WriteKindPage(QStringLiteral("0000"), QStringLiteral("Music")));
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), nuls);
        QCOMPARE(f.readFile(f.companionFolder() + "KEEPSAKE.HTML"), nuls);
    }

    void aSettingsFileOfNulBytesKeepsThemWhenWrittenTo() {
        const QByteArray nuls(4096, '\0');
        EditorFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", nuls);
        f.writeFile(f.appFolder() + "KEEPSAKE.HTML", twoEntries());
        QVERIFY(f.start());
        QCOMPARE(shown(f.prompts), joined(QStringList{QStringLiteral("dialog|frmFolder")}));
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"),
                 nuls + sjis(QStringLiteral("\r\n[Scribble]\r\nFolder=") + f.appFolder() + "\r\n"));
    }

    // ---- Very long lines ----

    void aTenMegabyteLineWithoutLineBreak() {
        const QByteArray line(10 * 1024 * 1024, 'x');
        EditorFixture f;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(start(f, {"Music"}, line));
        QCOMPARE(shown(f.prompts), joined(QStringList{critical(kNoStart)}));
        QVERIFY(f.editor().KeepHead.isEmpty());
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.TMP"), line);
        qInfo("10 MB keepsake line: %lld ms", clock.elapsed());
    }

    void aTenMegabyteAddressAndFooterLineWriteBackWhole() {
        const QString url = QStringLiteral("long.example/") + QString(10 * 1024 * 1024, u'p');
        const QByteArray lastLine(10 * 1024 * 1024, 'f');
        // The footer's last line has no line break: the page comes back with one.
        const QByteArray page =
            kHead + titleBytes("Music") + entryBytes(url, "長い") + "<!--EndList-->\r\n" + lastLine;
        EditorFixture f;
        f.writeFile(f.appFolder() + "URL_0000.html", page);
        QVERIFY(start(f, {"Music"}, twoEntries()));
        f.prompts.clear();
        KeepsakeEditor& w = f.editor();
        QElapsedTimer clock;
        clock.start();
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(shown(f.prompts), QString());
        QCOMPARE(w.KindCount, 1);
        QCOMPARE(w.KindURL[1], url);
        QVERIFY(w.WriteKindPage(QStringLiteral("0000"), QStringLiteral("Music")));
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"),
                 kWrittenHead + titleBytes("Music") + writtenBytes(url, "長い") +
                     "<!--EndList-->\r\n" + lastLine + "\r\n");
        qInfo("10 MB address read and written: %lld ms", clock.elapsed());
    }

    void addressesAndCommentsOfAHundredThousandCharacters() {
        const QString url = QStringLiteral("wide.example/?q=") + QString(100000 - 16, u'q');
        const QString comment = QString(100000, u'長');
        QCOMPARE(url.size(), 100000);
        const QByteArray keepsake =
            kHead + entryBytes(url, comment) + entryBytes("a/", "b") + kFoot;
        const QByteArray page = kHead + titleBytes("Music") + entryBytes(url, comment) + kFoot;
        EditorFixture f;
        f.writeFile(f.appFolder() + "URL_0000.html", page);
        QVERIFY(start(f, {"Music"}, keepsake));
        QCOMPARE(shown(f.prompts), QString());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(itemTexts(w.lstURLs[2]), QStringList({url, "a/"}));
        QCOMPARE(w.KeepCom[1], comment);

        w.lstKinds.setCurrentRow(0);
        QCOMPARE(shown(f.prompts), QString());
        QCOMPARE(itemTexts(w.lstSub), QStringList{comment});
        QVERIFY(w.WriteKindPage(QStringLiteral("0000"), QStringLiteral("Music")));
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"),
                 kWrittenHead + titleBytes("Music") + writtenBytes(url, comment) + kFoot);
    }

    // ---- Line breaks ----

    void loneCrAndLoneLfEndLinesLikeCrLf_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("CR") << QByteArray("\r");
        QTest::newRow("LF") << QByteArray("\n");
    }

    void loneCrAndLoneLfEndLinesLikeCrLf() {
        QFETCH(QByteArray, lineEnd);
        const QByteArray page = "<HTML>\r\n<!--StartList-->\r\n" + titleBytes("Music") +
                                entryBytes("b.example/", "二番") +
                                entryBytes("a.example/", "一番") + kFoot;
        EditorFixture f;
        f.writeSettings({"Music", "Art"});
        const QString ini = f.appFolder() + "KEEPSAKE.INI";
        f.writeFile(ini, noBreaks(f.readFile(ini), lineEnd.constData()));
        f.writeFile(f.appFolder() + "URL_0000.html", noBreaks(page, lineEnd.constData()));
        f.writeKeepsake(noBreaks(twoEntries(), lineEnd.constData()));
        QVERIFY(f.start());
        QCOMPARE(shown(f.prompts), QString());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(itemTexts(w.lstURLs[2]), QStringList({"b.example/", "a.example/"}));
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"Art", "Music"}));

        w.lstKinds.setCurrentRow(rowOf(w.lstKinds, "Music"));
        QCOMPARE(shown(f.prompts), QString());
        QCOMPARE(itemTexts(w.lstSub), QStringList({"一番", "二番"}));
        QVERIFY(w.WriteKindPage(QStringLiteral("0000"), QStringLiteral("Music")));
        // Written back with CR LF throughout, the entries sorted by comment.
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"),
                 "<HTML>\r\n<!--StartList-->\r\n" +
                     EditorFixture::page({EditorFixture::charsetMeta()}) + titleBytes("Music") +
                     writtenBytes("a.example/", "一番") + writtenBytes("b.example/", "二番") +
                     kFoot);
    }

    // ---- Another encoding ----

    void aUtf8PageKeepsItsBytesOutsideTheListBlock() {
        const QByteArray head =
            "\xEF\xBB\xBF<HTML><HEAD><META charset=\"UTF-8\">\r\n" +
            QStringLiteral("<TITLE>日本語のページ ✓ — ©</TITLE></HEAD>\r\n").toUtf8() +
            "<!--StartList-->\r\n";
        const QByteArray foot =
            "<!--EndList-->\r\n" + QStringLiteral("<P>フッター 🎌 ¥ ～ 〜</P></HTML>\r\n").toUtf8();
        const QByteArray page = head + titleBytes("Music") + entryBytes("b.example/", "bee") +
                                entryBytes("a.example/", "ant") + foot;
        EditorFixture f;
        f.writeFile(f.appFolder() + "URL_0000.html", page);
        QVERIFY(start(f, {"Music"}, twoEntries()));
        f.prompts.clear();
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(shown(f.prompts), QString());
        QVERIFY(w.WriteKindPage(QStringLiteral("0000"), QStringLiteral("Music")));
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"),
                 head + titleBytes("Music") + writtenBytes("a.example/", "ant") +
                     writtenBytes("b.example/", "bee") + foot);
    }

    void aUtf8KeepsakeFileGivesItsSkeletonToANewPage() {
        const QByteArray head =
            QStringLiteral("<HTML><TITLE>キープ ✓</TITLE>\r\n<!--StartList-->\r\n").toUtf8();
        const QByteArray foot = QStringLiteral("<!--EndList-->\r\n<P>終わり 🎌</P>\r\n").toUtf8();
        EditorFixture f;
        QVERIFY(start(f, {"Music"}, head + entryBytes("a.example/", "ant") + foot));
        QCOMPARE(shown(f.prompts), QString());
        f.editor().lstKinds.setCurrentRow(0);  // the page is missing: it is created
        // Its head names no charset, so the page says Shift_JIS like every page the editor
        // makes: only the list block is the editor's.
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"),
                 head + EditorFixture::page({EditorFixture::charsetMeta()}) + foot);
    }

    // ---- A million kept entries ----

    void aMillionKeptEntriesLoadInBoundedMemory_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("1,000,000") << 1000000;
        QTest::newRow("200,000") << 200000;
    }

    void aMillionKeptEntriesLoadInBoundedMemory() {
        QFETCH(int, count);
#ifdef KEEPSAKE_TEST_ASAN
        if (count > 200000)
            QSKIP("too slow under AddressSanitizer; the 200,000 case runs");
#else
        if (count < 1000000)
            QSKIP("the 1,000,000 case covers it");
#endif
        EditorFixture f;
        f.writeSettings({"Music"});
        qint64 fileSize = 0;
        {
            QByteArray bytes = kHead;
            bytes.reserve(qsizetype(count) * 110 + 100);
            const QByteArray open = sjis(QStringLiteral("《 コメント "));
            const QByteArray close = sjis(QStringLiteral(" 》97/09/15 08:05:00<P>\r\n"));
            for (int i = 0; i < count; ++i) {
                const QByteArray n = QByteArray::number(i);
                bytes += "<A HREF=\"http://www.example.com/page/" + n + "\">www.example.com/page/" +
                         n + "</A><BR>\r\n" + open + n + close;
            }
            bytes += kFoot;
            f.writeKeepsake(bytes);
            fileSize = bytes.size();
        }
        // Free memory goes back to the system first, so that what earlier tests left in the
        // heap does not hide the growth.
        malloc_trim(0);
        QVERIFY(resetPeakMemory());
        const qint64 before = memoryStatus("VmRSS:");
        QVERIFY(before > 0);
        QElapsedTimer clock;
        clock.start();

        QVERIFY(f.start());
        const qint64 elapsed = clock.elapsed();
        const qint64 growth = memoryStatus("VmHWM:") - before;
        qInfo("%d entries, %lld MB file: loaded in %lld ms, peak memory grew by %lld MB", count,
              fileSize >> 20, elapsed, growth >> 20);
        QCOMPARE(shown(f.prompts), QString());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(w.KeepCount, count);
        for (const ListRows& list : w.lstURLs)
            QCOMPARE(list.count(), count);
        const QString last = QString::number(count - 1);
        QCOMPARE(w.lstURLs[2].text(0), QString("www.example.com/page/0"));
        QCOMPARE(w.lstURLs[2].text(count - 1), "www.example.com/page/" + last);
        QCOMPARE(w.lstURLs[1].text(0), QString("コメント 0"));
        QCOMPARE(w.KeepCom[count], QString("コメント " + last));
#ifdef KEEPSAKE_TEST_ASAN
        // AddressSanitizer's red zones and its quarantine of freed memory say nothing about
        // the editor's own needs: the plain build checks the bound.
#else
        // What the lists hold must stay within a few times the file they show: each entry is
        // three list items and two strings, about 6.2 times its bytes in the file.
        QVERIFY2(
            growth < 8 * fileSize,
            qPrintable(
                QStringLiteral("%1 MB for a %2 MB file").arg(growth >> 20).arg(fileSize >> 20)));
#endif
    }

    // ---- The category list ----

    void tenThousandCategoriesLoadAndIndex() {
        QStringList names;
        for (int i = 0; i < 10000; ++i)
            names << QStringLiteral("分類 %1").arg(i, 5, 10, QChar(u'0'));
        EditorFixture f;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(start(f, names, twoEntries()));
        QCOMPARE(shown(f.prompts), QString());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(itemTexts(w.lstKinds), names);
        QCOMPARE(itemData(w.lstKinds).last(), 9999);

        const QByteArray ini = f.readFile(f.appFolder() + "KEEPSAKE.INI");
        f.close();
        QCOMPARE(shown(f.prompts), QString());
        qInfo("10,000 categories loaded and indexed in %lld ms", clock.elapsed());
        QStringList lines;
        for (int i = 0; i < 10000; ++i) {
            const QString link =
                i == 0 ? indexpage::kPageZeroFile : pages::pageFileName(pages::pageNumberText(i));
            lines << indexpage::indexLine(link, names[i]);
        }
        QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"),
                 indexpage::compose(indexpage::standardHead(), lines, indexpage::standardFoot()));
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"), ini + "10000=\r\n");
    }

    void aGapInTheCategoryListEndsIt() {
        QStringList names;
        for (int i = 0; i < 10000; ++i)
            names << QStringLiteral("Book %1").arg(i, 5, 10, QChar(u'0'));
        EditorFixture f;
        f.writeSettings(names);
        const QString iniPath = f.appFolder() + "KEEPSAKE.INI";
        QByteArray ini = f.readFile(iniPath);
        ini.replace("\r\n5000=Book 05000\r\n", "\r\n");
        f.writeFile(iniPath, ini);
        f.writeKeepsake(twoEntries());
        QVERIFY(f.start());
        QCOMPARE(f.editor().lstKinds.count(), 5000);
        QCOMPARE(itemTexts(f.editor().lstKinds), names.mid(0, 5000));

        // The end mark goes where the list ended; the names after the gap stay in the file.
        f.close();
        QCOMPARE(shown(f.prompts), QString());
        QCOMPARE(f.readFile(iniPath), ini + "5000=\r\n");
        // The next start loads the same list.
        QVERIFY(f.start());
        QCOMPARE(f.editor().lstKinds.count(), 5000);
    }

    // A read gives back 1,023 bytes of a value: a longer name, typed for a new category or a
    // rename, is refused; one that fits is stored and reads back whole.
    void namesAtTheLengthAReadGivesBack_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("stored");
        QTest::newRow("1,023 bytes") << QString(1023, u'a') << true;
        QTest::newRow("1,024 bytes") << QString(1024, u'a') << false;
        QTest::newRow("511 double-byte and 1 byte") << QString(511, u'あ') + u'a' << true;
        QTest::newRow("512 double-byte") << QString(512, u'あ') << false;
        QTest::newRow("1,022 bytes and a double-byte") << QString(1022, u'a') + u'あ' << false;
    }

    void namesAtTheLengthAReadGivesBack() {
        QFETCH(QString, name);
        QFETCH(bool, stored);
        EditorFixture f;
        QVERIFY(start(f, {"Music"}, twoEntries()));
        KeepsakeEditor& w = f.editor();
        w.lstKinds.setCurrentRow(0);  // Music, whose page is created now
        const QString iniPath = f.appFolder() + "KEEPSAKE.INI";
        const QByteArray ini = f.readFile(iniPath);
        f.prompts.clear();
        f.prompts.answerInput(name);
        w.cmdNew_Click();
        f.prompts.answerInput(name);
        w.Command1_Click();
        if (!stored) {
            const QString refused = QStringLiteral(
                "項目名が長すぎます。項目名はShift_JISで1,023バイト（全角文字は1文字"
                "2バイト）までにしてください。");
            QCOMPARE(f.prompts.messageTexts(), QStringList({refused, refused}));
            QCOMPARE(itemTexts(w.lstKinds), QStringList({"Music"}));
            QCOMPARE(f.readFile(iniPath), ini);
            return;
        }
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QCOMPARE(f.readFile(iniPath), QByteArray(ini).replace("0000=Music", "0000=" + sjis(name)) +
                                          "0001=" + sjis(name) + "\r\n");
        QVERIFY(f.start());
        QCOMPARE(itemTexts(f.editor().lstKinds), QStringList({name, name}));
    }

    void aNameTooLongToReadIsNeverWrittenBackCut() {
        // Stored by hand: 1,200 characters, 2,400 bytes; a read gives back 511 of them.
        const QString name(1200, u'本');
        EditorFixture f;
        QVERIFY(start(f, {"Music", name}, twoEntries()));
        KeepsakeEditor& w = f.editor();
        const QString iniPath = f.appFolder() + "KEEPSAKE.INI";
        const QByteArray ini = f.readFile(iniPath);
        const int row = rowOf(w.lstKinds, name.left(511));
        QVERIFY(row >= 0);
        // Its missing page is created, a rename that keeps the name and the close write nothing
        // for it: only the end mark.
        w.lstKinds.setCurrentRow(row);
        QVERIFY(f.exists(f.appFolder() + "URL_0001.html"));
        w.Command1_Click();  // unscripted: the default text comes back
        f.close();
        QCOMPARE(f.readFile(iniPath), ini + "0002=\r\n");
        // A new name replaces it.
        QVERIFY(f.start());
        f.editor().lstKinds.setCurrentRow(rowOf(f.editor().lstKinds, name.left(511)));
        f.prompts.answerInput(QStringLiteral("本棚"));
        f.editor().Command1_Click();
        QCOMPARE(f.readFile(iniPath),
                 QByteArray(ini + "0002=\r\n").replace(sjis(name), sjis(QStringLiteral("本棚"))));
    }

    // ---- Inputs saved from fuzzing ----

    // Every seed of the fuzz targets and every input in tests/data/regressions (named after
    // its target: "fuzz_profile-what-it-shows.bin"), through the checks of its target.
    void savedFuzzInputs_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        const QString seeds = QStringLiteral(KEEPSAKE_TEST_DATA "/../fuzz/corpus");
        const QString regressions = QStringLiteral(KEEPSAKE_TEST_DATA "/regressions");
        QDirIterator it(seeds, QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString target = info.dir().dirName();
            QTest::addRow("%s", qPrintable(target + u'/' + info.fileName()))
                << target << info.filePath();
            ++count;
        }
        const QFileInfoList saved = QDir(regressions).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& info : saved) {
            QTest::addRow("%s", qPrintable(info.fileName()))
                << info.fileName().section(u'-', 0, 0) << info.filePath();
        }
        QVERIFY2(count >= 5, qPrintable(seeds));
    }

    void savedFuzzInputs() {
        QFETCH(QString, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray bytes = file.readAll();
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        const auto size = static_cast<std::size_t>(bytes.size());
        if (target == QStringLiteral("fuzz_codec")) {
            fuzz_codec::testOneInput(data, size);
        } else if (target == QStringLiteral("fuzz_listfile")) {
            fuzz_listfile::testOneInput(data, size);
        } else if (target == QStringLiteral("fuzz_categorypage")) {
            fuzz_categorypage::testOneInput(data, size);
        } else if (target == QStringLiteral("fuzz_indexpage")) {
            fuzz_indexpage::testOneInput(data, size);
        } else if (target == QStringLiteral("fuzz_profile")) {
            fuzz_profile::testOneInput(data, size);
        } else if (target == QStringLiteral("fuzz_appender")) {
            fuzz_appender::testOneInput(data, size);
        } else if (target == QStringLiteral("fuzz_bookmarks")) {
            fuzz_bookmarks::testOneInput(data, size);
        } else if (target == QStringLiteral("fuzz_keephost")) {
            fuzz_keephost::testOneInput(data, size);
        } else {
            QFAIL(qPrintable(QStringLiteral("no fuzz target called ") + target));
        }
    }

    // ---- A settings file of binary garbage ----

    void aSettingsFileOfBinaryGarbage() {
        QRandomGenerator random(77);
        QByteArray garbage(65536, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random.bounded(256));
        garbage += "\x81";  // ends in half a double-byte character
        EditorFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", garbage);
        f.writeFile(f.appFolder() + "KEEPSAKE.HTML", twoEntries());
        QVERIFY(f.start());
        QCOMPARE(shown(f.prompts), joined(QStringList{QStringLiteral("dialog|frmFolder")}));
        QCOMPARE(f.editor().KeepCount, 2);
        f.close();
        // The category list was not loaded (the dialog was declined): no end mark.
        QCOMPARE(
            f.readFile(f.appFolder() + "KEEPSAKE.INI"),
            garbage + sjis(QStringLiteral("\r\n[Scribble]\r\nFolder=") + f.appFolder() + "\r\n"));
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_badinput.moc"
