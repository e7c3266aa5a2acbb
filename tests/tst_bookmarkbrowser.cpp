// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Bookmark files with the real browser: Debian's firefox-esr, headless, in a throw-away profile
// inside a network namespace of the test's own with only the loopback device up. The exported
// collection is imported by Firefox (browser.places.importBookmarksHTML) and its places.sqlite
// read with sqlite3; and bookmarks that Firefox holds are exported by it at shutdown
// (browser.bookmarks.autoExportHTML) and imported here. Firefox is quit through its Marionette
// port on 127.0.0.1, so that it shuts down as after a quit from its menu. Needs root.
#include "bookmarks/CollectionBookmarks.h"
#include "keepsake/ListFileReader.h"
#include "platform/Cp932Codec.h"
#include "support/ListFileBytes.h"
#include "support/StagedProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* const kStage = "KEEPSAKE_BOOKMARK_BROWSER_STAGE";
const QString kFirefox = QStringLiteral("/usr/bin/firefox-esr");
const QString kSqlite = QStringLiteral("/usr/bin/sqlite3");

// A list file holding `entries`, each with its comment and date.
QByteArray listOf(const QList<std::array<QString, 3>>& entries) {
    QStringList lines;
    for (const auto& [url, comment, date] : entries)
        lines += ListFileBytes::entry(url, comment, date);
    return ListFileBytes::listFile(lines);
}

// One Marionette message: its length, a colon and the JSON.
bool marionette(QTcpSocket& s, const QByteArray& json) {
    s.write(QByteArray::number(json.size()) + ':' + json);
    if (!s.waitForBytesWritten(10000))
        return false;
    return s.waitForReadyRead(30000) && !s.readAll().isEmpty();
}

// Starts Firefox on about:blank with `profile`, waits until it listens, and quits it.
void runFirefox(const QString& profile) {
    QProcess firefox;
    firefox.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    firefox.setStandardOutputFile(QProcess::nullDevice());
    firefox.start(kFirefox, {"--headless", "--no-remote", "--marionette", "--profile", profile,
                             "about:blank"});
    QVERIFY(firefox.waitForStarted());
    QTcpSocket s;
    QVERIFY(QTest::qWaitFor(
        [&] {
            s.connectToHost(QStringLiteral("127.0.0.1"), 2828);
            if (s.waitForConnected(1000))
                return true;
            s.abort();
            QTest::qWait(500);
            return false;
        },
        180000));
    QVERIFY(s.waitForReadyRead(30000));  // the hello
    s.readAll();
    QVERIFY(marionette(s, "[0,1,\"WebDriver:NewSession\",{}]"));
    marionette(s, "[0,2,\"Marionette:Quit\",{\"flags\":[\"eAttemptQuit\"]}]");
    QVERIFY(firefox.waitForFinished(120000));
    QCOMPARE(firefox.exitCode(), 0);
}

// A profile that imports `bookmarksFile` at its start, and exports its bookmarks there at
// its end when `exportAtEnd`.
QString makeProfile(const QString& folder, const QString& bookmarksFile, bool exportAtEnd) {
    const QString profile = folder + "/profile";
    QDir().mkpath(profile);
    ListFileBytes::writeFile(
        profile + "/user.js",
        "user_pref(\"browser.places.importBookmarksHTML\", true);\n"
        "user_pref(\"browser.bookmarks.file\", \"" +
            bookmarksFile.toUtf8() +
            "\");\n"
            "user_pref(\"browser.bookmarks.autoExportHTML\", " +
            (exportAtEnd ? "true" : "false") +
            ");\n"
            "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
            "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
            "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n");
    return profile;
}

// The bookmarks of the bookmarks menu, in folders at any depth: folder title, url, title and
// date in seconds, one row each, in the order they were added.
QStringList placesBookmarks(const QString& profile) {
    QProcess sqlite;
    sqlite.start(kSqlite,
                 {"-batch", "-noheader", "-separator", "|", "-readonly", profile + "/places.sqlite",
                  "WITH RECURSIVE menu(id) AS (SELECT id FROM moz_bookmarks WHERE guid = "
                  "'menu________' UNION ALL SELECT b.id FROM moz_bookmarks b JOIN menu ON "
                  "b.parent = menu.id) "
                  "SELECT f.title, p.url, b.title, b.dateAdded / 1000000 FROM moz_bookmarks b "
                  "JOIN menu ON menu.id = b.id JOIN moz_places p ON p.id = b.fk "
                  "JOIN moz_bookmarks f ON f.id = b.parent WHERE b.type = 1 ORDER BY b.id"});
    if (!sqlite.waitForFinished(30000) || sqlite.exitCode() != 0)
        return {QStringLiteral("sqlite3 failed: ") +
                QString::fromUtf8(sqlite.readAllStandardError())};
    return QString::fromUtf8(sqlite.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

class Collector : public ListFileHost {
public:
    void entry(keepsake::Entry e) override {
        lines << QStringLiteral("http://") + e.url + u'|' + e.com + u'|' +
                     QString::number(e.date.toSecsSinceEpoch());
    }
    void failure(const QString& m) override { lines << m; }
    bool askContinue() override { return true; }
    QStringList lines;
};

}  // namespace

class BookmarkBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(staged::reachesOnlyThisMachine());
        QVERIFY2(QFileInfo(kFirefox).isExecutable(), "firefox-esr is not installed");
        QVERIFY2(QFileInfo(kSqlite).isExecutable(), "sqlite3 is not installed");
    }

    void firefoxImportsTheExportedCollection() {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        ListFileBytes::writeFile(
            folder + "KEEPSAKE.INI",
            cp932::encode(QStringLiteral("[Books]\r\n0000=音楽\r\n0001=Art & <b>\r\n")));
        ListFileBytes::writeFile(
            folder + "URL_0000.html",
            listOf({{"music.example/曲", "日本語の「曲」", "97/09/15 08:05:00"},
                    {"a.example/?x=1&y=2", "A \"quoted\" & <tag>", "24/01/02 03:04:05"}}));
        ListFileBytes::writeFile(folder + "URL_0001.html",
                                 listOf({{"art.example/", "美術館", "99/12/31 23:59:59"}}));
        ListFileBytes::writeFile(folder + "KEEPSAKE.HTML",
                                 listOf({{"art.example/", "filed already", "24/01/02 03:04:05"},
                                         {"kept.example/", "キープ中", "24/01/02 03:04:05"}}));
        const QString file = folder + "exported.html";
        const bookmarks::ExportResult exported =
            bookmarks::exportCollection({folder, folder}, {{1, "Art & <b>"}, {0, "音楽"}}, file);
        QVERIFY2(exported.ok, qPrintable(exported.message));

        const QString profile = makeProfile(dir.path(), file, false);
        runFirefox(profile);
        QCOMPARE(placesBookmarks(profile),
                 (QStringList{"Art & <b>|http://art.example/|美術館|946684799",
                              "音楽|http://music.example/%E6%9B%B2|日本語の「曲」|874310700",
                              "音楽|http://a.example/?x=1&y=2|A \"quoted\" & <tag>|1704164645",
                              "キープセイク|http://kept.example/|キープ中|1704164645"}));
    }

    void bookmarksExportedByFirefoxAreKept() {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QString file = folder + "bookmarks.html";
        ListFileBytes::writeFile(
            file,
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
            "<DL><p>\n<DT><H3>外</H3>\n<DL><p>\n<DT><H3>内</H3>\n<DL><p>\n"
            "<DT><A HREF=\"http://deep.example/\" ADD_DATE=\"874310700\">深い &amp; "
            "&quot;題&quot;</A>\n</DL><p>\n"
            "<DT><A HREF=\"https://secure.example/p\" ADD_DATE=\"1704164645\">"
            "安全</A>\n</DL><p>\n"
            "<DT><A HREF=\"http://top.example/\" ADD_DATE=\"946684799\">トップ</A>\n"
            "</DL>\n");
        const QString profile = makeProfile(dir.path(), file, true);
        runFirefox(profile);
        const QByteArray written = ListFileBytes::readFile(file);
        QVERIFY2(written.contains("automatically generated"), written.constData());

        // What Firefox holds, as the keepsake file holds it.
        QStringList expected;
        for (const QString& row : placesBookmarks(profile)) {
            QString url = row.section(u'|', 1, 1);
            if (url.startsWith(QStringLiteral("https://")))
                url = QStringLiteral("http://") + url.mid(8);
            expected << url + u'|' + row.section(u'|', 2, 2) + u'|' + row.section(u'|', 3, 3);
        }
        QCOMPARE(expected.size(), 3);

        ListFileBytes::writeFile(folder + "KEEPSAKE.HTML", ListFileBytes::listFile({}));
        const bookmarks::ImportResult r =
            bookmarks::importBookmarks({folder, folder}, {}, file, QDateTime::currentDateTime());
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.kept, 3);
        QFile keepsake(folder + "KEEPSAKE.HTML");
        QVERIFY(keepsake.open(QIODevice::ReadOnly));
        Collector c;
        readListFile(keepsake.readAll(), c);
        c.lines.sort();
        expected.sort();
        QCOMPARE(c.lines, expected);
    }
};

int main(int argc, char** argv) {
    if (const int status = staged::enterLoopback(kStage, argv, false, false); status >= 0)
        return status;
    qputenv("MOZ_CRASHREPORTER_DISABLE", "1");
    QCoreApplication app(argc, argv);
    BookmarkBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_bookmarkbrowser.moc"
