// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Lines the editor does not rewrite keep their bytes: headers and footers of pages and of the
// keepsake file, the index page's head and foot, and the untouched lines of the settings file,
// duplicate codes and invalid bytes included. The lines it regenerates take Windows' own codes.
#include "support/EditorFixture.h"

#include <QFile>
#include <QTest>

namespace {

// 髙 as NEC-selected IBM 0xEEE0 (Windows writes 0xFBFC), ≒ as NEC row 13 0x8790 (Windows
// writes 0x81E0), an unassigned code, a lead byte without its trail byte, and the single bytes
// 0xA0 and 0xFD.
const QByteArray kOddHead =
    "<HTML><TITLE>\xee\xe0\x8b\xb4\x87\x90</TITLE>\n"
    "<!-- \x85\x40 \xa0\xfd \x81\r\n"
    "<!--StartList-->\r\n";
const QByteArray kOddFoot =
    "<!--EndList-->\r\n"
    "<P>\xfa\x5b\xed\x40\x81</P>\r"
    "</HTML>\x85";
// The same lines as the editor writes them: every line break a CR LF.
QByteArray withCrLf(QByteArray bytes) {
    bytes.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
    return bytes.endsWith("\r\n") ? bytes : bytes + "\r\n";
}
const QByteArray kOddHeadWritten = withCrLf(kOddHead);
// The head declares no charset and has no <HEAD> tag: the list block opens with the META.
const QByteArray kMetaLine =
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\r\n";
const QByteArray kOddFootWritten = withCrLf(kOddFoot);

// 髙橋さん≒あいう with the duplicate codes, and as Windows writes it.
const QByteArray kKeptComment = "\xee\xe0\x8b\xb4\x82\xb3\x82\xf1\x87\x90\x82\xa0\x82\xa2\x82\xa4";
const QByteArray kWrittenComment =
    "\xfb\xfc\x8b\xb4\x82\xb3\x82\xf1\x81\xe0\x82\xa0\x82\xa2\x82\xa4";
const QString kComment = QStringLiteral("髙橋さん≒あいう");

// An entry as the companion writes it, or (`target`) as the editor does.
QByteArray entryBytes(const QByteArray& url, const QByteArray& comment, bool target = false) {
    return "<A HREF=\"http://" + url + (target ? "\" TARGET=\"_top\">" : "\">") + url +
           "</A><BR>\r\n\x81\x73 " + comment +
           " \x81\x74"
           "97/09/15 08:05:00<P>\r\n";
}

// A settings file linking the companion folder, with a category named ≒ (0x8790) and lines
// the editor never writes that hold duplicates and invalid bytes.
QByteArray settings(EditorFixture& f) {
    return "; \xee\xe0\x8b\xb4\x87\x90 \x85\x40\x81\r\n"
           "[Scribble]\r\nFolder=" +
           f.companionFolder().toUtf8() +
           "\r\n"
           "[Other]\r\nkey=\xfa\x5b\xa0\xfd\x81\n"
           "[Books]\r\n0000=\x87\x90\r\n";
}

}  // namespace

class KeptBytesTest : public QObject {
    Q_OBJECT

private slots:
    void aPageKeepsItsHeaderAndFooter() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", settings(f));
        f.writeKeepsake(EditorFixture::listFile(EditorFixture::entry("a.example/", "A")));
        const QByteArray page = kOddHead + entryBytes("b.example/", kKeptComment) + kOddFoot;
        f.writeFile(f.appFolder() + "URL_0000.html", page);
        QVERIFY(f.start());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"≒"}));
        w.lstKinds.setCurrentRow(0);
        QCOMPARE(itemTexts(w.lstSub), QStringList({kComment}));
        QCOMPARE(w.KindHead, kOddHeadWritten);

        w.cmdSave_Click();
        // Header and footer as they were; the title and the entry as Windows writes them.
        const QByteArray written =
            kOddHeadWritten + kMetaLine + "<H3><I><B>\x81\x60 \x81\xe0 \x81\x60</B></I></H3>\r\n" +
            entryBytes("b.example/", kWrittenComment, true) + kOddFootWritten;
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), written);
        w.lstKinds.setCurrentRow(-1);
        w.lstKinds.setCurrentRow(0);
        w.cmdSave_Click();
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.html"), written);
        QCOMPARE(f.prompts.messageTexts(), QStringList());
    }

    void aNewPageTakesTheKeepsakeFileHeaderAndFooter() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", settings(f));
        f.writeKeepsake(kOddHead + entryBytes("a.example/", kKeptComment) + kOddFoot);
        QVERIFY(f.start());
        KeepsakeEditor& w = f.editor();
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        QCOMPARE(itemTexts(w.lstURLs[1]), QStringList({kComment}));
        QCOMPARE(w.KeepHead, kOddHeadWritten);
        QCOMPARE(w.KeepFoot, kOddFootWritten);

        // The first category page is made at shut-down from the keepsake file's skeleton.
        f.close();
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.HTML"),
                 kOddHeadWritten + kMetaLine + kOddFootWritten);
        const QByteArray keepsake = kOddHead + entryBytes("a.example/", kKeptComment) + kOddFoot;
        QCOMPARE(f.readFile(f.companionFolder() + "KEEPSAKE.HTML"), keepsake);
        // A keepsake file that has gone comes back from the working copy as it was.
        QVERIFY(QFile::remove(f.companionFolder() + "KEEPSAKE.HTML"));
        QVERIFY(f.start());
        QCOMPARE(f.readFile(f.companionFolder() + "KEEPSAKE.HTML"), keepsake);
    }

    void anIndexKeepsItsHeadAndFoot() {
        EditorFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", settings(f));
        f.writeKeepsake(EditorFixture::listFile(EditorFixture::entry("a.example/", "A")));
        f.writeFile(f.appFolder() + "URLINDEX.HTML", kOddHead + "old line\r\n" + kOddFoot);
        QVERIFY(f.start());
        QCOMPARE(f.prompts.messageTexts(), QStringList());
        for (int round = 0; round < 2; ++round) {
            f.editor().WriteIndexPages();
            QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"),
                     kOddHeadWritten + kMetaLine +
                         "<FONT COLOR=\"BLUE\">\x81\x9c </FONT><A HREF=\"./URL_0000.HTML\" "
                         "TARGET=\"LIST\">\x81\xe0</A><P>\r\n" +
                         kOddFootWritten);
        }
    }

    void aSettingsFileKeepsItsUntouchedLines() {
        EditorFixture f;
        const QByteArray before = settings(f);
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", before);
        f.writeKeepsake(EditorFixture::listFile(EditorFixture::entry("a.example/", "A")));
        QVERIFY(f.start());
        // A category whose page is missing writes its name; the end mark follows at shut-down.
        f.editor().lstKinds.setCurrentRow(0);
        f.close();
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"),
                 QByteArray(before).replace("0000=\x87\x90\r\n", "0000=\x81\xe0\r\n0001=\r\n"));
    }
};

QTEST_MAIN(KeptBytesTest)
#include "tst_keptbytes.moc"
