// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Which collection the real editor opens, and one editor per collection: real editor
// processes on the test command's X server, each case with a home and a configuration
// folder of its own.
#include "collection/CollectionFolder.h"
#include "support/EditorFixture.h"
#include "support/OtherWindows.h"
#include "support/RealDisplay.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QString kCaption = QStringLiteral("KEEPSAKE EDITOR");
const QString kBoxTitle = QStringLiteral("Quillet");

using otherwindows::waitForWindows;
using otherwindows::xdotool;

}  // namespace

class CollectionEndToEndTest : public QObject {
    Q_OBJECT

private:
    QProcessEnvironment m_env;
    std::unique_ptr<QTemporaryDir> m_home;
    std::vector<std::unique_ptr<QProcess>> m_processes;

    QString home() const { return m_home->path() + u'/'; }
    QString settingsFile() const {
        return home() + QStringLiteral(".config/keepsake-editor/keepsake-editor.conf");
    }

    QProcess* start(const QString& program, const QStringList& arguments = {}) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(m_env);
        process->start(program, arguments);
        if (!process->waitForStarted())
            return nullptr;
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    // An editor installed as `cmake --install` lays it out, under a fresh prefix.
    QString installEditor(const QTemporaryDir& prefix) {
        const QString bin = prefix.path() + QStringLiteral("/bin/");
        const QString applications = prefix.path() + QStringLiteral("/share/applications/");
        QDir().mkpath(bin);
        QDir().mkpath(applications);
        QFile entry(applications + collection::kAppId + QStringLiteral(".desktop"));
        entry.open(QIODevice::WriteOnly);
        entry.close();
        QFile::copy(QStringLiteral(KEEPSAKE_EDITOR_PATH), bin + QStringLiteral("keepsake-editor"));
        return bin + QStringLiteral("keepsake-editor");
    }

private slots:
    void initTestCase() { REQUIRE_TEST_DISPLAY_AND_XDOTOOL(); }

    void init() {
        m_home = std::make_unique<QTemporaryDir>();
        m_env = realDisplayEnvironment();
        m_env.insert("HOME", m_home->path());
        m_env.remove("XDG_CONFIG_HOME");
    }

    void cleanup() {
        for (auto& process : m_processes) {
            process->terminate();
            if (!process->waitForFinished(10000))
                process->kill();
        }
        m_processes.clear();
    }

    // An installed editor: the collection of the editor started last while it exists; else,
    // after a box naming the folder that has gone, the default folder in the home folder,
    // made on the first start with a settings file that links the folder itself.
    void theInstalledEditorsFolder_data() {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<int>("boxes");
        QTest::newRow("first start") << QString() << 1;
        QTest::newRow("the last collection") << "collection" << 0;
        QTest::newRow("the last collection has gone") << "/no/such/collection/" << 2;
    }
    void theInstalledEditorsFolder() {
        QFETCH(QString, remembered);
        QFETCH(int, boxes);
        EditorFixture f;
        f.writeSmallCollection();
        const bool existing = remembered == "collection";
        if (existing)
            remembered = f.appFolder();
        if (!remembered.isEmpty()) {
            QDir().mkpath(home() + ".config/keepsake-editor");
            QFile conf(settingsFile());
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write("[Collection]\nFolder=" + remembered.toUtf8() + "\n");
        }
        QTemporaryDir prefix;
        QProcess* editor = start(installEditor(prefix));
        QVERIFY(editor);
        // The new collection has no keepsake file yet: the reader says so.
        for (int i = 0; i < boxes; ++i) {
            const QStringList box = waitForWindows(editor->processId(), kBoxTitle);
            QVERIFY(!box.isEmpty());
            otherwindows::pressKeys(box[0], {"Return"});
            QTRY_VERIFY_WITH_TIMEOUT(
                !xdotool({"search", "--onlyvisible", "--pid", QString::number(editor->processId()),
                          "--name", kBoxTitle})
                     .contains(box[0]),
                10000);
        }
        QVERIFY(!waitForWindows(editor->processId(), kCaption).isEmpty());
        const QString folder = existing ? f.appFolder() : home() + "Keepsake/";
        QVERIFY(QFile::exists(folder + ".keepsake-editor.lock"));
        QCOMPARE(EditorFixture::readFile(settingsFile()),
                 "[Collection]\nFolder=" + folder.toUtf8() + "\n");
        if (!existing)
            QCOMPARE(EditorFixture::readFile(folder + "KEEPSAKE.INI"),
                     "[Scribble]\r\nFolder=" + folder.toUtf8() + "\r\n");
    }

    // A second start on a collection brings the first editor's window to the front and
    // ends; a start on another collection (given on the command line) opens its own.
    void oneEditorPerCollection() {
        EditorFixture f;
        f.writeSmallCollection();
        auto first = f.startProgram(m_env);
        QVERIFY(first);
        const QStringList window = waitForWindows(first->processId(), kCaption);
        QVERIFY(!window.isEmpty());
        QCOMPARE(EditorFixture::readFile(settingsFile()),
                 "[Collection]\nFolder=" + f.appFolder().toUtf8() + "\n");

        QProcess* other = start(KEEPSAKE_HELPER_DIR "/x11_titled_window", {"other"});
        QVERIFY(other && other->waitForReadyRead(10000));
        const QString otherWindow =
            xdotool({"search", "--pid", QString::number(other->processId()), "--name", "^other$"});
        xdotool({"windowfocus", "--sync", otherWindow});
        QCOMPARE(xdotool({"getwindowfocus"}), otherWindow);

        auto second = f.startProgram(m_env);
        QVERIFY(second);
        QVERIFY(second->waitForFinished(15000));
        QCOMPARE(second->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(window.contains(xdotool({"getwindowfocus"})), 10000);
        QCOMPARE(waitForWindows(first->processId(), kCaption), window);

        EditorFixture g;
        g.writeSmallCollection();
        QProcess* third = start(f.appFolder() + "keepsake-editor", {g.appFolder()});
        QVERIFY(third);
        QVERIFY(!waitForWindows(third->processId(), kCaption).isEmpty());
        QCOMPARE(EditorFixture::readFile(settingsFile()),
                 "[Collection]\nFolder=" + g.appFolder().toUtf8() + "\n");
        QVERIFY(QFile::exists(g.appFolder() + ".keepsake-editor.lock"));
        QCOMPARE(first->state(), QProcess::Running);
        first->terminate();
        first->waitForFinished(10000);
    }

    // An editor that was killed leaves its lock and its socket behind; neither keeps the
    // next editor from starting.
    void aKilledEditorDoesNotBlockTheNext() {
        EditorFixture f;
        f.writeSmallCollection();
        auto killed = f.startProgram(m_env);
        QVERIFY(killed);
        QVERIFY(!waitForWindows(killed->processId(), kCaption).isEmpty());
        ::kill(static_cast<pid_t>(killed->processId()), SIGKILL);
        QVERIFY(killed->waitForFinished(10000));
        auto next = f.startProgram(m_env);
        QVERIFY(next);
        QVERIFY(!waitForWindows(next->processId(), kCaption).isEmpty());
        next->terminate();
        next->waitForFinished(10000);
    }
};

QTEST_GUILESS_MAIN(CollectionEndToEndTest)
#include "tst_collection_e2e.moc"
