// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A crash in the middle of saving never leaves a half-written file. The helper crash_writer
// saves a category page, the index page and KEEPSAKE.INI in a loop through the editor's own
// writers, alternating between two known versions; it is killed with SIGKILL at random
// moments, and after every kill each file must be, byte for byte, one of its two versions.
#include "keepsake/KeepsakeFormat.h"
#include "pages/IndexFormat.h"
#include "pages/PageFormat.h"
#include "platform/Cp932Codec.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

const QString kPage = QStringLiteral("URL_0001.html");
const QString kIndex = QStringLiteral("URLINDEX.HTML");
const QString kIni = QStringLiteral("KEEPSAKE.INI");

// A category page of `count` entries whose texts carry `tag`, a few hundred kilobytes.
QByteArray page(int count, const QString& tag) {
    QString text = QStringLiteral("<HTML><HEAD><TITLE>%1</TITLE></HEAD>\r\n<BODY>\r\n").arg(tag) +
                   keepsake::kStartMarker + keepsake::kCrLf + pages::titleLine(tag) +
                   keepsake::kCrLf;
    const QDateTime date(QDate(1997, 9, 15), QTime(8, 5), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        text += keepsake::entryLine(QStringLiteral("%1.example/page%2.html").arg(tag).arg(i)) +
                keepsake::kCrLf;
        text += keepsake::commentLine(QStringLiteral("%1 の %2 番目").arg(tag).arg(i),
                                      date.addSecs(i)) +
                keepsake::kCrLf;
    }
    text += keepsake::kEndMarker + keepsake::kCrLf + QStringLiteral("</BODY></HTML>\r\n");
    return cp932::encode(text);
}

QByteArray index(int count, const QString& tag) {
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines << indexpage::indexLine(pages::pageFileName(pages::pageNumberText(i)),
                                      QStringLiteral("%1 %2").arg(tag).arg(i));
    }
    return indexpage::compose(indexpage::standardHead(), lines, indexpage::standardFoot());
}

// The settings file with `book` as the name of category 1, among a thousand others.
QByteArray settings(const QString& book) {
    QString text = QStringLiteral("[Scribble]\r\nFolder=/home/someone/scribble/\r\n[Books]\r\n");
    for (int i = 0; i < 1000; ++i) {
        text += pages::pageNumberText(i) + u'=' +
                (i == 1 ? book : QStringLiteral("分類 %1").arg(i)) + keepsake::kCrLf;
    }
    text += QStringLiteral("1000=\r\n[Netscape]\r\nFolder=\r\n");
    return cp932::encode(text);
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// What the kills of one run found.
struct KillReport {
    int kills = 0;
    QString torn;          // the first file found torn, with the kill's number
    QSet<QString> states;  // which version each file had at each kill, e.g. "aba"
    QMap<QString, QSet<int>> seen;
    QStringList leftOver;  // other files in the folder at the end
};

// Lays out the two versions, then starts and kills the writer until `maxKills` kills, the time
// limit, or a torn file.
void killRepeatedly(const QStringList& writerOptions, int maxKills, qint64 maxMs,
                    KillReport* report) {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString files = dir.filePath(QStringLiteral("files"));
    const QString versions = dir.filePath(QStringLiteral("versions"));
    QVERIFY(QDir().mkpath(files));

    // Two versions of every file, of different lengths and different all through.
    const QString books[2] = {QStringLiteral("Art"), QStringLiteral("芸術と美術の本棚")};
    const QMap<QString, QByteArray> version[2] = {
        {{kPage, page(2000, QStringLiteral("old"))},
         {kIndex, index(600, QStringLiteral("old"))},
         {kIni, settings(books[0])}},
        {{kPage, page(1500, QStringLiteral("new-version"))},
         {kIndex, index(900, QStringLiteral("new-version"))},
         {kIni, settings(books[1])}},
    };
    for (int v = 0; v < 2; ++v) {
        const QString folder = versions + (v == 0 ? QStringLiteral("/a") : QStringLiteral("/b"));
        QVERIFY(QDir().mkpath(folder));
        put(folder + u'/' + kPage, version[v][kPage]);
        put(folder + u'/' + kIndex, version[v][kIndex]);
        put(folder + QStringLiteral("/book.txt"), cp932::encode(books[v]));
    }
    for (const QString& name : {kPage, kIndex, kIni})
        put(files + u'/' + name, version[0][name]);

    const QString helper = QStringLiteral(KEEPSAKE_HELPER_DIR "/crash_writer");
    QVERIFY2(QFile::exists(helper), qPrintable(helper));
    QRandomGenerator random(20240917);
    QElapsedTimer clock;
    clock.start();
    while (report->kills < maxKills && clock.elapsed() < maxMs && report->torn.isEmpty()) {
        QProcess writer;
        writer.setProgram(helper);
        writer.setArguments(QStringList{files, versions, QStringLiteral("60")} + writerOptions);
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start();
        QVERIFY(writer.waitForStarted(10000));
        QVERIFY2(writer.waitForReadyRead(20000), "the writer did not start writing");
        QCOMPARE(writer.readAll(), QByteArray("ready\n"));
        // Long enough for a whole round of the three synced writes on a busy machine, so that
        // the kills land anywhere in it.
        QThread::usleep(random.bounded(80000u));
        writer.kill();
        QVERIFY(writer.waitForFinished(10000));
        QVERIFY2(writer.exitStatus() == QProcess::CrashExit,
                 qPrintable(QStringLiteral("the writer ended by itself with status %1")
                                .arg(writer.exitCode())));
        ++report->kills;

        QString state;
        for (const QString& name : {kPage, kIndex, kIni}) {
            const QByteArray now = contents(files + u'/' + name);
            const int v = now == version[0][name] ? 0 : now == version[1][name] ? 1 : -1;
            if (v < 0 && report->torn.isEmpty()) {
                report->torn = QStringLiteral("%1 after kill %2 (%3 bytes)")
                                   .arg(name)
                                   .arg(report->kills)
                                   .arg(now.size());
            }
            report->seen[name].insert(v);
            state += v == 0 ? u'a' : v == 1 ? u'b' : u'-';
        }
        report->states.insert(state);
    }
    report->leftOver = QDir(files).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                             QDir::Hidden | QDir::System);
    for (const QString& name : {kPage, kIndex, kIni})
        report->leftOver.removeAll(name);
    qInfo("%d kills in %lld ms; states seen: %s; files left over: %s", report->kills,
          clock.elapsed(), qPrintable(QStringList(report->states.values()).join(u' ')),
          qPrintable(report->leftOver.join(u' ')));
}

}  // namespace

class CrashSafetyTest : public QObject {
    Q_OBJECT

private slots:
    void everyFileIsOldOrNewAfterAnyKill() {
        KillReport report;
        killRepeatedly({}, 200, 20000, &report);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(report.torn.isEmpty(), qPrintable(QStringLiteral("torn: ") + report.torn));

        // The kills came at different moments: every file was found in both versions, and
        // the files in different combinations.
        QVERIFY2(report.kills >= 50, "too few kills to tell anything");
        for (const QString& name : {kPage, kIndex, kIni}) {
            QCOMPARE(report.seen[name], QSet<int>({0, 1}));
        }
        QVERIFY2(report.states.size() >= 3, "every kill came at the same point of the loop");
        // A kill between writing a save's temporary file and renaming it may leave that file
        // behind; never more than a few.
        QVERIFY2(report.leftOver.size() <= report.kills / 10,
                 qPrintable(report.leftOver.join(u' ')));
    }

    // The same kills against a writer that writes over the old file in place: the check
    // above notices a torn file.
    void aWriterThatWritesInPlaceIsCaught() {
        KillReport report;
        killRepeatedly({QStringLiteral("--in-place")}, 100, 10000, &report);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(!report.torn.isEmpty(), "no torn file found");
    }
};

QTEST_MAIN(CrashSafetyTest)
#include "tst_crashsafety.moc"
