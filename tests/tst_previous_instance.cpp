// A second start while the editor's window exists ends at once, without a window; a window
// whose title only begins with the editor's caption does not count.
#include "platform/X11WindowList.h"
#include "support/EditorFixture.h"
#include "support/RealDisplay.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

namespace {

// Opens a window with this title through the helper program; it closes with the process.
std::unique_ptr<QProcess> openWindow(const QString& title, const QProcessEnvironment& env) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(KEEPSAKE_HELPER_DIR "/x11_titled_window"), {title});
    if (!process->waitForStarted() || !process->waitForReadyRead(10000))
        return nullptr;
    return process;
}

}  // namespace

class PreviousInstanceTest : public QObject {
    Q_OBJECT

private:
    QProcessEnvironment m_env;

    // Runs the editor from a prepared collection; returns its process, started.
    std::unique_ptr<QProcess> startEditor(EditorFixture& f) {
        f.writeSettings({"Music"});
        f.writeKeepsake(EditorFixture::listFile(EditorFixture::entry("a.example/", "A")));
        return f.startProgram(m_env);
    }

private slots:
    void initTestCase() {
        REQUIRE_TEST_DISPLAY();
        m_env = realDisplayEnvironment();
        X11WindowList windows(QString::fromLocal8Bit(realTestDisplay()));
        QVERIFY2(!windows.hasWindowTitled("KEEPSAKE EDITOR"), "an editor is already running");
    }

    void aSecondStartEndsAtOnce() {
        auto earlier = openWindow("KEEPSAKE EDITOR", m_env);
        QVERIFY(earlier);
        EditorFixture f;
        auto editor = startEditor(f);
        QVERIFY(editor);
        QVERIFY(editor->waitForFinished(15000));
        QCOMPARE(editor->exitStatus(), QProcess::NormalExit);
        QCOMPARE(editor->exitCode(), 0);
        // It ended before reading anything: no working copy, no index page.
        QVERIFY(!f.exists(f.appFolder() + "KEEPSAKE.TMP"));
        QVERIFY(!f.exists(f.appFolder() + "URLINDEX.HTML"));
        earlier->kill();
        earlier->waitForFinished();
    }

    void aLongerTitleDoesNotCount() {
        auto other = openWindow("KEEPSAKE EDITOR 2", m_env);
        QVERIFY(other);
        EditorFixture f;
        auto editor = startEditor(f);
        QVERIFY(editor);
        QVERIFY(editor->waitForStarted());
        X11WindowList windows(QString::fromLocal8Bit(realTestDisplay()));
        QTRY_VERIFY_WITH_TIMEOUT(windows.hasWindowTitled("KEEPSAKE EDITOR"), 15000);
        QCOMPARE(editor->state(), QProcess::Running);
        QVERIFY(f.exists(f.appFolder() + "KEEPSAKE.TMP"));
        editor->terminate();
        editor->waitForFinished(10000);
        other->kill();
        other->waitForFinished();
    }
};

QTEST_GUILESS_MAIN(PreviousInstanceTest)
#include "tst_previous_instance.moc"
