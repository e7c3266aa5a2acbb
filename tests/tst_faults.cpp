// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Faults of the file system met through the real files: a folder where a file should be, a
// folder that has gone, a full disk, a keepsake file that is not there when it is read, and a
// working copy that cannot be replaced. Each one gives the user a clear message (or, where the
// editor is meant to carry on silently, none) and leaves every file that was there as it was.
#include "pages/PageFormat.h"
#include "platform/TextFile.h"
#include "support/EditorFixture.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

const QString kWriteFailed = QStringLiteral("]を書き込めませんでした。\n");
const QString kFullDisk = QStringLiteral("No space left on device");

QByteArray keepsakeFile() {
    return EditorFixture::listFile(EditorFixture::entry("kept.example/", "取っておいたページ") +
                                       EditorFixture::entry("other.example/a.html", "Other"),
                                   {"<HTML><HEAD><TITLE>KEEPSAKE</TITLE></HEAD>", "<BODY>"},
                                   {"<HR>", "</BODY></HTML>"});
}

QByteArray categoryPage(const QString& title, const QStringList& listLines) {
    return EditorFixture::listFile(
        QStringList{QStringLiteral("<H3><I><B>～ %1 ～</B></I></H3>").arg(title)} + listLines,
        {"<HTML>", "<BODY>"}, {"<HR>", "</BODY></HTML>"});
}

QByteArray indexPage() {
    return EditorFixture::page(
        {"<HTML>", "<!--StartList-->",
         "<FONT COLOR=\"BLUE\">● </FONT><A HREF=\"./URL_0001.HTML\" TARGET=\"LIST\">Art</A><P>",
         "<!--EndList-->", "</HTML>"});
}

// Every entry of a folder, not following links: a file's bytes, "<folder>" or "<link> target".
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& info : entries) {
        if (info.isSymLink()) {
            files.insert(info.fileName(), "<link> " + info.symLinkTarget().toUtf8());
        } else if (info.isDir()) {
            files.insert(info.fileName(), "<folder>");
        } else {
            QFile file(info.filePath());
            files.insert(info.fileName(),
                         file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>");
        }
    }
    return files;
}

QStringList shownList(const FakePrompts& prompts) {
    return prompts.describe();
}

QString shown(const FakePrompts& prompts) {
    return shownList(prompts).join(u'\n');
}
QString joined(const QStringList& lines) {
    return lines.join(u'\n');
}

// True when `line` is the message of a failed write of `path`: a critical box without a title
// naming the file, then the system's reason, whose wording is the system's but which must be
// there.
bool isWriteFailure(const QString& line, const QString& path) {
    const QString start = QStringLiteral("critical|-|[") + path + kWriteFailed;
    return line.startsWith(start) && !line.mid(start.size()).trimmed().isEmpty();
}

// A file that exists but refuses every read at its start.
const QString kUnreadable = QStringLiteral("/proc/self/mem");

bool canUseUnreadableFile() {
    QByteArray probe;
    return QFileInfo(kUnreadable).isFile() && !textfile::readAll(kUnreadable, &probe);
}

void makeFolder(const QString& path) {
    QFile::remove(path);
    QVERIFY2(QDir().mkpath(path), qPrintable(path));
    QVERIFY(QFileInfo(path).isDir());
}

// Sets or clears the immutable attribute of a file (chattr +i): then no one, root included, may
// replace it, while it still reads. False, with the reason in *error, where the file system or
// the user's rights do not allow it.
bool setImmutable(const QString& path, bool on, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!ok)
        *error = QString::fromLocal8Bit(strerror(errno));
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// A file made immutable for the guard's lifetime.
class Immutable {
public:
    explicit Immutable(const QString& path) : m_path(path) {
        m_on = setImmutable(path, true, &m_error);
    }
    ~Immutable() {
        QString ignored;
        if (m_on)
            setImmutable(m_path, false, &ignored);
    }
    bool on() const { return m_on; }
    QString error() const { return m_error; }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

private:
    QString m_path;
    QString m_error;
    bool m_on = false;
};

int rowOf(const ListRows& list, const QString& text) {
    return static_cast<int>(itemTexts(list).indexOf(text));
}

// A collection with two categories, Music (page 0) and Art (page 1), both pages, the index and
// the frameset page on disk, and the keepsake file with two entries.
void layOut(EditorFixture& f) {
    f.writeSettings({"Music", "Art"});
    f.writeKeepsake(keepsakeFile());
    f.writeFile(f.appFolder() + "KEEPSAKE.TMP", keepsakeFile());  // from the last run
    f.writeFile(f.appFolder() + "URL_0000.html",
                categoryPage("Music", EditorFixture::entry("m.example/", "曲")));
    f.writeFile(f.appFolder() + "URL_0001.html",
                categoryPage("Art", EditorFixture::entry("a.example/", "絵") +
                                        EditorFixture::entry("b.example/", "彫刻")));
    f.writeFile(f.appFolder() + "URLINDEX.HTML", indexPage());
    f.writeFile(f.appFolder() + "URLFRAME.HTML", "<frameset>\r\n");
}

// Starts the editor on the collection and selects Art, whose page then is loaded.
void startAndSelectArt(EditorFixture& f) {
    layOut(f);
    QVERIFY(f.start());
    QCOMPARE(shown(f.prompts), QString());
    KeepsakeEditor& w = f.editor();
    w.lstKinds.setCurrentRow(rowOf(w.lstKinds, "Art"));
    QCOMPARE(w.KindCount, 2);
    QCOMPARE(shown(f.prompts), QString());
}

}  // namespace

class FaultsTest : public QObject {
    Q_OBJECT

    // What the full disk meets.
    enum Write {
        CategoryPage,
        NewCategoryPage,
        Settings,
        Close,
        RebuiltIndex,
        WorkingCopy,
        RestoredKeepsake
    };
    const QString kArt = QStringLiteral("URL_0001.html");

private slots:
    // ---- A folder where a file should be, a folder that has gone ----

    void aCategoryPageThatBecameAFolderIsReportedAndLeftAlone() {
        EditorFixture f;
        startAndSelectArt(f);
        KeepsakeEditor& w = f.editor();
        const QString page = f.appFolder() + "URL_0001.html";
        makeFolder(page);
        const auto before = snapshot(f.appFolder());
        f.prompts.clear();

        QVERIFY(!w.WriteKindPage(QStringLiteral("0001"), QStringLiteral("Art")));
        const QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(isWriteFailure(messages[0], page), qPrintable(messages[0]));
        QCOMPARE(snapshot(f.appFolder()), before);
        QCOMPARE(f.prompts.waitDepth(), 0);
    }

    void anIndexPageThatIsAFolderIsReportedAtStartAndClose() {
        EditorFixture f;
        layOut(f);
        const QString index = f.appFolder() + "URLINDEX.HTML";
        makeFolder(index);
        const auto before = snapshot(f.appFolder());

        QVERIFY(f.start());
        // It cannot be created: one message, and no claim that it was rebuilt.
        QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(isWriteFailure(messages[0], index), qPrintable(messages[0]));
        QCOMPARE(snapshot(f.appFolder()), before);

        f.prompts.clear();
        f.close();
        messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(isWriteFailure(messages[0], index), qPrintable(messages[0]));
        // Only the end mark of the category list was written.
        auto expected = before;
        expected["KEEPSAKE.INI"] += "0002=\r\n";
        QCOMPARE(snapshot(f.appFolder()), expected);
    }

    void aSettingsFileThatBecameAFolderIsReportedOnClose() {
        EditorFixture f;
        layOut(f);
        QVERIFY(f.start());
        const QString ini = f.appFolder() + "KEEPSAKE.INI";
        makeFolder(ini);
        const auto before = snapshot(f.appFolder());
        f.prompts.clear();

        f.close();
        const QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(isWriteFailure(messages[0], ini), qPrintable(messages[0]));
        // The index was still written; the folder stands.
        auto after = snapshot(f.appFolder());
        QVERIFY(after["URLINDEX.HTML"] != before["URLINDEX.HTML"]);
        after["URLINDEX.HTML"] = before["URLINDEX.HTML"];
        QCOMPARE(after, before);
    }

    void aCategoryThatCouldNotBeStoredIsNeitherListedNorIndexed() {
        EditorFixture f;
        startAndSelectArt(f);
        KeepsakeEditor& w = f.editor();
        const QString ini = f.appFolder() + "KEEPSAKE.INI";
        const Immutable readOnly(ini);
        if (!readOnly.on()) {
            QFAIL(
                qPrintable("cannot make KEEPSAKE.INI immutable (root and a file system that "
                           "takes chattr +i are needed): " +
                           readOnly.error()));
        }
        const QByteArray stored = f.readFile(ini);
        f.prompts.clear();

        f.prompts.answerInput("Book");
        w.cmdNew_Click();
        f.prompts.answerInput("Zoo");
        w.Command1_Click();
        const QStringList messages = f.prompts.messageTexts();
        QCOMPARE(messages.size(), 2);
        for (const QString& message : messages)
            QVERIFY2(isWriteFailure("critical|-|" + message, ini), qPrintable(message));
        QCOMPARE(itemTexts(w.lstKinds), QStringList({"Art", "Music"}));
        QCOMPARE(w.lstKinds.selectedRow(), rowOf(w.lstKinds, "Art"));

        // The index links what is stored, and nothing else.
        f.close();
        QCOMPARE(f.readFile(ini), stored);
        QCOMPARE(f.readFile(f.appFolder() + "URLINDEX.HTML"),
                 EditorFixture::page({"<HTML>", "<!--StartList-->", EditorFixture::charsetMeta(),
                                      "<FONT COLOR=\"BLUE\">● </FONT><A HREF=\"./URL_0001.html\" "
                                      "TARGET=\"LIST\">Art</A><P>",
                                      "<FONT COLOR=\"BLUE\">● </FONT><A HREF=\"./URL_0000.html\" "
                                      "TARGET=\"LIST\">Music</A><P>",
                                      "<!--EndList-->", "</HTML>"}));
    }

    void aFolderThatWentAwayWhileRunningIsReportedAndNotRecreated() {
        EditorFixture f;
        startAndSelectArt(f);
        KeepsakeEditor& w = f.editor();
        const QString app = f.appFolder();
        const QString moved = QDir::cleanPath(app + "../moved") + "/";
        QVERIFY(QDir().rename(app, moved));
        const auto before = snapshot(moved);
        f.prompts.clear();

        QVERIFY(!w.WriteKindPage(QStringLiteral("0001"), QStringLiteral("Art")));
        QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(isWriteFailure(messages[0], app + "URL_0001.html"), qPrintable(messages[0]));

        // Closing writes the index, the end mark, and the frameset and first pages, which are
        // all missing now: one message for each, and no file anywhere.
        f.prompts.clear();
        f.close();
        messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 4);
        const QStringList paths = {app + "URLINDEX.HTML", app + "KEEPSAKE.INI",
                                   app + "URLFRAME.HTML", app + "URL_0000.HTML"};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(isWriteFailure(messages[i], paths[i]), qPrintable(messages[i]));
        }
        QVERIFY(!QFileInfo::exists(app));
        QCOMPARE(snapshot(moved), before);
    }

    // ---- A full disk ----

    // Each writer of the editor on a real file system with no byte left: the write fails,
    // every file stays as it was (also while the box is up), no temporary file is left, and
    // the box names the file and the system's reason.
    void aFullDiskNeverDamagesAFile_data() {
        QTest::addColumn<int>("write");
        QTest::addColumn<QStringList>("boxes");    // "{app}" and "{companion}": the folders
        QTest::addColumn<QStringList>("entries");  // kept entries listed after a read
        const QString failed = QStringLiteral("critical|-|[{app}");
        const QString tail = kWriteFailed + kFullDisk;
        QTest::newRow("category page")
            << int(CategoryPage) << QStringList{failed + kArt + tail} << QStringList();
        QTest::newRow("new category page")
            << int(NewCategoryPage)
            << QStringList{"information|Not Found!|[{app}" + kArt + "]は新規作成されます。",
                           failed + "KEEPSAKE.INI" + tail, failed + kArt + tail}
            << QStringList();
        QTest::newRow("settings") << int(Settings) << QStringList{failed + "KEEPSAKE.INI" + tail}
                                  << QStringList();
        QTest::newRow("close") << int(Close)
                               << QStringList{failed + "URLINDEX.HTML" + tail,
                                              failed + "KEEPSAKE.INI" + tail,
                                              failed + "URLFRAME.HTML" + tail,
                                              failed + "URL_0000.HTML" + tail}
                               << QStringList();
        QTest::newRow("rebuilt index") << int(RebuiltIndex)
                                       << QStringList{failed + "KEEPSAKE.TMP" + tail,
                                                      "critical|-|<!--EndList-->が見つかりません。",
                                                      failed + "URLINDEX.HTML" + tail}
                                       << QStringList();
        // The keepsake file itself is read, not the stale copy.
        QTest::newRow("working copy")
            << int(WorkingCopy) << QStringList{failed + "KEEPSAKE.TMP" + tail}
            << QStringList{"kept.example/", "other.example/a.html"};
        // The keepsake file is gone and cannot be put back: the working copy is read.
        QTest::newRow("restored keepsake file")
            << int(RestoredKeepsake)
            << QStringList{QStringLiteral("critical|-|[{companion}KEEPSAKE.HTML") + tail}
            << QStringList{"old.example/"};
    }

    void aFullDiskNeverDamagesAFile() {
        QFETCH(int, write);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, entries);
        EditorFixture f;
        const QString root = QDir::cleanPath(f.appFolder() + "..") + "/";
        const SmallDisk disk(root);
        KEEPSAKE_REQUIRE_MOUNTED(disk);
        // The disk hides what the fixture had made there.
        QVERIFY(QDir().mkpath(f.appFolder()) && QDir().mkpath(f.companionFolder()));
        f.writeFile(f.companionFolder() + "Scribble.ini", "[Scribble]\r\n");
        layOut(f);
        const QByteArray oldCopy =
            EditorFixture::listFile(EditorFixture::entry("old.example/", "前の"), {"<BODY>"}, {});
        f.writeFile(f.appFolder() + "KEEPSAKE.TMP", oldCopy);
        switch (write) {
            case NewCategoryPage:
                QVERIFY(QFile::remove(f.appFolder() + kArt));
                break;
            case Close:
                QVERIFY(QFile::remove(f.appFolder() + "URLFRAME.HTML"));
                QVERIFY(QFile::remove(f.appFolder() + "URL_0000.html"));
                break;
            case RebuiltIndex:
                f.writeFile(f.appFolder() + "URLINDEX.HTML", "<HTML>\r\n<!--StartList-->\r\n");
                break;
            case RestoredKeepsake:
                QVERIFY(QFile::remove(f.companionFolder() + "KEEPSAKE.HTML"));
                break;
            default:
                break;
        }
        const bool atStart =
            write == RebuiltIndex || write == WorkingCopy || write == RestoredKeepsake;
        if (!atStart) {
            QVERIFY(f.start());
            QCOMPARE(shown(f.prompts), QString());
        }
        KeepsakeEditor* w = atStart ? nullptr : &f.editor();
        if (write == CategoryPage) {
            w->lstKinds.setCurrentRow(rowOf(w->lstKinds, "Art"));
            w->lstSub.model().removeAt(0);  // a change that the write would bring to the page
        }

        QVERIFY(disk.fill(root + "filler"));
        const auto files = [&] {
            return QList{snapshot(f.appFolder()), snapshot(f.companionFolder())};
        };
        const auto before = files();
        int boxesUp = 0;
        f.prompts.whileMessageShown = [&] {
            ++boxesUp;
            QCOMPARE(files(), before);
        };
        f.prompts.clear();
        switch (write) {
            case CategoryPage:
                w->cmdSave_Click();
                break;
            case NewCategoryPage:
                w->lstKinds.setCurrentRow(rowOf(w->lstKinds, "Art"));
                break;
            case Settings:
                w->WriteIniValue("Books", "0002", "Film");
                break;
            case Close:
                f.close();
                break;
            default:
                QVERIFY(f.start());
                break;
        }
        f.prompts.whileMessageShown = nullptr;

        QStringList expected;
        for (QString box : boxes)
            expected
                << box.replace("{app}", f.appFolder()).replace("{companion}", f.companionFolder());
        QCOMPARE(shownList(f.prompts), expected);
        QCOMPARE(boxesUp, expected.size());
        QCOMPARE(files(), before);
        QCOMPARE(f.prompts.waitDepth(), 0);
        if (!entries.isEmpty())
            QCOMPARE(itemTexts(f.editor().lstURLs[2]), entries);
    }

    // ---- The keepsake file and its working copy ----

    void aKeepsakeFileThatIsADanglingLinkIsRestoredFromTheWorkingCopy() {
        EditorFixture f;
        layOut(f);
        const QString keepsake = f.companionFolder() + "KEEPSAKE.HTML";
        const QString target = f.companionFolder() + "gone.html";
        QFile::remove(keepsake);
        QVERIFY(QFile::link(target, keepsake));
        const auto before = snapshot(f.appFolder());

        QVERIFY(f.start());
        QCOMPARE(shown(f.prompts), QString());
        QCOMPARE(itemTexts(f.editor().lstURLs[2]),
                 QStringList({"kept.example/", "other.example/a.html"}));
        QCOMPARE(snapshot(f.appFolder()), before);
        // The copy went back through the link: the link stands and its target is whole.
        QVERIFY(QFileInfo(keepsake).isSymLink());
        QCOMPARE(f.readFile(target), keepsakeFile());
    }

    void aKeepsakeFileThatIsAFolderLeavesTheWorkingCopyToBeRead() {
        EditorFixture f;
        layOut(f);
        const QString keepsake = f.companionFolder() + "KEEPSAKE.HTML";
        makeFolder(keepsake);
        const auto app = snapshot(f.appFolder());
        const auto companion = snapshot(f.companionFolder());

        QVERIFY(f.start());
        // It cannot be brought back: said, and the copy is read.
        const QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(isWriteFailure(messages[0], keepsake), qPrintable(messages[0]));
        QCOMPARE(itemTexts(f.editor().lstURLs[2]),
                 QStringList({"kept.example/", "other.example/a.html"}));
        QCOMPARE(snapshot(f.appFolder()), app);
        QCOMPARE(snapshot(f.companionFolder()), companion);
    }

    void aMissingKeepsakeFileWithoutWorkingCopyIsReported() {
        EditorFixture f;
        layOut(f);
        const QString keepsake = f.companionFolder() + "KEEPSAKE.HTML";
        makeFolder(keepsake);
        QVERIFY(QFile::remove(f.appFolder() + "KEEPSAKE.TMP"));
        const auto before = snapshot(f.appFolder());

        QVERIFY(f.start());
        QVERIFY(!f.editor().hasEnded());
        QCOMPARE(shown(f.prompts), joined(QStringList{QStringLiteral("critical|-|") + keepsake +
                                                      "ファイルが見つかりません。"}));
        QCOMPARE(snapshot(f.appFolder()), before);
    }

    void aKeepsakeFileThatCannotBeReadEndsTheProgramWithTheReason() {
        if (!canUseUnreadableFile())
            QSKIP("this system reads /proc/self/mem");
        EditorFixture f;
        layOut(f);
        const QString keepsake = f.companionFolder() + "KEEPSAKE.HTML";
        QFile::remove(keepsake);
        QVERIFY(QFile::link(kUnreadable, keepsake));
        const auto before = snapshot(f.appFolder());

        QVERIFY(!f.start());
        const QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        // The system's reason, and the file it is about.
        const QString named =
            QStringLiteral("critical|-|[") + keepsake + "]を読み込めませんでした。\n";
        QVERIFY2(messages[0].startsWith(named), qPrintable(messages[0]));
        QVERIFY2(messages[0].size() > named.size() + 2, qPrintable(messages[0]));
        QCOMPARE(snapshot(f.appFolder()), before);  // the old working copy is kept
        qInfo("%s", qPrintable(messages[0]));
    }

    void aCategoryPageThatCannotBeReadIsNeverWrittenOver() {
        if (!canUseUnreadableFile())
            QSKIP("this system reads /proc/self/mem");
        EditorFixture f;
        layOut(f);
        const QString page = f.appFolder() + "URL_0001.html";
        QFile::remove(page);
        QVERIFY(QFile::link(kUnreadable, page));
        QVERIFY(f.start());
        const auto before = snapshot(f.appFolder());
        f.prompts.clear();
        KeepsakeEditor& w = f.editor();

        w.lstKinds.setCurrentRow(rowOf(w.lstKinds, "Art"));
        QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 2);
        QVERIFY2(messages[0].startsWith(QStringLiteral("critical|-|[") + page +
                                        "]を読み込めませんでした。\n"),
                 qPrintable(messages[0]));
        QCOMPARE(messages[1],
                 QStringLiteral("information|新規ファイルです。|データがありません。"));

        // Writing it would replace the page with an empty list: refused.
        f.prompts.clear();
        QVERIFY(!w.WriteKindPage(QStringLiteral("0001"), QStringLiteral("Art")));
        QCOMPARE(shown(f.prompts),
                 QStringLiteral("information|-|") + pages::incompletePageMessage(page));
        QCOMPARE(snapshot(f.appFolder()), before);
    }

    void anIndexPageThatCannotBeReadIsNeverWrittenOver() {
        if (!canUseUnreadableFile())
            QSKIP("this system reads /proc/self/mem");
        EditorFixture f;
        layOut(f);
        const QString index = f.appFolder() + "URLINDEX.HTML";
        QFile::remove(index);
        QVERIFY(QFile::link(kUnreadable, index));
        const auto before = snapshot(f.appFolder());
        QVERIFY(f.start());
        const QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QStringLiteral("critical|-|[") + index +
                                        "]を読み込めませんでした。\n"),
                 qPrintable(messages[0]));

        // Neither a preview's write nor the close replaces it; the end mark is written.
        f.prompts.clear();
        f.editor().WriteIndexPages();
        f.close();
        QCOMPARE(shown(f.prompts), QString());
        auto expected = before;
        expected["KEEPSAKE.INI"] += "0002=\r\n";
        QCOMPARE(snapshot(f.appFolder()), expected);
    }

    void aSettingsFileThatCannotBeReadIsNeverWrittenOver() {
        if (!canUseUnreadableFile())
            QSKIP("this system reads /proc/self/mem");
        EditorFixture f;
        layOut(f);
        const QString ini = f.appFolder() + "KEEPSAKE.INI";
        QFile::remove(ini);
        QVERIFY(QFile::link(kUnreadable, ini));
        // With no companion folder to be read, the program's own folder is used.
        f.writeFile(f.appFolder() + "KEEPSAKE.HTML", keepsakeFile());
        const auto before = snapshot(f.appFolder());

        QVERIFY(f.start());
        QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0], QStringLiteral("dialog|frmFolder"));
        QVERIFY2(isWriteFailure(messages[1], ini), qPrintable(messages[1]));
        f.prompts.clear();
        // The category list was never loaded, so the close writes neither the index nor the
        // end mark of the list.
        f.close();
        QCOMPARE(shown(f.prompts), QString());
        QVERIFY(QFileInfo(ini).isSymLink());
        QCOMPARE(snapshot(f.appFolder()), before);
    }

    // A working copy that cannot be written is said; the old one stays, and the keepsake
    // file itself is read.
    void aWorkingCopyThatCannotBeWrittenIsReported_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("a folder") << true;
        QTest::newRow("a dangling link") << false;
    }

    void aWorkingCopyThatCannotBeWrittenIsReported() {
        QFETCH(bool, folder);
        EditorFixture f;
        layOut(f);
        const QString workingCopy = f.appFolder() + "KEEPSAKE.TMP";
        if (folder) {
            makeFolder(workingCopy);
        } else {
            QVERIFY(QFile::remove(workingCopy));
            QVERIFY(QFile::link(f.appFolder() + "nowhere/KEEPSAKE.TMP", workingCopy));
        }
        const auto before = snapshot(f.appFolder());

        QVERIFY(f.start());
        const QStringList messages = shownList(f.prompts);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(isWriteFailure(messages[0], workingCopy), qPrintable(messages[0]));
        QCOMPARE(itemTexts(f.editor().lstURLs[2]),
                 QStringList({"kept.example/", "other.example/a.html"}));
        QCOMPARE(snapshot(f.appFolder()), before);
    }
};

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
