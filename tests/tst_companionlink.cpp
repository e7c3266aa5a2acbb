// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The folder dialog, the companion link and the two folder commands.
#include "dialogs/FolderDialog.h"
#include "platform/Cp932Codec.h"
#include "settings/ProfileFile.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <dirent.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {
const QString kWrongFolder = QStringLiteral("フォルダーが違います。");

// Opens `path` in the dialog's directory list the way a double click does.
void openFolder(frmFolder& d, const QString& path) {
    d.setDirPath(path);
}

// The folder as the dialog's path line shows it.
QString shown(const QString& folder) {
    return folder.chopped(1);
}

// WCAG's contrast ratio of two colours, 1 to 21.
double contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// While it lives, this process reads folders as a user other than root would: without the
// capabilities that let root read a folder whatever its mode. A folder of mode 000 then
// really refuses to be listed, with the system's own reason.
class WithoutReadOverride {
public:
    WithoutReadOverride() {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutReadOverride() {
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutReadOverride(const WithoutReadOverride&) = delete;
    WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_dropped = false;
};

bool canList(const QString& folder) {
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (dir)
        closedir(dir);
    return dir != nullptr;
}

// `folder` (ending in "/") made longer, by folders of double-byte names, to exactly `bytes`
// bytes of code page 932.
QString folderOfBytes(QString folder, qsizetype bytes) {
    for (qsizetype rest = bytes - cp932::encode(folder).size(); rest > 0;
         rest = bytes - cp932::encode(folder).size()) {
        if (rest > 173)
            folder += QString(85, u'あ') + u'/';  // 171 bytes, the most a name here may have
        else if (rest > 171)
            folder += QString(40, u'あ') + u'/';
        else if (rest % 2 == 1)
            folder += QString((rest - 1) / 2, u'あ') + u'/';
        else
            folder += u'a' + QString((rest - 2) / 2, u'あ') + u'/';
    }
    return folder;
}

frmFolder& asFolderDialog(QDialog& dialog) {
    auto* folder = qobject_cast<frmFolder*>(&dialog);
    if (!folder)
        qFatal("not the folder dialog");
    return *folder;
}
}  // namespace

class CompanionLinkTest : public QObject {
    Q_OBJECT

private slots:
    void theDialogAcceptsOnlyAFolderWithTheFile() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        QDir().mkpath(root + "with");
        QDir().mkpath(root + "without");
        QDir().mkpath(root + "folder/Scribble.ini");
        QFile(root + "with/scribble.INI").open(QIODevice::WriteOnly);
        QFile::link(root + "nowhere", root + "without/Scribble.ini");  // a dangling link

        SharedSettings settings;
        settings.CompanionFolder = "/old/";
        FakePrompts prompts;
        frmFolder d(settings, prompts);
        d.TargetFile = "Scribble.ini";
        d.Form_Load();
        QCOMPARE(settings.CompanionFolder, QString());
        QCOMPARE(d.windowTitle(), QStringLiteral("Select Folder"));
        QCOMPARE(d.cmdOK->text(), QStringLiteral("連携する"));
        QCOMPARE(d.cmdCancel->text(), QStringLiteral("連携しない"));
        QCOMPARE(d.Drive1->itemText(0), QStringLiteral("/"));
        // The path line is as readable as a text field.
        const QPalette pal = d.Label2->palette();
        QVERIFY2(contrast(pal.color(QPalette::WindowText), pal.color(QPalette::Window)) >= 4.5,
                 qPrintable(pal.color(QPalette::WindowText).name() + " on " +
                            pal.color(QPalette::Window).name()));

        // With no folder linked or stored, the dialog opens in the current folder, shows it,
        // and "連携する" tests what it shows.
        const QString current = QDir::currentPath();
        QCOMPARE(d.Label2->text(), current);
        d.cmdOK->click();
        QCOMPARE(d.SelectedFolder, current + "/");
        QCOMPARE(prompts.messageTexts(), QStringList({kWrongFolder}));
        QCOMPARE(prompts.shown().last().title, std::optional<QString>(kProgramTitle));
        QCOMPARE(prompts.shown().last().icon, PromptIcon::Information);

        for (const QString sub : {"without", "folder"}) {
            openFolder(d, root + sub);
            QCOMPARE(d.Label2->text(), root + sub);
            QCOMPARE(d.Label2->toolTip(), root + sub);
            d.cmdOK->click();
            QCOMPARE(prompts.messageTexts().last(), kWrongFolder);
            // The separator is appended once, and stays after the failed test.
            QCOMPARE(d.SelectedFolder, root + sub + "/");
            d.cmdOK->click();
            QCOMPARE(d.SelectedFolder, root + sub + "/");
        }
        QCOMPARE(d.result(), 0);
        QCOMPARE(settings.CompanionFolder, QString());

        // Walking there through the list: up one level, then into "with".
        openFolder(d, root + "without");
        d.Dir1->setCurrentRow(0);
        QCOMPARE(d.Dir1->item(0)->text(), QStringLiteral(".."));
        emit d.Dir1->itemActivated(d.Dir1->item(0));
        QCOMPARE(d.dirPath(), root);
        const auto found = d.Dir1->findItems("with", Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        emit d.Dir1->itemActivated(found.first());
        d.cmdOK->click();
        QCOMPARE(settings.CompanionFolder, root + "with/");
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void theBrowsersDialogLeavesTheCompanionAlone() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        QFile(root + "Netscape.exe").open(QIODevice::WriteOnly);
        SharedSettings settings;
        settings.CompanionFolder = "/companion/";
        settings.BrowserFolder = "/browser/";
        FakePrompts prompts;
        {
            frmFolder d(settings, prompts);
            d.TargetFile = "Netscape.exe";
            d.Form_Load();
            d.cmdCancel->click();
        }
        QCOMPARE(settings.CompanionFolder, QStringLiteral("/companion/"));
        QCOMPARE(settings.BrowserFolder, QStringLiteral("/browser/"));
        {
            frmFolder d(settings, prompts);
            d.TargetFile = "Netscape.exe";
            d.Form_Load();
            d.setDirPath(root);
            d.cmdOK->click();
        }
        QCOMPARE(settings.BrowserFolder, root);
        QCOMPARE(settings.CompanionFolder, QStringLiteral("/companion/"));

        // Changing the drive moves the directory list to that root.
        frmFolder d(settings, prompts);
        d.Drive1->setCurrentIndex(0);
        d.Drive1_Change();
        QCOMPARE(d.dirPath(), QStringLiteral("/"));
        QCOMPARE(d.SelectedFolder, QStringLiteral("/"));
        // Opening a folder on another file system shows that one in the drive list.
        const QStringList roots = frmFolder::driveRoots();
        if (roots.size() > 1) {
            d.setDirPath(roots.last());
            QCOMPARE(d.Drive1->currentText(), roots.last());
            d.setDirPath(QStringLiteral("/"));
            QCOMPARE(d.Drive1->currentIndex(), 0);
        }
    }

    void theFirstStartAsksForTheCompanion() {
        WindowFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.TMP", WindowFixture::listFile({}));
        // Declined: the editor's own folder is stored, and the keepsake file is looked for there.
        f.prompts.answerDialog([](QDialog& dialog) {
            frmFolder& d = asFolderDialog(dialog);
            QCOMPARE(d.Label1->text(),
                     QStringLiteral("Scribbleのあるフォルダを指定してください。"));
            d.cmdCancel->click();
        });
        QVERIFY(f.start());
        QVERIFY(!f.window().editor().CompanionLinked);
        QVERIFY(!ui(f.window()).mn_ScribbleExec->isEnabled());
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"),
                 "[Scribble]\r\nFolder=" + f.appFolder().toUtf8() + "\r\n");
        QCOMPARE(f.window().editor().settings.CompanionFolder, f.appFolder());
        f.close();

        // The next start shows no dialog and reports the companion linked.
        f.prompts.clear();
        QVERIFY(f.start());
        QCOMPARE(f.prompts.shown().size(), 0);
        QVERIFY(f.window().editor().CompanionLinked);
        QVERIFY(ui(f.window()).mn_ScribbleExec->isEnabled());
        // Unless a window titled exactly "Scribble" exists.
        f.windows.titles = {"Scribble"};
        QVERIFY(f.start());
        QVERIFY(!ui(f.window()).mn_ScribbleExec->isEnabled());
    }

    void aVanishedCompanionFolderAsksAgain() {
        WindowFixture f;
        f.writeFile(f.appFolder() + "KEEPSAKE.INI",
                    "[Scribble]\r\nFolder=/no/such/folder/\r\n[Books]\r\n0000=Kept\r\n");
        f.writeKeepsake(WindowFixture::listFile(WindowFixture::entry("a.example/", "A")));
        const QString companion = f.companionFolder();
        f.prompts.answerDialog([companion](QDialog& dialog) {
            frmFolder& d = asFolderDialog(dialog);
            d.setDirPath(companion);
            d.cmdOK->click();
        });
        QVERIFY(f.start());
        QVERIFY(f.window().editor().CompanionLinked);
        QCOMPARE(f.window().editor().KeepCount, 1);
        QCOMPARE(itemTexts(f.window().editor().lstKinds), QStringList({"Kept"}));
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"),
                 "[Scribble]\r\nFolder=" + companion.toUtf8() + "\r\n[Books]\r\n0000=Kept\r\n");
    }

    void aStoredFolderThatHasGoneStaysStoredWhenDeclined() {
        WindowFixture f;
        const QByteArray ini = "[Scribble]\r\nFolder=/no/such/folder/\r\n[Books]\r\n0000=Kept\r\n";
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", ini);
        f.writeFile(f.appFolder() + "KEEPSAKE.TMP", WindowFixture::listFile({}));
        f.prompts.answerDialog([](QDialog& dialog) { asFolderDialog(dialog).cmdCancel->click(); });
        QVERIFY(f.start());
        // This run uses the editor's own folder; the stored folder and names stay as they were.
        QCOMPARE(f.window().editor().settings.CompanionFolder, f.appFolder());
        QVERIFY(!f.window().editor().CompanionLinked);
        QCOMPARE(f.window().editor().lstKinds.count(), 0);
        f.close();
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"), ini);
        QCOMPARE(f.prompts.unscripted(), 0);
    }

    void foldersStoredTooLongToReadAreNamedAndKept() {
        // Stored by hand, longer than a read gives back: neither is used, asked for at every
        // start, or written over.
        const QByteArray tooLong = "/" + QByteArray(1100, 'c') + "/";
        WindowFixture f;
        const QByteArray ini = "[Scribble]\r\nFolder=" + tooLong +
                               "\r\n[Netscape]\r\nFolder=" + tooLong +
                               "\r\n[Books]\r\n0000=Kept\r\n";
        f.writeFile(f.appFolder() + "KEEPSAKE.INI", ini);
        f.writeFile(f.appFolder() + "KEEPSAKE.HTML", WindowFixture::listFile({}));
        QVERIFY(f.start());
        const QString iniPath = f.appFolder() + "KEEPSAKE.INI";
        QCOMPARE(
            f.prompts.describe(),
            QStringList(
                {"information|-|" + cutValueMessage(iniPath, "Scribble", "Folder") +
                     "\n今回はこのプログラムのフォルダーを使います。「Scribbleのフォルダ指定」で"
                     "フォルダーを指定し直してください。",
                 "information|-|" + cutValueMessage(iniPath, "Netscape", "Folder") +
                     "\n「Netscapeのフォルダ指定」でフォルダーを指定し直してください。"}));
        Refile& w = f.window();
        QCOMPARE(w.editor().settings.CompanionFolder, f.appFolder());
        QVERIFY(!w.editor().CompanionLinked);
        QCOMPARE(w.editor().settings.BrowserFolder, QString());
        // Declining the browser's dialog writes nothing back over it.
        f.prompts.answerDialog([](QDialog& dialog) { asFolderDialog(dialog).cmdCancel->click(); });
        ui(w).mn_NetscapeFolderSet->trigger();
        f.close();
        QCOMPARE(f.readFile(iniPath), ini);
        QCOMPARE(f.prompts.unscripted(), 2);  // the two notices
    }

    void foldersTheSettingsCannotHoldAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("why");
        const int usual = 0755;
        QTest::newRow("line break")
            << QStringLiteral("x\n[Books]\n0000=Injected") << usual << "制御文字";
        QTest::newRow("tab") << QStringLiteral("a\tb") << usual << "制御文字";
        QTest::newRow("delete") << QStringLiteral("a\x7f") << usual << "制御文字";
        QTest::newRow("not in cp932") << QStringLiteral("caf\u00e9") << usual << "Shift_JIS";
        QTest::newRow("emoji") << QStringLiteral("\U0001F600") << usual << "Shift_JIS";
        QTest::newRow("japanese") << QStringLiteral("日本語フォルダ") << usual << "";
        // Refused when opened, with the system's reason; the list stays where it was.
        QTest::newRow("unreadable") << QStringLiteral("closed") << 0
                                    << "]\r\nフォルダーを読み込めません。\r\nPermission denied";
        // A read gives back 1,023 bytes of a folder.
        QTest::newRow("1,023 bytes") << QStringLiteral("1023") << usual << "";
        QTest::newRow("1,024 bytes") << QStringLiteral("1024") << usual << "長すぎる";
    }

    void foldersTheSettingsCannotHoldAreRefused() {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(QString, why);
        QTemporaryDir dir;
        QString folder = dir.path() + "/" + name + "/";
        if (const qsizetype bytes = name.toLongLong(); bytes > 0) {
            folder = folderOfBytes(folder, bytes);
            QCOMPARE(cp932::encode(folder).size(), bytes);
        }
        QVERIFY(QDir().mkpath(folder));
        for (const QString target : {"Scribble.ini", "Netscape.exe"})
            QFile(folder + target).open(QIODevice::WriteOnly);
        QCOMPARE(chmod(QFile::encodeName(folder).constData(), mode_t(mode)), 0);
        WithoutReadOverride asAUser;
        if (mode == 0 && canList(folder))
            QFAIL("this process can still read a folder of mode 000: no unreadable folder here");
        for (const QString target : {"Scribble.ini", "Netscape.exe"}) {
            SharedSettings settings;
            settings.BrowserFolder = "/browser/";
            FakePrompts prompts;
            frmFolder d(settings, prompts);
            d.TargetFile = target;
            d.Form_Load();
            const QString before = d.dirPath();
            d.setDirPath(folder);
            if (prompts.messageTexts().isEmpty()) {
                d.cmdOK->click();
            } else {
                QCOMPARE(prompts.messageTexts()[0], "[" + shown(folder) + why);
                QCOMPARE(d.dirPath(), before);
                QCOMPARE(d.Label2->text(), shown(before));
            }
            QString& result =
                target == "Scribble.ini" ? settings.CompanionFolder : settings.BrowserFolder;
            if (why.isEmpty()) {
                QCOMPARE(prompts.messageTexts(), QStringList());
                QCOMPARE(result, folder);
                continue;
            }
            QCOMPARE(prompts.messageTexts().size(), 1);
            QVERIFY2(prompts.messageTexts()[0].contains(why),
                     qPrintable(prompts.messageTexts()[0]));
            QCOMPARE(prompts.shown()[0].icon, PromptIcon::Information);
            QCOMPARE(result, target == "Scribble.ini" ? QString() : QStringLiteral("/browser/"));
            QCOMPARE(d.result(), 0);
        }
        chmod(QFile::encodeName(folder).constData(), 0755);
    }

    void returnInTheFolderListOpensTheFolderOnly() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        QDir().mkpath(root + "inner");
        QFile(root + "inner/Netscape.exe").open(QIODevice::WriteOnly);
        for (const QString target : {"Scribble.ini", "Netscape.exe"}) {
            SharedSettings settings;
            FakePrompts prompts;
            frmFolder d(settings, prompts);
            d.TargetFile = target;
            d.Form_Load();
            d.setDirPath(root);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            const auto found = d.Dir1->findItems("inner", Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            d.Dir1->setCurrentItem(found.first());
            d.Dir1->setFocus();
            QTest::keyClick(d.Dir1, Qt::Key_Return);
            QCOMPARE(d.dirPath(), root + "inner/");
            QVERIFY(d.isVisible());
            QCOMPARE(d.result(), 0);
            QCOMPARE(prompts.messageTexts(), QStringList());
            QCOMPARE(settings.BrowserFolder, QString());
            QCOMPARE(settings.CompanionFolder, QString());
        }
    }

    void theFolderCommands() {
        WindowFixture f;
        f.writeSettings({"Music", "Art"});
        f.writeKeepsake(WindowFixture::listFile({}));
        QVERIFY(f.start());
        Refile& w = f.window();
        QVERIFY(w.editor().Timer1->isActive());

        // Declining the companion dialog changes nothing: the stored folder and the link stay.
        const QByteArray stored = f.readFile(f.appFolder() + "KEEPSAKE.INI");
        // The dialog opens in the linked folder and shows its path.
        f.prompts.answerDialog([&w, &f](QDialog& dialog) {
            QVERIFY(!w.editor().Timer1->isActive());
            QCOMPARE(asFolderDialog(dialog).dirPath(), f.companionFolder());
            QCOMPARE(asFolderDialog(dialog).Label2->text(), shown(f.companionFolder()));
            asFolderDialog(dialog).cmdCancel->click();
        });
        ui(w).mn_FolderSet->trigger();
        QCOMPARE(itemTexts(w.editor().lstKinds), QStringList({"Art", "Music"}));
        QVERIFY(w.editor().CompanionLinked);
        QCOMPARE(w.editor().settings.CompanionFolder, f.companionFolder());
        QVERIFY(ui(w).mn_ScribbleExec->isEnabled());
        QVERIFY(w.editor().Timer1->isActive());
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"), stored);

        // Accepting it again reloads the list and enables the companion's start.
        const QString companion = f.companionFolder();
        f.writeFile(f.appFolder() + "KEEPSAKE.INI",
                    "[Books]\r\n0000=Music\r\n0001=Art\r\n0002=New\r\n");
        f.prompts.answerDialog([companion](QDialog& dialog) {
            asFolderDialog(dialog).setDirPath(companion);
            asFolderDialog(dialog).cmdOK->click();
        });
        ui(w).mn_FolderSet->trigger();
        QVERIFY(w.editor().CompanionLinked);
        QVERIFY(ui(w).mn_ScribbleExec->isEnabled());
        QCOMPARE(itemTexts(w.editor().lstKinds), QStringList({"Art", "Music", "New"}));

        // The browser's folder: declined writes back what was there, empty included.
        const QByteArray before = f.readFile(f.appFolder() + "KEEPSAKE.INI");
        f.prompts.answerDialog([](QDialog& dialog) {
            frmFolder& d = asFolderDialog(dialog);
            QCOMPARE(d.Label1->text(),
                     QStringLiteral("Netscape.exeのあるフォルダを指定してください。"));
            d.cmdCancel->click();
        });
        ui(w).mn_NetscapeFolderSet->trigger();
        QCOMPARE(f.readFile(f.appFolder() + "KEEPSAKE.INI"), before + "[Netscape]\r\nFolder=\r\n");
        QCOMPARE(w.editor().settings.CompanionFolder, companion);

        QTemporaryDir browser;
        QFile(browser.path() + "/Netscape.exe").open(QIODevice::WriteOnly);
        const QString browserFolder = browser.path() + "/";
        f.prompts.answerDialog([browserFolder](QDialog& dialog) {
            asFolderDialog(dialog).setDirPath(browserFolder);
            asFolderDialog(dialog).cmdOK->click();
        });
        ui(w).mn_NetscapeFolderSet->trigger();
        QCOMPARE(w.editor().settings.BrowserFolder, browserFolder);
        QCOMPARE(w.editor().settings.CompanionFolder, companion);
        // The browser's dialog opens in the browser's folder, shown in full.
        f.prompts.answerDialog([browserFolder](QDialog& dialog) {
            QCOMPARE(asFolderDialog(dialog).dirPath(), browserFolder);
            QCOMPARE(asFolderDialog(dialog).Label2->text(), shown(browserFolder));
            asFolderDialog(dialog).cmdCancel->click();
        });
        ui(w).mn_NetscapeFolderSet->trigger();
        QVERIFY(f.readFile(f.appFolder() + "KEEPSAKE.INI")
                    .endsWith("[Netscape]\r\nFolder=" + browserFolder.toUtf8() + "\r\n"));
        QCOMPARE(f.prompts.unscripted(), 0);
    }
};

QTEST_MAIN(CompanionLinkTest)
#include "tst_companionlink.moc"
