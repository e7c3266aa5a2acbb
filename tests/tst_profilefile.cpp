// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/ProfileFile.h"
#include "settings/ProfileFormat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// Short names keep the expected bytes on one line with their input.
QByteArray readIni(QByteArrayView file, QByteArrayView section, QByteArrayView key) {
    return profileRead(file, section, key);
}
const auto writeIni = &profileWrite;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class ProfileFileTest : public QObject {
    Q_OBJECT

private slots:
    void namesMatchWithoutCaseAndBlanks() {
        const QByteArray ini =
            "[Books]\r\n  \t 0000 \t= \tNews Sites \t\r\n[ \tNet Scape\t ]\r\nX=1\r\n";
        QCOMPARE(readIni(ini, "BOOKS", "0000"), "News Sites");
        QCOMPARE(readIni(ini, "  books ", " 0000  "), "News Sites");
        QCOMPARE(readIni(ini, "net scape", "x"), "1");
        QCOMPARE(readIni(ini, "\tBooks", "0000"), "");  // only spaces leave the caller's names
        QCOMPARE(readIni("[s]\r\nKey=Value\r\n", "S", "KEY"), "Value");
    }

    void oneMatchingPairOfQuotesIsDropped() {
        const QByteArray ini =
            "[q]\na=\"v w\"\nb= 'v' \nc=\"v'\nd='\ne=\"\"\nf=\"a\"b\"\n\"g\"=1\n['h']\nk=2\n";
        QCOMPARE(readIni(ini, "q", "a"), "v w");
        QCOMPARE(readIni(ini, "q", "b"), "v");
        QCOMPARE(readIni(ini, "q", "c"), "\"v'");
        QCOMPARE(readIni(ini, "q", "d"), "'");
        QCOMPARE(readIni(ini, "q", "e"), "");
        QCOMPARE(readIni(ini, "q", "f"), "a\"b");
        QCOMPARE(readIni(ini, "q", "g"), "");  // keys and section names keep their quotes
        QCOMPARE(readIni(ini, "q", "\"g\""), "1");
        QCOMPARE(readIni(ini, "h", "k"), "");
        QCOMPARE(readIni(ini, "'h'", "k"), "2");
    }

    void onlyEntriesOfASectionAreFound() {
        const QByteArray ini =
            "top=0\r\n[a]k=v\r\nplain line\r\n;c=1\r\n  ;d=2\r\n#e=3\r\nf=x;y\r\n[b]]k=w\r\n"
            "[open\r\nk=4\r\n[a]\r\nk=5\r\n";
        QCOMPARE(readIni(ini, "a", "top"), "");
        QCOMPARE(readIni(ini, "a", "k"), "");  // later [a] is a duplicate, never searched
        QCOMPARE(readIni(ini, "a", "plain line"), "");
        QCOMPARE(readIni(ini, "a", ";c"), "");
        QCOMPARE(readIni(ini, "a", ";d"), "");
        QCOMPARE(readIni(ini, "a", "#e"), "3");
        QCOMPARE(readIni(ini, "a", "f"), "x;y");
        QCOMPARE(readIni(ini, "b", "k"), "");
        QCOMPARE(readIni(ini, "open", "k"), "4");
        QCOMPARE(readIni("[s]\r\nk=1\r\nK=2\r\n[S]\r\nj=3\r\n", "s", "k"), "1");
        QCOMPARE(readIni("[s]\r\nk=1\r\n[S]\r\nj=3\r\n", "s", "j"), "");
        QCOMPARE(readIni(ini, "missing", "k"), "");
        QCOMPARE(readIni("", "a", "k"), "");
    }

    void linesEndAtAnyBreakAndBomIsText() {
        const QByteArray ini = "[s]\rcr=1\rlf=2\ncrlf=3\r\n\r\n\n\rend=4";
        QCOMPARE(readIni(ini, "s", "cr"), "1");
        QCOMPARE(readIni(ini, "s", "lf"), "2");
        QCOMPARE(readIni(ini, "s", "crlf"), "3");
        QCOMPARE(readIni(ini, "s", "end"), "4");
        const QByteArray bom = "\xEF\xBB\xBF[s]\r\nk=1\r\n[t]\r\nk=2\r\n";
        QCOMPARE(readIni(bom, "s", "k"), "");
        QCOMPARE(readIni(bom, "t", "k"), "2");
        QCOMPARE(writeIni(bom, "s", "k", "3"), bom + "[s]\r\nk=3\r\n");
    }

    void doubleByteCharactersStayWhole() {
        // 0x835D is a katakana whose second byte is ']'; 0x8341 and 0x8361 differ in case only
        // if their second bytes were taken for letters.
        const QByteArray ini = "[\x83\x5d]\r\n\x83\x41=a\r\n";
        QCOMPARE(readIni(ini, "\x83\x5d", "\x83\x41"), "a");
        QCOMPARE(readIni(ini, "\x83\x5d", "\x83\x61"), "");
        const QByteArray fits = QByteArray(1021, 'x') + "\x93\xfa";
        const QByteArray split = QByteArray(1022, 'x') + "\x93\xfa";
        QCOMPARE(readIni("[s]\nk=" + fits + "\x96\x7b", "s", "k"), fits);
        QCOMPARE(readIni("[s]\nk=" + split, "s", "k"), QByteArray(1022, 'x'));
        QCOMPARE(readIni("[s]\nk=\"" + QByteArray(1030, 'y') + "\"", "s", "k"),
                 QByteArray(1023, 'y'));
        // The reader tells a value that came back cut, which must never be written back, from one
        // that fills the buffer exactly.
        const QByteArray values =
            "[s]\nfits=" + fits + "\nsplit=" + split + "\nlong=" + fits + "x\n";
        QSet<QByteArray> cut;
        const auto section = profileReadSection(values, "s", &cut);
        QCOMPARE(section.value("SPLIT"), QByteArray(1022, 'x'));
        QCOMPARE(cut, QSet<QByteArray>({"SPLIT", "LONG"}));
        for (const auto& [key, expected] :
             {std::pair{"fits", false}, {"split", true}, {"long", true}}) {
            bool wasCut = !expected;
            profileRead(values, "s", key, &wasCut);
            QCOMPARE(wasCut, expected);
        }
    }

    void newSectionsAndFilesGetTheirOwnLines() {
        QCOMPARE(writeIni("", " Scribble ", " Folder ", "C:\\s\\"),
                 "[Scribble]\r\nFolder=C:\\s\\\r\n");
        QCOMPARE(writeIni("[a]\r\nk=1", "b", "j", ""), "[a]\r\nk=1\r\n[b]\r\nj=\r\n");
        QCOMPARE(writeIni("[a]\nk=1\n\n", "b", "j", " v "), "[a]\nk=1\n\n[b]\r\nj= v \r\n");
        QCOMPARE(writeIni("x\r", "b", "j", "1"), "x\r[b]\r\nj=1\r\n");
    }

    void newKeysFollowTheLastEntryOfTheirSection() {
        const QByteArray ini = "[a]\r\nk=1\r\njunk\r\nm=2\r\n;note\r\n\r\n[b]\r\n;only\r\n";
        QCOMPARE(writeIni(ini, "A", "n", "3"),
                 "[a]\r\nk=1\r\njunk\r\nm=2\r\nn=3\r\n;note\r\n\r\n[b]\r\n;only\r\n");
        QCOMPARE(writeIni(ini, "b", "n", "3"),
                 "[a]\r\nk=1\r\njunk\r\nm=2\r\n;note\r\n\r\n[b]\r\nn=3\r\n;only\r\n");
        QCOMPARE(writeIni("[a]", "a", "n", "3"), "[a]\r\nn=3\r\n");
        QCOMPARE(writeIni("[a]\nk=1", "a", "n", "3"), "[a]\nk=1\r\nn=3\r\n");
    }

    void existingKeysKeepTheirSpellingAndPlace() {
        QCOMPARE(writeIni("[Books]\r\n  Key \t= old \r\nz=1\r\n", "books", "KEY", "new"),
                 "[Books]\r\n  Key=new\r\nz=1\r\n");
        QCOMPARE(writeIni("[s]\nk=1\nk=2\n[s]\nk=3\n", "s", "k", ""), "[s]\nk=\r\nk=2\n[s]\nk=3\n");
        QCOMPARE(writeIni("[s]\rk=1\r", "s", "k", "2"), "[s]\rk=2\r\n");
        QCOMPARE(writeIni("[s]\r\nk=1", "s", "k", "2"), "[s]\r\nk=2\r\n");
    }

    void handWrittenFileIsEditedInPlace() {
        QTemporaryDir dir;
        const QString path = dir.filePath("KEEPSAKE.INI");
        const QByteArray before =
            "; settings\r\nstray=1\r\n\r\n[SCRIBBLE]\r\n\tFOLDER = \"C:\\old\\\" \r\n"
            "# kept=x\r\n\r\n[books]\n0000='News'\n;0001=Old\n\n[Netscape]\r\nFolder=";
        put(path, before);
        QVERIFY(writeProfileString(path, "Scribble", "Folder", "D:\\new\\"));
        QVERIFY(writeProfileString(path, "Books", "0001", "Blogs"));
        QVERIFY(writeProfileString(path, "Netscape", "Folder", ""));
        QCOMPARE(contents(path),
                 "; settings\r\nstray=1\r\n\r\n[SCRIBBLE]\r\n\tFOLDER=D:\\new\\\r\n"
                 "# kept=x\r\n\r\n[books]\n0000='News'\n0001=Blogs\r\n;0001=Old\n\n"
                 "[Netscape]\r\nFolder=\r\n");
        QCOMPARE(readProfileString(path, "books", "0000"), "News");
        QCOMPARE(readProfileString(path, "Books", "0001"), "Blogs");
        QCOMPARE(readProfileString(dir.filePath("none.ini"), "Books", "0000"), "");
        QCOMPARE(readProfileString(dir.path(), "Books", "0000"), "");
    }

    void japaneseTextIsStoredInCp932() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ja.ini");
        QVERIFY(writeProfileString(path, QStringLiteral("設定"), QStringLiteral("表示"),
                                   QStringLiteral("日本語ソ")));
        QCOMPARE(contents(path),
                 "[\x90\xdd\x92\xe8]\r\n\x95\x5c\x8e\xa6=\x93\xfa\x96\x7b\x8c\xea\x83\x5c\r\n");
        QCOMPARE(readProfileString(path, QStringLiteral("設定"), QStringLiteral("表示")),
                 QStringLiteral("日本語ソ"));
    }

    void failedWritesKeepTheOldFile() {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!writeProfileString(dir.filePath("no/such/a.ini"), "s", "k", "v", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath("no")));

        error.clear();
        QVERIFY(QDir(dir.path()).mkpath("folder.ini/inside"));
        QVERIFY(!writeProfileString(dir.filePath("folder.ini"), "s", "k", "v", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(dir.filePath("folder.ini/inside")).isDir());

        // The longest name a folder allows leaves no room for the temporary file beside it.
        error.clear();
        const QString longest = dir.filePath(QString(251, u'n') + ".ini");
        const QByteArray old = "[s]\r\nk=old";
        put(longest, old);
        QVERIFY(!writeProfileString(longest, "s", "k", "new", &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(contents(longest), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
    }

    void unwritableFolderOrUnreadableFileKeepsTheOldFile() {
        if (geteuid() == 0)
            QSKIP("permissions do not bind the root user");
        QTemporaryDir dir;
        const QString path = dir.filePath("a.ini");
        const QByteArray old = "[s]\r\nk=old\r\n";
        put(path, old);
        QString error;

        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const bool written = writeProfileString(path, "s", "k", "new", &error);
        QVERIFY(QFile::setPermissions(dir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QCOMPARE(contents(path), old);

        error.clear();
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        QVERIFY(!writeProfileString(path, "s", "j", "new", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(contents(path), old);
    }
};

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "tst_profilefile.moc"
