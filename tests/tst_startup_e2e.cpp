// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real editor on the test command's X server, driven by real key presses and mouse
// clicks (xdotool): a first start without a keepsake file, a category list that was never
// loaded, the focus entering the category list, and a second editor on the same folder. The
// files are checked byte for byte.
#include "support/EditorFixture.h"
#include "support/OtherWindows.h"
#include "support/RealDisplay.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

namespace {

const QByteArray kStandardIndex =
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">"
    "<TITLE>URL_INDEX</TITLE></HEAD>\r\n"
    "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#5157DD\"LINK=\"#E81B1B\" VLINK=\"#8B0366\" "
    "ALINK=\"#FF8A1D\">\r\n"
    "<FONT SIZE=+2><I><B>- INDEX -</B></I></FONT>\r\n"
    "<hr><P>\r\n"
    "<!--StartList-->\r\n"
    "<!--EndList-->\r\n"
    "<hr></BODY></HTML>\r\n";

// A point in the list of the loaded category's entries (empty here), as fractions of the
// main window: below the menu bar, halfway down the list.
const QPointF kEmptyEntryList(0.6, 0.68);

// A new page when the keepsake file was never read: the standard skeleton.
const QByteArray kStandardPage =
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">"
    "<TITLE>KEEPSAKE</TITLE></HEAD>\r\n<BODY>\r\n<!--StartList-->\r\n<!--EndList-->\r\n"
    "</BODY></HTML>\r\n";

// The index line of one category; the bullet is U+25CF in code page 932.
QByteArray indexLine(const QByteArray& file, const QByteArray& name) {
    return "<FONT COLOR=\"BLUE\">\x81\x9c </FONT><A HREF=\"./" + file + "\" TARGET=\"LIST\">" +
           name + "</A><P>\r\n";
}

using otherwindows::clickAt;
using otherwindows::pressKeys;
using otherwindows::waitForWindow;
using otherwindows::xdotool;

}  // namespace

class StartupEndToEndTest : public QObject {
    Q_OBJECT

private:
    QProcessEnvironment m_env;

    std::unique_ptr<QProcess> startEditor(EditorFixture& f) { return f.startProgram(m_env); }

    // Every file of the editor's folder but the program, hidden ones included.
    QStringList filesOf(EditorFixture& f) {
        QStringList files = QDir(f.appFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        files.removeAll("keepsake-editor");
        return files;
    }

private slots:
    void initTestCase() {
        REQUIRE_TEST_DISPLAY_AND_XDOTOOL();
        m_env = realDisplayEnvironment();
    }

    void aNewUserIsNeverLockedOutAndLosesNoCategory() {
        EditorFixture f;
        // Category names stored, but no companion folder, no keepsake file, no working copy.
        const QByteArray books = "[Books]\r\n0000=Music\r\n0001=Art\r\n";
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", books);
        const QByteArray folder = f.appFolder().toUtf8();

        // First start: the folder dialog, with its main window not made yet.
        auto editor = startEditor(f);
        QVERIFY(editor);
        const QString dialog = waitForWindow(editor->processId(), "Select Folder");
        QVERIFY(!dialog.isEmpty());

        // A second editor on the same folder ends at once, touches nothing and brings the
        // folder dialog to the front.
        const QString root = xdotool({"search", "--maxdepth", "0", "--name", ""});
        xdotool({"windowfocus", root});
        QCOMPARE(xdotool({"getwindowfocus"}), root);
        auto second = startEditor(f);
        QVERIFY(second);
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(xdotool({"getwindowfocus"}), dialog, 10000);
        QCOMPARE(filesOf(f), QStringList({".keepsake-editor.lock", "KEEPSAKE.INI"}));

        // "連携しない": the missing keepsake file is reported, and the window opens all the same.
        QVERIFY(clickAt(dialog, (2520 + 2055 / 2.0) / 4920, (3060 + 315 / 2.0) / 3480));
        const QString missing = waitForWindow(editor->processId(), "Quillet");
        QVERIFY(!missing.isEmpty());
        pressKeys(missing, {"Return"});
        QString window = waitForWindow(editor->processId(), "KEEPSAKE EDITOR");
        QVERIFY(!window.isEmpty());
        pressKeys(window, {"alt+f", "x"});
        QVERIFY(editor->waitForFinished(20000));
        QCOMPARE(editor->exitCode(), 0);

        // The category names that were never listed are all still there, with no end mark;
        // the index is the new standard one; the first page is the standard skeleton.
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"),
                 books + "[Scribble]\r\nFolder=" + folder + "\r\n");
        QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"), kStandardIndex);
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.HTML"), kStandardPage);
        QCOMPARE(filesOf(f),
                 QStringList({"KEEPSAKE.INI", "URLFRAME.HTML", "URLINDEX.HTML", "URL_0000.HTML"}));

        // Second start: the list loads; the keepsake file is still missing, and said so.
        editor = startEditor(f);
        QVERIFY(editor);
        const QString again = waitForWindow(editor->processId(), "Quillet");
        QVERIFY(!again.isEmpty());
        pressKeys(again, {"Return"});
        window = waitForWindow(editor->processId(), "KEEPSAKE EDITOR");
        QVERIFY(!window.isEmpty());

        // A click on the empty entry list, then Shift+Tab: the category list has the focus
        // and nothing selected. The two commands that need a category say so.
        QVERIFY(clickAt(window, kEmptyEntryList.x(), kEmptyEntryList.y()));
        pressKeys(window, {"shift+Tab", "alt+w"});
        QString box = waitForWindow(editor->processId(), "Quillet");
        QVERIFY(!box.isEmpty());
        pressKeys(box, {"Return"});
        pressKeys(window, {"alt+m"});
        box = waitForWindow(editor->processId(), "Quillet");
        QVERIFY(!box.isEmpty());
        pressKeys(box, {"Return"});

        // Moving the selection with the keyboard loads a category: Music's page, the standard
        // skeleton with an empty list, so the reader reports no data.
        // (The buttons took the focus with their access keys; it goes back the same way.)
        QVERIFY(clickAt(window, kEmptyEntryList.x(), kEmptyEntryList.y()));
        pressKeys(window, {"shift+Tab", "Down"});
        box = waitForWindow(editor->processId(), QStringLiteral("新規ファイルです。"));
        QVERIFY(!box.isEmpty());
        pressKeys(box, {"Return"});
        pressKeys(window, {"alt+f", "x"});
        QVERIFY(editor->waitForFinished(20000));

        // Art was never loaded: no page made for it. The list was loaded, so the index is
        // rewritten and the end mark closes the list.
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"),
                 books + "0002=\r\n[Scribble]\r\nFolder=" + folder + "\r\n");
        QByteArray index = kStandardIndex;
        index.insert(index.indexOf("<!--EndList-->"),
                     indexLine("URL_0001.html", "Art") + indexLine("URL_0000.HTML", "Music"));
        QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"), index);
        QCOMPARE(f.readFile(f.appFolder() + "URL_0000.HTML"), kStandardPage);
        QCOMPARE(filesOf(f),
                 QStringList({"KEEPSAKE.INI", "URLFRAME.HTML", "URLINDEX.HTML", "URL_0000.HTML"}));
    }

    void aFatalEndRemovesTheLock() {
        EditorFixture f;
        f.writeSettings({"Music"});
        // A keepsake file that exists but cannot be read ends the program.
        QVERIFY(QFile::link("/proc/self/mem", f.companionFolder() + "KEEPSAKE.HTML"));
        QFile mem("/proc/self/mem");
        if (mem.open(QIODevice::ReadOnly) && mem.read(16).size() == 16)
            QSKIP("this system reads /proc/self/mem");
        auto editor = startEditor(f);
        QVERIFY(editor);
        const QString box = waitForWindow(editor->processId(), "Quillet");
        QVERIFY(!box.isEmpty());
        QVERIFY(QFile::exists(f.appFolder() + ".keepsake-editor.lock"));
        pressKeys(box, {"Return"});
        QVERIFY(editor->waitForFinished(20000));
        QCOMPARE(editor->exitCode(), 1);
        QVERIFY(!QFile::exists(f.appFolder() + ".keepsake-editor.lock"));
    }

    void aKilledEditorsLockDoesNotBlock() {
        EditorFixture f;
        auto editor = startEditor(f);
        QVERIFY(editor);
        QVERIFY(!waitForWindow(editor->processId(), "Select Folder").isEmpty());
        ::kill(static_cast<pid_t>(editor->processId()), SIGKILL);
        QVERIFY(editor->waitForFinished(20000));
        QVERIFY(QFile::exists(f.appFolder() + ".keepsake-editor.lock"));

        auto next = startEditor(f);
        QVERIFY(next);
        const QString dialog = waitForWindow(next->processId(), "Select Folder");
        QVERIFY(!dialog.isEmpty());
        ::kill(static_cast<pid_t>(next->processId()), SIGKILL);
        QVERIFY(next->waitForFinished(20000));
    }
};

QTEST_GUILESS_MAIN(StartupEndToEndTest)
#include "tst_startup_e2e.moc"
