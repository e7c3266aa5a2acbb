// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Keeping an entry in the keepsake file: the address and comment as they are stored, the bytes
// of the file after the insert, the missing file restored or made, appends from two processes
// at once, and keepsake-keep itself as a command and as the browsers' host.
#include "collecting/KeepHost.h"
#include "collecting/KeepsakeAppend.h"
#include "keepsake/ListFileReader.h"
#include "platform/Cp932Codec.h"
#include "support/ListFileBytes.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace collecting;

namespace {

const char* const kChildFolder = "KEEPSAKE_APPEND_CHILD_FOLDER";
const char* const kChildTag = "KEEPSAKE_APPEND_CHILD_TAG";
constexpr int kEachChild = 200;
const QDateTime kDate(QDate(1997, 9, 15), QTime(8, 5, 0));

struct ReadBack : ListFileHost {
    QList<keepsake::Entry> entries;
    QStringList failures;
    void entry(keepsake::Entry e) override { entries.append(std::move(e)); }
    void failure(const QString& message) override { failures << message; }
    bool askContinue() override { return true; }
};

ReadBack readBack(const QByteArray& bytes) {
    ReadBack host;
    (void)readListFile(bytes, host);
    return host;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray entryLines(const QByteArray& url, const QString& comment, const QByteArray& date) {
    return "<A HREF=\"http://" + url + "\">" + url + "</A><BR>\r\n" +
           cp932::encode(QStringLiteral("《 ") + comment + QStringLiteral(" 》")) + date +
           "<P>\r\n";
}

// JSON written with single quotes, which stand for double quotes.
QByteArray json(const char* text) {
    return QByteArray(text).replace('\'', '"');
}

QByteArray framed(const QByteArray& message) {
    return frame(message);
}

// The framed answers on a host's standard output, each parsed; nothing else may be there.
QList<QJsonObject> answers(QByteArray out, bool* clean) {
    QList<QJsonObject> list;
    *clean = true;
    while (!out.isEmpty()) {
        quint32 size = 0;
        if (out.size() < 4) {
            *clean = false;
            break;
        }
        std::memcpy(&size, out.constData(), 4);
        if (out.size() < 4 + qsizetype(size)) {
            *clean = false;
            break;
        }
        list.append(QJsonDocument::fromJson(out.mid(4, size)).object());
        out.remove(0, 4 + size);
    }
    return list;
}

}  // namespace

class KeepsakeAppendTest : public QObject {
    Q_OBJECT

private slots:
    void entriesAsTheyAreStored_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("com");
        QTest::addColumn<QString>("error");
        const QString none;
        QTest::newRow("http dropped") << "http://a.example/x?y=1"
                                      << "コメント" << none << "a.example/x?y=1"
                                      << "コメント" << none;
        QTest::newRow("https dropped") << "https://a.example/"
                                       << "c" << none << "a.example/"
                                       << "c" << none;
        QTest::newRow("https default port") << "https://a.example:443/p"
                                            << "c" << none << "a.example/p"
                                            << "c" << none;
        QTest::newRow("https other port") << "https://a.example:8443/"
                                          << "c" << none << none << none << "ポート番号8443のhttps";
        QTest::newRow("http other port") << "http://a.example:8080/"
                                         << "c" << none << "a.example:8080/"
                                         << "c" << none;
        QTest::newRow("no scheme, host and port") << "localhost:8080/"
                                                  << "c" << none << "localhost:8080/"
                                                  << "c" << none;
        for (const char* scheme : {"file:///etc/passwd", "about:blank", "javascript:alert(1)",
                                   "data:text/html,x", "ftp://a.example/"}) {
            const QString address = QString::fromLatin1(scheme);
            QTest::newRow(scheme) << address << "c" << none << none << none
                                  << address.first(address.indexOf(u':') + 1) +
                                         QStringLiteral("のアドレスはキープできません");
        }
        QTest::newRow("empty address") << "http://"
                                       << "c" << none << none << none << "アドレスが空です。";
        QTest::newRow("quote percent-encoded") << "http://a.example/\"q\""
                                               << "c" << none << "a.example/%22q%22"
                                               << "c" << none;
        QTest::newRow("blank and non-ASCII encoded") << "http://a.example/a b/日"
                                                     << "c" << none << "a.example/a%20b/%E6%97%A5"
                                                     << "c" << none;
        QTest::newRow("line breaks become blanks") << "http://a/"
                                                   << "一\r\n二\n三\t四" << none << "a/"
                                                   << "一  二 三 四" << none;
        QTest::newRow("comment end kept out") << "http://a/"
                                              << "前 》後  》末 》" << none << "a/"
                                              << "前》後》末》" << none;
        QTest::newRow("Windows fallback") << "http://a/"
                                          << "〜−" << none << "a/"
                                          << "～－" << none;
        QTest::newRow("not in the code page") << "http://a/"
                                              << "é😀ü" << none << "a/"
                                              << "???" << none;
        QTest::newRow("lone surrogate")
            << "http://a/" << QString(QChar(0xDC22)) + "x" << none << "a/"
            << "?x" << none;
        QTest::newRow("trimmed") << "http://a/"
                                 << "\u3000 c \u3000" << none << "a/"
                                 << "c" << none;
        QTest::newRow("empty comment takes the title") << "http://a/"
                                                       << " \u3000 "
                                                       << "題 》名"
                                                       << "a/"
                                                       << "題》名" << none;
        QTest::newRow("no title takes the address") << "https://a/b"
                                                    << ""
                                                    << "\u3000"
                                                    << "a/b"
                                                    << "a/b" << none;
    }
    void entriesAsTheyAreStored() {
        QFETCH(QString, address);
        QFETCH(QString, comment);
        QFETCH(QString, title);
        QFETCH(QString, url);
        QFETCH(QString, com);
        QFETCH(QString, error);
        const KeptEntry entry = prepareEntry(address, comment, title);
        if (!error.isEmpty()) {
            QVERIFY2(entry.error.startsWith(error), qPrintable(entry.error));
            return;
        }
        QCOMPARE(entry.error, QString());
        QCOMPARE(entry.url, url);
        QCOMPARE(entry.com, com);
        // What is stored reads back as it is.
        QByteArray bytes;
        QString why;
        QVERIFY(insertEntry(keepsakeSkeleton(), entry, kDate, &bytes, &why));
        const ReadBack back = readBack(bytes);
        QCOMPARE(back.failures, QStringList());
        QCOMPARE(back.entries.size(), 1);
        QCOMPARE(back.entries[0].url, url);
        QCOMPARE(back.entries[0].com, com);
    }

    void insertedBytes_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QByteArray>("expected");  // empty: refused
        QTest::addColumn<QString>("error");
        const QByteArray one = entryLines("a/", QStringLiteral("一"), "97/09/15 08:05:00");
        const QByteArray two = entryLines("a/", QStringLiteral("一"), "29/12/31 23:59:59");
        const QByteArray four = entryLines("a/", QStringLiteral("一"), "2030/01/01 00:00:00");
        const QByteArray old = entryLines("o/", QStringLiteral("古"), "01/02/03 04:05:06");
        QTest::newRow("skeleton")
            << keepsakeSkeleton() << kDate
            << QByteArray(keepsakeSkeleton()).replace("<!--EndList-->", one + "<!--EndList-->")
            << QString();
        QTest::newRow("last entry, footer and odd bytes kept")
            << QByteArray("<HTML>\x87\x90\x81\r\n<!--StartList-->\r\n" + old +
                          "hand made\r\n<!--EndList-->\r\n<P>\x85</HTML>")
            << kDate
            << QByteArray("<HTML>\x87\x90\x81\r\n<!--StartList-->\r\n" + old + "hand made\r\n" +
                          one + "<!--EndList-->\r\n<P>\x85</HTML>")
            << QString();
        QTest::newRow("LF lines") << QByteArray("<!--StartList-->\n<!--EndList-->\n") << kDate
                                  << QByteArray("<!--StartList-->\n" + one + "<!--EndList-->\n")
                                  << QString();
        QTest::newRow("end marker is the last line without break")
            << QByteArray("<!--StartList-->\r<!--EndList-->") << kDate
            << QByteArray("<!--StartList-->\r" + one + "<!--EndList-->") << QString();
        QTest::newRow("an end marker before the start marker does not count")
            << QByteArray(
                   "<!--EndList-->\r\n<!--StartList-->\r\nx\r\n<!--EndList-->\r\n<!--EndList-->"
                   "\r\n")
            << kDate
            << QByteArray("<!--EndList-->\r\n<!--StartList-->\r\nx\r\n" + one +
                          "<!--EndList-->\r\n<!--EndList-->\r\n")
            << QString();
        QTest::newRow("two-digit year up to 2029")
            << keepsakeSkeleton() << QDateTime(QDate(2029, 12, 31), QTime(23, 59, 59))
            << QByteArray(keepsakeSkeleton()).replace("<!--EndList-->", two + "<!--EndList-->")
            << QString();
        QTest::newRow("four digits from 2030")
            << keepsakeSkeleton() << QDateTime(QDate(2030, 1, 1), QTime(0, 0, 0))
            << QByteArray(keepsakeSkeleton()).replace("<!--EndList-->", four + "<!--EndList-->")
            << QString();
        QTest::newRow("start marker with a blank")
            << QByteArray("<!--StartList--> \r\n<!--EndList-->\r\n") << kDate << QByteArray()
            << keepsake::kMsgNoStartMarker;
        QTest::newRow("no end marker")
            << QByteArray("<!--StartList-->\r\n" + old + "<!--EndList--> \r\n") << kDate
            << QByteArray() << keepsake::kMsgNoEndMarker;
        QTest::newRow("empty file")
            << QByteArray() << kDate << QByteArray() << keepsake::kMsgNoStartMarker;
    }
    void insertedBytes() {
        QFETCH(QByteArray, file);
        QFETCH(QDateTime, date);
        QFETCH(QByteArray, expected);
        QFETCH(QString, error);
        const KeptEntry entry = prepareEntry(QStringLiteral("http://a/"), QStringLiteral("一"), {});
        QByteArray out = "untouched";
        QString why;
        QCOMPARE(insertEntry(file, entry, date, &out, &why), !expected.isEmpty());
        QCOMPARE(why, error);
        QCOMPARE(out, expected.isEmpty() ? QByteArray("untouched") : expected);
    }

    void keptFiles_data() {
        QTest::addColumn<QByteArray>("keepsake");  // "(missing)": none
        QTest::addColumn<QByteArray>("workingCopy");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("ok");
        const QByteArray missing = "(missing)";
        const QByteArray one = entryLines("a/", QStringLiteral("一"), "97/09/15 08:05:00");
        const QByteArray old = ListFileBytes::listFile(
            ListFileBytes::entry(QStringLiteral("o/"), QStringLiteral("古")));
        const QByteArray tmp = ListFileBytes::listFile({}, {QStringLiteral("<TITLE>T</TITLE>")});
        QTest::newRow("appended") << old << tmp
                                  << QByteArray(old).replace("<!--EndList-->",
                                                             one + "<!--EndList-->")
                                  << true;
        QTest::newRow("restored from the working copy")
            << missing << tmp << QByteArray(tmp).replace("<!--EndList-->", one + "<!--EndList-->")
            << true;
        QTest::newRow("made from the skeleton")
            << missing << missing
            << QByteArray(keepsakeSkeleton()).replace("<!--EndList-->", one + "<!--EndList-->")
            << true;
        QTest::newRow("no list block: untouched")
            << QByteArray("<HTML>\r\n") << tmp << QByteArray("<HTML>\r\n") << false;
    }
    void keptFiles() {
        QFETCH(QByteArray, keepsake);
        QFETCH(QByteArray, workingCopy);
        QFETCH(QByteArray, expected);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        const KeepPlace place{dir.path() + "/collection/", dir.path() + "/companion/"};
        QVERIFY(QDir().mkpath(place.collectionFolder) && QDir().mkpath(place.keepsakeFolder));
        if (keepsake != "(missing)")
            writeBytes(place.keepsakeFolder + "KEEPSAKE.HTML", keepsake);
        if (workingCopy != "(missing)")
            writeBytes(place.collectionFolder + "KEEPSAKE.TMP", workingCopy);
        const KeepResult result =
            keepEntry(place, prepareEntry("http://a/", QStringLiteral("一"), {}), kDate);
        QCOMPARE(result.ok, ok);
        QCOMPARE(result.file, place.keepsakeFolder + "KEEPSAKE.HTML");
        QCOMPARE(result.message.isEmpty(), ok);
        QCOMPARE(fileBytes(place.keepsakeFolder + "KEEPSAKE.HTML"), expected);
        QCOMPARE(QDir(place.keepsakeFolder).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"KEEPSAKE.HTML"});
    }

    void twoProcessesAtOnce() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        writeBytes(folder + "KEEPSAKE.HTML", keepsakeSkeleton());
        QList<QProcess*> children;
        for (const QString& tag : {QStringLiteral("a"), QStringLiteral("b")}) {
            auto* child = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(kChildFolder, folder);
            env.insert(kChildTag, tag);
            child->setProcessEnvironment(env);
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            children.append(child);
        }
        for (QProcess* child : children)
            child->start(QCoreApplication::applicationFilePath(), {});
        for (QProcess* child : children) {
            QVERIFY(child->waitForFinished(240000));
            QCOMPARE(child->exitCode(), 0);
        }
        const ReadBack back = readBack(fileBytes(folder + "KEEPSAKE.HTML"));
        QCOMPARE(back.failures, QStringList());
        QSet<QString> urls;
        for (const keepsake::Entry& e : back.entries)
            urls.insert(e.url);
        QCOMPARE(back.entries.size(), 2 * kEachChild);
        QCOMPARE(urls.size(), 2 * kEachChild);
    }

    // keepsake-keep as the browsers start it: Firefox with the manifest's path and the
    // extension's id, Chromium with the extension's origin.
    void hostAnswers_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("answers");  // "ok", or the start of the error
        QTest::addColumn<int>("kept");
        const QStringList firefox{"/usr/lib/mozilla/native-messaging-hosts/x.json", "id@x"};
        const QStringList chromium{"chrome-extension://abc/"};
        const QByteArray good = framed(json("{'address':'https://a.example/','title':'題名'}"));
        QTest::newRow("firefox, two requests")
            << firefox << good + framed(json("{'address':'http://b/','comment':'c'}"))
            << QStringList{"ok", "ok"} << 2;
        QTest::newRow("chromium") << chromium << good << QStringList{"ok"} << 1;
        QTest::newRow("check stores nothing")
            << chromium << framed(json("{'address':'http://b/','check':true}")) << QStringList{"ok"}
            << 0;
        QTest::newRow("refused scheme") << chromium << framed(json("{'address':'file:///x'}"))
                                        << QStringList{"file:のアドレスはキープできません"} << 0;
        QTest::newRow("wrong type") << chromium << framed(json("{'address':5}"))
                                    << QStringList{"ブラウザーからのメッセージの項目"} << 0;
        QTest::newRow("not JSON") << chromium << framed("{") + good
                                  << QStringList{"ブラウザーからのメッセージが読めません", "ok"}
                                  << 1;
        QTest::newRow("not UTF-8") << chromium << framed("{\"address\":\"http://\xff/\"}")
                                   << QStringList{"ブラウザーからのメッセージがUTF-8"} << 0;
        QTest::newRow("too long") << chromium << QByteArray("\xff\xff\xff\x7f") + good
                                  << QStringList{"ブラウザーからのメッセージが大きすぎます"} << 0;
        QTest::newRow("truncated")
            << chromium << good + framed("{}").left(5) << QStringList{"ok"} << 1;
        QTest::newRow("nothing") << firefox << QByteArray() << QStringList{} << 0;
    }
    void hostAnswers() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, answers);
        QFETCH(int, kept);
        QTemporaryDir dir;
        const QString collection = dir.path() + "/Keepsake/";
        QVERIFY(QDir().mkpath(collection) && QDir().mkpath(dir.path() + "/config/keepsake-editor"));
        writeBytes(dir.path() + "/config/keepsake-editor/keepsake-editor.conf",
                   "[Collection]\nFolder=" + collection.toUtf8() + "\n");
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
        env.insert("HOME", dir.path() + "/home");
        host.setProcessEnvironment(env);
        host.start(KEEPSAKE_KEEP_PATH, arguments);
        QVERIFY(host.waitForStarted());
        host.write(input);
        host.closeWriteChannel();
        QVERIFY(host.waitForFinished(30000));
        QCOMPARE(host.exitStatus(), QProcess::NormalExit);
        bool clean = false;
        const QList<QJsonObject> got = ::answers(host.readAllStandardOutput(), &clean);
        QVERIFY(clean);
        QCOMPARE(got.size(), answers.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            if (answers[i] == "ok") {
                QVERIFY(got[i].value("ok").toBool());
            } else {
                QVERIFY2(got[i].value("error").toString().startsWith(answers[i]),
                         qPrintable(got[i].value("error").toString()));
            }
        }
        const QString file = collection + "KEEPSAKE.HTML";
        QCOMPARE(readBack(fileBytes(file)).entries.size(), kept);
        const qsizetype first = answers.indexOf("ok");
        if (kept > 0 && first >= 0) {
            const QJsonObject stored = got[first].value("stored").toObject();
            QCOMPARE(stored.value("file").toString(), file);
            QCOMPARE(stored.value("address").toString(), "http://a.example/");
            QCOMPARE(stored.value("comment").toString(), "題名");
        }
    }

    // From the command line: where the entry went, or why not, and the exit status.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::newRow("kept") << QStringList{"http://a/", "一"} << 0
                              << "KEEPSAKE.HTML: http://a/ 《一》";
        QTest::newRow("refused") << QStringList{"about:blank"} << 1
                                 << "about:のアドレスはキープできません";
        QTest::newRow("no address") << QStringList{} << 2 << "keepsake-keep ADDRESS";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QTemporaryDir dir;
        QProcess keep;
        keep.start(KEEPSAKE_KEEP_PATH, QStringList{"--folder", dir.path()} + arguments);
        QVERIFY(keep.waitForFinished(30000));
        QCOMPARE(keep.exitCode(), status);
        const QString text = QString::fromUtf8(status == 0 ? keep.readAllStandardOutput()
                                                           : keep.readAllStandardError());
        QVERIFY2(text.contains(output), qPrintable(text));
        QCOMPARE(QFile::exists(dir.path() + "/KEEPSAKE.HTML"), status == 0);
    }
};

int main(int argc, char** argv) {
    // As a child of twoProcessesAtOnce: keep 200 entries, each its own read and replace.
    const QString folder = qEnvironmentVariable(kChildFolder);
    if (!folder.isEmpty()) {
        const QString tag = qEnvironmentVariable(kChildTag);
        for (int i = 0; i < kEachChild; ++i) {
            const KeptEntry entry = prepareEntry(
                QStringLiteral("http://%1.example/%2").arg(tag).arg(i), tag, QString());
            const KeepResult result =
                keepEntry({folder, folder}, entry, QDateTime::currentDateTime());
            if (!result.ok) {
                std::fputs(qPrintable(result.message), stderr);
                return 1;
            }
        }
        return 0;
    }
    QCoreApplication app(argc, argv);
    KeepsakeAppendTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keepsakeappend.moc"
