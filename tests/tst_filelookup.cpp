// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Named files are found whatever the case of their names on disk; folders keep one separator.
#include "platform/FileLookup.h"
#include "platform/InstanceLock.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

class FileLookupTest : public QObject {
    Q_OBJECT

private slots:
    void theFolderLock() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        {
            const InstanceLock first(folder);
            QVERIFY(!first.heldByAnother());
            QVERIFY(QFile::exists(folder + ".keepsake-editor.lock"));
            // Held by a running editor (this process): a second one must end.
            const InstanceLock second(folder);
            QVERIFY(second.heldByAnother());
        }
        QVERIFY(!QFile::exists(folder + ".keepsake-editor.lock"));
        // A lock that cannot be made at all does not keep the editor from running.
        const InstanceLock nowhere(folder + "no/such/folder/");
        QVERIFY(!nowhere.heldByAnother());
    }

    void filesAreFoundWithoutRegardToCase() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        QVERIFY(textfile::replace(folder + "url_0003.HTML", "page"));
        QVERIFY(textfile::replace(folder + ".hidden.html", "x"));
        QDir().mkpath(folder + "URL_0004.html");
        QFile::link(folder + "gone", folder + "URL_0005.html");

        // One lookup reads the folder; a listing made once answers the same for every name.
        const auto found = [](const QString& in, const QString& name) {
            const QString one = filelookup::findFile(in, name);
            const QString listed = filelookup::FolderFiles(in).find(name);
            return one == listed ? one
                                 : QStringLiteral("findFile %1, FolderFiles %2").arg(one, listed);
        };
        QCOMPARE(found(folder, "URL_0003.html"), folder + "url_0003.HTML");
        QCOMPARE(found(folder, "url_0003.HTML"), folder + "url_0003.HTML");
        QCOMPARE(found(folder, "URL_0004.html"), QString());  // a folder
        QCOMPARE(found(folder, "URL_0005.html"), QString());  // dangling link
        QCOMPARE(found(folder, ".HIDDEN.html"), QString());
        QCOMPARE(found(folder, "../x"), QString());
        QCOMPARE(found(folder + "missing/", "a"), QString());
        QCOMPARE(filelookup::pathForWriting(folder, "URL_0003.HTML"), folder + "url_0003.HTML");
        QCOMPARE(filelookup::pathForWriting(folder, "URL_0009.html"), folder + "URL_0009.html");

        // An exact match wins over another spelling.
        QVERIFY(textfile::replace(folder + "URL_0003.html", "other"));
        QCOMPARE(found(folder, "URL_0003.html"), folder + "URL_0003.html");
        QCOMPARE(found(folder, "uRL_0003.html"), folder + "URL_0003.html");  // first in order
    }

    void foldersKeepOneSeparator() {
        QCOMPARE(filelookup::folderWithSeparator("/"), QStringLiteral("/"));
        QCOMPARE(filelookup::folderWithSeparator("/opt/app"), QStringLiteral("/opt/app/"));
        QCOMPARE(filelookup::folderWithSeparator("/opt/app/"), QStringLiteral("/opt/app/"));
        QCOMPARE(filelookup::folderWithSeparator("/opt/app//"), QStringLiteral("/opt/app/"));
    }

    // What a full disk does to a replacement is shown on a real one (tst_faults).
    void aReplacementKeepsTheFileItReplaces() {
        QTemporaryDir dir;
        const QString path = dir.path() + "/page.html";
        const mode_t mask = ::umask(027);
        const auto restoreMask = qScopeGuard([mask] { ::umask(mask); });
        // A new file as any program makes one; an old one keeps its mode.
        QVERIFY(textfile::replace(path, "old contents"));
        QCOMPARE(modeOf(path), mode_t(0640));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0604), 0);
        QVERIFY(textfile::replace(path, "new contents"));
        QCOMPARE(modeOf(path), mode_t(0604));
        // Through a link, the file it points to is replaced and the link stays.
        QVERIFY(QFile::link("page.html", dir.path() + "/link.html"));
        QVERIFY(textfile::replace(dir.path() + "/link.html", "through the link"));
        QVERIFY(QFileInfo(dir.path() + "/link.html").isSymLink());
        QByteArray bytes;
        QVERIFY(textfile::readAll(path, &bytes));
        QCOMPARE(bytes, QByteArray("through the link"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList({"link.html", "page.html"}));
        QString error;
        // A folder in the file's place, and a missing folder.
        QDir().mkpath(dir.path() + "/taken");
        QVERIFY(!textfile::replace(dir.path() + "/taken", "x", &error));
        QVERIFY(!textfile::replace(dir.path() + "/no/such/file", "x", &error));
        QVERIFY(!textfile::readAll(dir.path() + "/no/such/file", &bytes, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(FileLookupTest)
#include "tst_filelookup.moc"
