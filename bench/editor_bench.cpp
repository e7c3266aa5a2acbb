// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The editor program as a person runs it, on a real X server: the time from starting the
// program until its window is on the screen (against a bare Qt window of the same size that
// shows as many rows of text in a list view), the share of a processor core that an idle
// editor takes while 200 other windows are open, and the peak memory of an editor holding 100,000
// kept entries (against one holding none).
//
// The program is copied into a temporary folder next to a made-up collection, since it takes
// its own folder for the editor's folder. Its window is found by its title through the same
// window walk the editor uses, polled every millisecond.
//
// KEEPSAKE_BENCH_DISPLAY names the X server (bench/run.sh starts one, with no window
// manager); without it every benchmark here is skipped.
#include "app/Refile.h"
#include "platform/X11WindowList.h"
#include "support/FakeLauncher.h"
#include "support/FakePrompts.h"
#include "support/FakeWindowList.h"
#include "support/SyntheticCollection.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

#include <map>
#include <memory>
#include <optional>

namespace {

constexpr std::uint64_t kSeed = 20261208;
constexpr int kWindows = 200;
constexpr int kStartEntries = 10000;
constexpr int kMemoryEntries = 100000;
constexpr int kIdleSeconds = 30;
const QString kEditorTitle = QStringLiteral("KEEPSAKE EDITOR");
const QString kBareTitle = QStringLiteral("BARE WINDOW");

QString display() {
    return qEnvironmentVariable("KEEPSAKE_BENCH_DISPLAY");
}

// The one connection that looks for windows, as the editor's own walk does.
X11WindowList& windowWalk() {
    static X11WindowList walk(display());
    return walk;
}

QProcessEnvironment childEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

// Waits until a window with this title exists (present) or none does (!present).
bool waitForTitle(const QString& title, bool present, int timeoutMs,
                  const QProcess* process = nullptr) {
    const QDeadlineTimer deadline(timeoutMs);
    while (windowWalk().hasWindowTitled(title) != present) {
        if (deadline.hasExpired())
            return false;
        if (process && present && process->state() == QProcess::NotRunning)
            return false;
        QThread::usleep(1000);
    }
    return true;
}

// A program running with a window; killed when this goes.
class Started {
public:
    Started(const QString& program, const QStringList& arguments, QString title)
        : m_title(std::move(title)) {
        m_process.setProcessEnvironment(childEnvironment());
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.setWorkingDirectory(QFileInfo(program).absolutePath());
        m_clock.start();
        m_process.start(program, arguments);
    }

    ~Started() { stop(); }

    // Nanoseconds from the start until the window was seen; nullopt when it never came.
    std::optional<qint64> waitForWindow(int timeoutMs) {
        if (!m_process.waitForStarted(timeoutMs))
            return std::nullopt;
        if (!waitForTitle(m_title, true, timeoutMs, &m_process))
            return std::nullopt;
        return m_clock.nsecsElapsed();
    }

    qint64 pid() const { return m_process.processId(); }
    bool running() const { return m_process.state() == QProcess::Running; }

    // Kills the program and waits until its window has gone from the server, so that the
    // next start does not take it for an earlier instance.
    void stop() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
        waitForTitle(m_title, false, 10000);
    }

private:
    QString m_title;
    QProcess m_process;
    QElapsedTimer m_clock;
};

// ---- /proc ------------------------------------------------------------------------------

// User plus system time of a process, in clock ticks; -1 when it cannot be read.
qint64 cpuTicks(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    // The command name may hold blanks; the fields after it start with the state (field 3).
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return fields[11].toLongLong() + fields[12].toLongLong();  // utime, stime
}

// VmHWM of a process in kB; -1 when it cannot be read.
qint64 peakKb(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// ---- Collections with the program beside them ------------------------------------------

struct Installed {
    QTemporaryDir dir;
    synthetic::Layout layout;
    QString program;
    QString error;
};

std::unique_ptr<Installed> install(const synthetic::Collection& collection) {
    auto i = std::make_unique<Installed>();
    if (!i->dir.isValid()) {
        i->error = QStringLiteral("no temporary folder");
        return i;
    }
    const std::optional<synthetic::Layout> layout =
        synthetic::layOut(i->dir.path(), collection, &i->error);
    if (!layout)
        return i;
    i->layout = *layout;
    i->program = i->layout.appFolder + QStringLiteral("keepsake-editor");
    if (!QFile::copy(QStringLiteral(KEEPSAKE_EDITOR_PATH), i->program)) {
        i->error = QStringLiteral("cannot copy the editor program");
    }
    return i;
}

synthetic::Collection keptEntries(int n) {
    synthetic::Collection c;
    c.keptEntries = n;
    c.categories = 20;
    c.seed = kSeed;
    return c;
}

bool ready(benchmark::State& state) {
    if (!display().isEmpty() && windowWalk().isConnected())
        return true;
    state.SkipWithError("KEEPSAKE_BENCH_DISPLAY names no X server that can be reached");
    return false;
}

bool usable(benchmark::State& state, const Installed& i) {
    if (i.error.isEmpty())
        return true;
    state.SkipWithError(i.error.toStdString().c_str());
    return false;
}

// ---- Start-up ---------------------------------------------------------------------------

// The editor's window size on this screen, taken from a main window started here on the same
// display, so that the bare window is just as big.
QSize editorSize(const Installed& i) {
    FakePrompts prompts;
    FakeWindowList windows;
    FakeLauncher launcher;
    Refile w(Platform{prompts, windows, launcher});
    if (!w.Load(i.layout.appFolder))
        return {};
    return w.size();
}

struct StartFixture {
    std::unique_ptr<Installed> collection;
    QStringList bareArguments;
};

StartFixture& startFixture(int entries) {
    static std::map<int, StartFixture> fixtures;
    auto found = fixtures.find(entries);
    if (found != fixtures.end())
        return found->second;
    StartFixture& f = fixtures[entries];
    f = [entries] {
        StartFixture s;
        s.collection = install(keptEntries(entries));
        if (!s.collection->error.isEmpty())
            return s;
        const QSize size = editorSize(*s.collection);
        s.bareArguments = {QString::number(size.width()), QString::number(size.height()),
                           kBareTitle, QString::number(entries)};
        // One start of each, not timed: libraries and fonts come into the page cache.
        Started(s.collection->program, {}, kEditorTitle).waitForWindow(60000);
        Started(QStringLiteral(KEEPSAKE_BARE_WINDOW_PATH), s.bareArguments, kBareTitle)
            .waitForWindow(60000);
        return s;
    }();
    return f;
}

void timeStart(benchmark::State& state, const QString& program, const QStringList& arguments,
               const QString& title) {
    for (auto _ : state) {
        Started started(program, arguments, title);
        const std::optional<qint64> ns = started.waitForWindow(60000);
        if (!ns) {
            state.SkipWithError("the window did not appear");
            return;
        }
        state.SetIterationTime(static_cast<double>(*ns) / 1e9);
    }
}

void BM_StartEditor(benchmark::State& state) {
    if (!ready(state))
        return;
    StartFixture& f = startFixture(static_cast<int>(state.range(0)));
    if (!usable(state, *f.collection))
        return;
    timeStart(state, f.collection->program, {}, kEditorTitle);
}

void BM_StartBareWindow(benchmark::State& state) {
    if (!ready(state))
        return;
    // The bare window takes the size of the editor's window with 10,000 entries, and shows as
    // many rows of text.
    StartFixture& f = startFixture(kStartEntries);
    if (!usable(state, *f.collection))
        return;
    timeStart(state, QStringLiteral(KEEPSAKE_BARE_WINDOW_PATH), f.bareArguments, kBareTitle);
}

// ---- An idle editor ---------------------------------------------------------------------

void BM_IdleEditor(benchmark::State& state) {
    if (!ready(state))
        return;
    synthetic::Collection c = keptEntries(kStartEntries);
    c.browserFolder = QStringLiteral("/opt/netscape/");  // so that every tick walks the windows
    const std::unique_ptr<Installed> i = install(c);
    if (!usable(state, *i))
        return;

    QProcess helper;
    helper.setProcessEnvironment(childEnvironment());
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(KEEPSAKE_TITLED_WINDOW_PATH),
                 {QStringLiteral("--many"), QString::number(state.range(0))});
    if (!helper.waitForReadyRead(20000) || helper.readLine() != "ready\n") {
        state.SkipWithError("x11_titled_window did not get ready");
        return;
    }

    double share = -1;
    for (auto _ : state) {
        Started editor(i->program, {}, kEditorTitle);
        if (!editor.waitForWindow(60000)) {
            state.SkipWithError("the editor's window did not appear");
            break;
        }
        QThread::sleep(2);  // the start-up's own work is over
        const qint64 before = cpuTicks(editor.pid());
        QElapsedTimer clock;
        clock.start();
        QThread::sleep(kIdleSeconds);
        const qint64 after = cpuTicks(editor.pid());
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (before < 0 || after < 0 || !editor.running()) {
            state.SkipWithError("the editor ended while it was idle");
            break;
        }
        share = 100.0 * static_cast<double>(after - before) /
                static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["cpu_percent"] = share;
    helper.closeWriteChannel();
    if (!helper.waitForFinished(10000))
        helper.kill();
}

// ---- Peak memory ------------------------------------------------------------------------

void BM_PeakMemory(benchmark::State& state) {
    if (!ready(state))
        return;
    const std::unique_ptr<Installed> i = install(keptEntries(static_cast<int>(state.range(0))));
    if (!usable(state, *i))
        return;
    qint64 peak = -1;
    for (auto _ : state) {
        Started editor(i->program, {}, kEditorTitle);
        const std::optional<qint64> ns = editor.waitForWindow(300000);
        if (!ns) {
            state.SkipWithError("the editor's window did not appear");
            break;
        }
        QThread::msleep(500);
        peak = peakKb(editor.pid());
        state.SetIterationTime(static_cast<double>(*ns) / 1e9);
    }
    state.counters["peak_kb"] = static_cast<double>(peak);
    state.counters["file_bytes"] = static_cast<double>(i->layout.keepsakeBytes);
}

}  // namespace

BENCHMARK(BM_StartEditor)
    ->Arg(0)
    ->Arg(kStartEntries)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_StartBareWindow)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_IdleEditor)->Arg(kWindows)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_PeakMemory)
    ->Arg(0)
    ->Arg(kMemoryEntries)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The main window that tells the editor's size is made on the same display as the editor.
    if (!display().isEmpty()) {
        qputenv("DISPLAY", display().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
