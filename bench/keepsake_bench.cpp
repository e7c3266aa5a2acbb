// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The editor's own operations, measured in one process on Qt's offscreen platform: reading
// the keepsake file, selecting and writing a category page, the category list, the index and
// closing the window, and one tick of the browser timer over the windows of a real X server.
//
// Every operation runs on a made-up collection (tests/support/SyntheticCollection.h) laid out
// in a temporary folder, inside a real main window with scripted prompts. Beside each one runs
// its floor: the least any code could do for the same result (decoding the bytes, filling
// list views over plain string models, reading and decoding a page, encoding and writing the
// same bytes).
//
// The timer benchmarks need an X server: KEEPSAKE_BENCH_DISPLAY names it (bench/run.sh starts
// one). Without it they are skipped.
#include "app/KeepsakeEditor.h"
#include "app/Refile.h"
#include "bookmarks/CollectionBookmarks.h"
#include "keepsake/Collation.h"
#include "keepsake/ListFileReader.h"
#include "platform/Cp932Codec.h"
#include "platform/TextFile.h"
#include "platform/X11WindowList.h"
#include "support/FakeLauncher.h"
#include "support/FakePrompts.h"
#include "support/FakeWindowList.h"
#include "support/SyntheticCollection.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <array>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kSeed = 20261208;
constexpr int kWindows = 200;
const QString kKeepsake = QStringLiteral("KEEPSAKE.HTML");

// ---- Fixtures -----------------------------------------------------------------------------

// Google Benchmark calls a benchmark function several times (to find the iteration count,
// and once per repetition); the fixture of the one that runs is kept between those calls.
class Fixture {
public:
    virtual ~Fixture() = default;
};

std::string g_fixtureKey;
std::unique_ptr<Fixture> g_fixture;

template <typename T>
T& fixture(const std::string& key, const std::function<std::unique_ptr<T>()>& make) {
    if (key != g_fixtureKey || !g_fixture) {
        g_fixture.reset();  // the previous one goes first: one big collection at a time
        g_fixtureKey = key;
        g_fixture = make();
    }
    return static_cast<T&>(*g_fixture);
}

std::string keyOf(const char* name, std::int64_t n) {
    return name + std::to_string(n);
}

// Keeps every entry, as a reader of the file without any window would.
class StoringHost : public ListFileHost {
public:
    std::vector<keepsake::Entry> entries;
    int messages = 0;
    void entry(keepsake::Entry e) override { entries.push_back(std::move(e)); }
    void failure(const QString&) override { ++messages; }
    bool askContinue() override {
        ++messages;
        return true;
    }
};

struct Bytes : Fixture {
    QByteArray keepsake;
};

Bytes& keepsakeBytes(std::int64_t n) {
    return fixture<Bytes>(keyOf("bytes", n), [n] {
        auto f = std::make_unique<Bytes>();
        f->keepsake = synthetic::keepsakeFile(static_cast<int>(n), kSeed);
        return f;
    });
}

// A main window started on a collection in a temporary folder.
struct Editor : Fixture {
    QTemporaryDir dir;
    synthetic::Layout layout;
    FakePrompts prompts;
    FakeWindowList fakeWindows;
    std::unique_ptr<X11WindowList> x11;
    FakeLauncher launcher;
    std::unique_ptr<Refile> window;
    QString error;                     // why the start failed; empty when it worked
    std::unique_ptr<QProcess> helper;  // the program that holds the X server's windows

    ~Editor() override {
        window.reset();
        if (helper) {
            helper->closeWriteChannel();  // the helper ends when its input closes
            if (!helper->waitForFinished(10000)) {
                helper->kill();
                helper->waitForFinished();
            }
        }
    }
};

// Opens `count` titled windows on the display with tests/helpers/x11_titled_window and waits
// for them to exist; empty on success, otherwise the reason.
QString openWindows(QProcess& helper, const QString& display, int count) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    helper.setProcessEnvironment(env);
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(KEEPSAKE_TITLED_WINDOW_PATH),
                 {QStringLiteral("--many"), QString::number(count)});
    const QDeadlineTimer deadline(20000);
    while (!helper.canReadLine()) {
        if (helper.state() == QProcess::NotRunning || deadline.hasExpired()) {
            return QStringLiteral("x11_titled_window did not get ready");
        }
        helper.waitForReadyRead(100);
    }
    return helper.readLine() == "ready\n" ? QString() : QStringLiteral("x11_titled_window failed");
}

std::unique_ptr<Editor> startEditor(const synthetic::Collection& collection,
                                    const QString& display = {}) {
    auto e = std::make_unique<Editor>();
    if (!e->dir.isValid()) {
        e->error = QStringLiteral("no temporary folder");
        return e;
    }
    const std::optional<synthetic::Layout> layout =
        synthetic::layOut(e->dir.path(), collection, &e->error);
    if (!layout)
        return e;
    e->layout = *layout;
    WindowList* windows = &e->fakeWindows;
    if (!display.isEmpty()) {
        e->helper = std::make_unique<QProcess>();
        e->error = openWindows(*e->helper, display, kWindows);
        if (!e->error.isEmpty())
            return e;
        e->x11 = std::make_unique<X11WindowList>(display);
        windows = e->x11.get();
    }
    e->window = std::make_unique<Refile>(Platform{e->prompts, *windows, e->launcher});
    if (!e->window->Load(e->layout.appFolder)) {
        e->error = QStringLiteral("the start-up ended the program");
    } else if (e->prompts.shown().size() != 0) {
        e->error =
            QStringLiteral("the start-up showed a message: ") + e->prompts.shown().first().text;
    }
    // The timed runs come after the characters' weights are read, as every read after the
    // first does in the editor.
    collation::prepareAndWait();
    return e;
}

// Waits until the editor's index has done what the start gave it (reading every page,
// folding the kept entries), so that a benchmark times its own operation, not that work on
// the other core.
void settle(Editor& e) {
    const QDeadlineTimer deadline(20000);
    while (!e.window->editor().Index->isIdle() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    if (!e.window->editor().Index->isIdle())
        e.error = QStringLiteral("the index did not settle");
}

bool usable(benchmark::State& state, const Editor& e) {
    if (e.error.isEmpty())
        return true;
    state.SkipWithError(e.error.toStdString().c_str());
    return false;
}

// The row of lstKinds that holds page number 0.
int rowOfPageZero(Refile& w) {
    const ListRows& kinds = w.editor().lstKinds;
    for (int row = 0; row < kinds.count(); ++row) {
        if (kinds.data(row) == 0)
            return row;
    }
    return -1;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// ---- The collection's index ---------------------------------------------------------------

// 100,000 kept entries and 1,000 category pages of 100 entries, with the editor started on
// them and its index built.
Editor& indexedEditor() {
    return fixture<Editor>("indexed", [] {
        synthetic::Collection c;
        c.keptEntries = 100000;
        c.categories = 1000;
        c.pageEntries = 100;
        c.seed = kSeed;
        std::unique_ptr<Editor> e = startEditor(c);
        if (e->error.isEmpty()) {
            e->window->show();
            KeepsakeEditor& w = e->window->editor();
            w.BuildIndex();
            const QDeadlineTimer deadline(600000);
            while (!w.Index->isBuilt() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            if (!w.Index->isBuilt())
                e->error = QStringLiteral("the index was not built");
        }
        return e;
    });
}

double cpuMilliseconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Building the index of every page on its worker thread, while the window's event loop runs;
// the longest gap between ticks of a 10 ms timer meanwhile is reported as max_gap_ms, and the
// processor time of the other threads (the workers' own cost, whatever else the machine
// runs) as worker_cpu_ms, and the window's thread's as window_cpu_ms. The editor builds its index
// once, after its window is shown: each build starts from an empty index, as that one does.
void BM_BuildIndex(benchmark::State& state) {
    Editor& e = indexedEditor();
    if (!usable(state, e))
        return;
    KeepsakeEditor& w = e.window->editor();
    double longestGap = 0;
    double workerCpu = 0;
    double windowCpu = 0;
    for (auto _ : state) {
        w.Index->build(e.layout.appFolder, {});
        w.Index->setKept({}, {}, {}, 0);
        // Without a time limit, processEvents() sleeps until an event comes (the workers'
        // results are posted): with one, it never sleeps, and the spinning window thread
        // would take a core from the workers and count as the window's own work.
        while (!w.Index->isBuilt() || !w.Index->isIdle())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QElapsedTimer clock;
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        clock.start();
        sinceTick.start();
        ticker.start();
        const double processBefore = cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
        const double threadBefore = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
        // A build keeps answering from the pages it had until the new ones land, so
        // isBuilt() alone would only wait for the kept entries: the pages have landed when
        // filedChanged() comes.
        bool pagesLanded = false;
        const QMetaObject::Connection landed = QObject::connect(
            w.Index, &CollectionIndex::filedChanged, [&pagesLanded] { pagesLanded = true; });
        w.BuildIndex();
        while (!pagesLanded || !w.Index->isBuilt())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(landed);
        // The repaint that the landing asked for is the window's part of the build.
        QCoreApplication::processEvents();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        const double window = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - threadBefore;
        windowCpu += window;
        workerCpu += cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - processBefore - window;
    }
    state.counters["max_gap_ms"] = longestGap;
    state.counters["worker_cpu_ms"] = workerCpu / static_cast<double>(state.iterations());
    state.counters["window_cpu_ms"] = windowCpu / static_cast<double>(state.iterations());
}

// The floor of the index: reading and decoding every page file.
void BM_ReadAndDecodeAllPages(benchmark::State& state) {
    Editor& e = indexedEditor();
    if (!usable(state, e))
        return;
    QStringList paths;
    for (int page = 0; page < 1000; ++page)
        paths << e.layout.appFolder + QStringLiteral("URL_%1.html").arg(page, 4, 10, QChar(u'0'));
    for (auto _ : state) {
        qsizetype chars = 0;
        for (const QString& path : paths) {
            QByteArray bytes;
            textfile::readAll(path, &bytes);
            chars += cp932::decode(bytes).size();
        }
        benchmark::DoNotOptimize(chars);
    }
}

// One keystroke in the search window: the whole query searched again over 100,000 kept
// entries and 100,000 page entries.
void BM_SearchKeystroke(benchmark::State& state) {
    Editor& e = indexedEditor();
    if (!usable(state, e))
        return;
    const CollectionIndex& index = *e.window->editor().Index;
    const QStringList queries = {QStringLiteral("e"), QStringLiteral("ex"), QStringLiteral("exa"),
                                 QStringLiteral("ｶﾞ"), QStringLiteral("com あ")};
    qsizetype i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(index.find(queries[i++ % queries.size()]).size());
}

// Lets the index finish with the read before the next one: a user reads the keepsake file
// seconds apart, not while the last read's entries are still being folded.
void settle(benchmark::State& state, KeepsakeEditor& w) {
    state.PauseTiming();
    while (!w.Index->isBuilt() || !w.Index->isIdle())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    state.ResumeTiming();
}

// ReadKeepsake of 100,000 entries with filed entries marked (0) or hidden (1), against the
// 1,000 pages above.
void BM_ReadKeepsakeMarked(benchmark::State& state) {
    Editor& e = indexedEditor();
    if (!usable(state, e))
        return;
    KeepsakeEditor& w = e.window->editor();
    w.mn_HideFiled_Click(state.range(0) == 1);
    for (auto _ : state) {
        settle(state, w);
        w.ReadKeepsake(kKeepsake);
    }
    w.mn_HideFiled_Click(false);
}

// ReadKeepsake of the same editor with no page indexed, for the two above.
void BM_ReadKeepsakeUnmarked(benchmark::State& state) {
    Editor& e = indexedEditor();
    if (!usable(state, e))
        return;
    KeepsakeEditor& w = e.window->editor();
    bool emptied = false;
    const QMetaObject::Connection done =
        QObject::connect(w.Index, &CollectionIndex::changed, [&emptied] { emptied = true; });
    w.Index->build(e.layout.appFolder, {});
    while (!emptied)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QObject::disconnect(done);
    for (auto _ : state) {
        settle(state, w);
        w.ReadKeepsake(kKeepsake);
    }
    g_fixture.reset();  // the index is no longer the collection's
}

// ---- Reading the keepsake file ------------------------------------------------------------

void BM_ParseKeepsake(benchmark::State& state) {
    const QByteArray& bytes = keepsakeBytes(state.range(0)).keepsake;
    int entries = 0;
    for (auto _ : state) {
        StoringHost host;
        host.entries.reserve(static_cast<std::size_t>(state.range(0)));
        const ListFileResult result = readListFile(bytes, host);
        entries = result.entries;
        benchmark::DoNotOptimize(host.entries.data());
    }
    if (entries != state.range(0))
        state.SkipWithError("wrong number of entries");
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_DecodeCp932(benchmark::State& state) {
    const QByteArray& bytes = keepsakeBytes(state.range(0)).keepsake;
    for (auto _ : state) {
        QString text = cp932::decode(bytes);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

std::unique_ptr<Editor> startReadEditor(int n) {
    synthetic::Collection c;
    c.keptEntries = n;
    c.categories = 5;
    c.seed = kSeed;
    std::unique_ptr<Editor> e = startEditor(c);
    if (e->error.isEmpty()) {
        e->window->show();  // the lists are shown as a person sees them
        settle(*e);
    }
    return e;
}

void BM_ReadKeepsake(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Editor& e = fixture<Editor>(keyOf("read", n), [n] { return startReadEditor(n); });
    if (!usable(state, e))
        return;
    for (auto _ : state)
        e.window->editor().ReadKeepsake(kKeepsake);
    if (e.window->editor().KeepCount != n || e.window->editor().lstURLs[1].count() != n ||
        !e.prompts.shown().isEmpty()) {
        state.SkipWithError("the read did not list every entry");
    }
}

// ReadKeepsake after the file has changed since the read before, which is not timed: it has
// grown by 100 entries (the companion kept more), or the read before found it empty (the
// first read of a collection: every list sorted, the working copy written).
void readChangedKeepsake(benchmark::State& state, int before) {
    const int n = static_cast<int>(state.range(0));
    Editor& e = fixture<Editor>(keyOf("read", n), [n] { return startReadEditor(n); });
    if (!usable(state, e))
        return;
    const QString path = e.layout.companionFolder + kKeepsake;
    QByteArray full;
    if (!textfile::readAll(path, &full)) {
        state.SkipWithError("cannot read the keepsake file");
        return;
    }
    const QByteArray earlier = synthetic::keepsakeFile(synthetic::entries(n, kSeed).mid(0, before));
    auto write = [&path](const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes) == bytes.size() && file.flush();
    };
    for (auto _ : state) {
        state.PauseTiming();
        const bool written = write(earlier);
        e.window->editor().ReadKeepsake(kKeepsake);
        const bool rewritten = write(full);
        // The index's fold of the reads before runs on the other core; a person does not
        // read the file again within milliseconds.
        settle(e);
        state.ResumeTiming();
        if (!written || !rewritten || e.window->editor().KeepCount != before) {
            state.SkipWithError("the earlier file was not read");
            return;
        }
        e.window->editor().ReadKeepsake(kKeepsake);
    }
    if (e.window->editor().KeepCount != n || e.window->editor().lstURLs[1].count() != n ||
        !e.prompts.shown().isEmpty()) {
        state.SkipWithError("the read did not list every entry");
    }
}

void BM_ReadKeepsakeGrown(benchmark::State& state) {
    readChangedKeepsake(state, static_cast<int>(state.range(0)) - 100);
}

void BM_ReadKeepsakeFirst(benchmark::State& state) {
    readChangedKeepsake(state, 0);
}

// The floor of ReadKeepsake: reading and decoding the same file, and filling three list views
// over plain string models with the texts the editor's lists end up showing, in their order.
// The views are made as the window makes its own, at the same places in a window of the same
// size, with the same one in front; like the editor's read, each fill lets pending events
// through once.
struct PlainLists : Fixture {
    QTemporaryDir dir;
    QString keepsakePath;
    std::array<QStringList, 3> texts;
    std::unique_ptr<QWidget> window;
    std::array<QStringListModel*, 3> models{};
    QString error;
};

QListView* makeListView(QWidget* parent, QAbstractItemModel* model, const QRect& geometry) {
    auto* view = new QListView(parent);
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setMouseTracking(true);
    view->viewport()->setMouseTracking(true);
    view->setUniformItemSizes(true);
    view->setGeometry(geometry);
    return view;
}

void BM_DecodeAndFillViews(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    PlainLists& f = fixture<PlainLists>(keyOf("plain", n), [n] {
        auto p = std::make_unique<PlainLists>();
        const std::unique_ptr<Editor> e = startReadEditor(n);
        if (!e->error.isEmpty()) {
            p->error = e->error;
            return p;
        }
        // The editor's folder goes with it: the floor reads a copy of the same file.
        p->keepsakePath = p->dir.path() + u'/' + kKeepsake;
        if (!QFile::copy(e->layout.companionFolder + kKeepsake, p->keepsakePath)) {
            p->error = QStringLiteral("cannot copy the keepsake file");
            return p;
        }
        p->window = std::make_unique<QWidget>();
        p->window->resize(e->window->size());
        p->window->setFont(e->window->font());
        for (int i = 0; i < 3; ++i) {
            const ListRows& rows = e->window->editor().lstURLs[i];
            for (int row = 0; row < rows.count(); ++row)
                p->texts[i] << rows.text(row);
            const auto* shown =
                e->window->findChild<QListView*>(QStringLiteral("lstURLs%1").arg(i));
            p->models[i] = new QStringListModel(p->window.get());
            QListView* view = makeListView(p->window.get(), p->models[i],
                                           shown ? shown->geometry() : QRect(0, 0, 300, 100));
            view->setVisible(i == 0);
        }
        p->window->show();
        return p;
    });
    if (!f.error.isEmpty()) {
        state.SkipWithError(f.error.toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QByteArray bytes;
        if (!textfile::readAll(f.keepsakePath, &bytes))
            break;
        QString text = cp932::decode(bytes);
        benchmark::DoNotOptimize(text.data());
        for (int i = 0; i < 3; ++i)
            f.models[i]->setStringList(f.texts[i]);
    }
    if (f.models[1]->rowCount() != n)
        state.SkipWithError("the lists were not filled");
}

// ---- Start-up inside the process -----------------------------------------------------------

// A collection for start-ups; the window is made anew each time.
struct Folder : Fixture {
    QTemporaryDir dir;
    synthetic::Layout layout;
    QString error;
};

// Making the main window and running its start-up (no window is shown): the editor's own
// share of the time until its window appears.
void BM_ConstructAndLoad(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Folder& f = fixture<Folder>(keyOf("load", n), [n] {
        auto folder = std::make_unique<Folder>();
        synthetic::Collection c;
        c.keptEntries = n;
        c.categories = 20;
        c.seed = kSeed;
        if (const auto layout = synthetic::layOut(folder->dir.path(), c, &folder->error)) {
            folder->layout = *layout;
        }
        return folder;
    });
    if (!f.error.isEmpty()) {
        state.SkipWithError(f.error.toStdString().c_str());
        return;
    }
    FakePrompts prompts;
    FakeWindowList windows;
    FakeLauncher launcher;
    int kept = -1;
    for (auto _ : state) {
        auto w = std::make_unique<Refile>(Platform{prompts, windows, launcher});
        w->Load(f.layout.appFolder);
        state.PauseTiming();
        kept = w->editor().KeepCount;
        w.reset();
        state.ResumeTiming();
    }
    if (kept != n || !prompts.shown().isEmpty())
        state.SkipWithError("the start-up went wrong");
}

// ---- Category pages -----------------------------------------------------------------------

// A small collection whose category of page number 0 holds n entries.
synthetic::Collection pageCollection(int n) {
    synthetic::Collection c;
    c.keptEntries = 10;
    c.categories = 5;
    c.pageEntries = 3;
    c.firstPageEntries = n;
    c.seed = kSeed;
    return c;
}

// A main window over pageCollection(n), its category of page number 0 selected once.
std::unique_ptr<Editor> startPageEditor(int n) {
    std::unique_ptr<Editor> e = startEditor(pageCollection(n));
    if (!e->error.isEmpty())
        return e;
    e->window->show();
    KeepsakeEditor& editor = e->window->editor();
    const int row = rowOfPageZero(*e->window);
    editor.lstKinds.setCurrentRow(row);
    editor.lstKinds_Click();
    if (row < 0 || editor.lstSub.count() != n || !e->prompts.shown().isEmpty()) {
        e->error = QStringLiteral("the category page did not load");
    }
    settle(*e);
    return e;
}

Editor& pageEditor(const char* name, int n) {
    return fixture<Editor>(keyOf(name, n), [n] { return startPageEditor(n); });
}

void BM_SelectCategory(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Editor& e = pageEditor("select", n);
    if (!usable(state, e))
        return;
    for (auto _ : state) {
        e.window->editor().lstKinds_Click();
        // The page before is freed on another thread once the new one is shown: a person
        // does not select again within milliseconds.
        state.PauseTiming();
        QThreadPool::globalInstance()->waitForDone();
        state.ResumeTiming();
    }
    if (e.window->editor().lstSub.count() != n || !e.prompts.shown().isEmpty()) {
        state.SkipWithError("the category page did not load");
    }
}

// The floor of selecting a category: reading and decoding the same page's bytes.
struct PageFile : Fixture {
    QTemporaryDir dir;
    QString path;
    QString error;
};

void BM_ReadAndDecodePage(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    PageFile& f = fixture<PageFile>(keyOf("floorselect", n), [n] {
        auto p = std::make_unique<PageFile>();
        if (synthetic::layOut(p->dir.path(), pageCollection(n), &p->error))
            p->path = p->dir.path() + QStringLiteral("/URL_0000.html");
        return p;
    });
    if (!f.error.isEmpty()) {
        state.SkipWithError(f.error.toStdString().c_str());
        return;
    }
    qsizetype length = 0;
    for (auto _ : state) {
        QByteArray bytes;
        if (!textfile::readAll(f.path, &bytes))
            break;
        QString text = cp932::decode(bytes);
        length = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    if (length == 0)
        state.SkipWithError("the page was not read");
}

void BM_WriteKindPage(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Editor& e = pageEditor("write", n);
    if (!usable(state, e))
        return;
    const QString title = e.layout.categories.value(0);
    bool written = true;
    for (auto _ : state)
        written = e.window->editor().WriteKindPage(QStringLiteral("0000"), title) && written;
    if (!written || !e.prompts.shown().isEmpty())
        state.SkipWithError("the page was not written");
}

// The floor of WriteKindPage: encoding the same page text and replacing a file with it.
struct PageText : Fixture {
    QTemporaryDir dir;
    QString text;
};

void BM_EncodeAndReplace(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    PageText& f = fixture<PageText>(keyOf("floorwrite", n), [n] {
        auto p = std::make_unique<PageText>();
        // The very text the editor writes: its own output of the page, decoded.
        const std::unique_ptr<Editor> e = startPageEditor(n);
        if (e->error.isEmpty() && e->window->editor().WriteKindPage(
                                      QStringLiteral("0000"), e->layout.categories.value(0))) {
            p->text =
                cp932::decode(fileBytes(e->layout.appFolder + QStringLiteral("URL_0000.html")));
        }
        return p;
    });
    if (f.text.isEmpty()) {
        state.SkipWithError("no page text");
        return;
    }
    const QString path = f.dir.path() + QStringLiteral("/URL_0000.html");
    bool written = true;
    for (auto _ : state)
        written = textfile::replace(path, cp932::encode(f.text)) && written;
    if (!written)
        state.SkipWithError("the file was not written");
}

// ---- Category list, index and closing ---------------------------------------------------------

// Collections of many categories, each with its page, laid out once and kept for every
// benchmark on them. The pages are named as the editor names them ("URL_0001.html") or, as a
// copy from Windows may leave them, in another case ("url_0001.html").
struct KindsFolder {
    QTemporaryDir dir;
    synthetic::Layout layout;
    QString error;
};

std::map<std::pair<int, bool>, std::unique_ptr<KindsFolder>> g_kindsFolders;

const KindsFolder& kindsFolder(int categories, bool otherCase) {
    std::unique_ptr<KindsFolder>& slot = g_kindsFolders[{categories, otherCase}];
    if (slot)
        return *slot;
    slot = std::make_unique<KindsFolder>();
    synthetic::Collection c;
    c.keptEntries = 10;
    c.categories = categories;
    c.pageEntries = 2;
    c.seed = kSeed;
    const std::optional<synthetic::Layout> layout =
        synthetic::layOut(slot->dir.path(), c, &slot->error);
    if (!layout)
        return *slot;
    slot->layout = *layout;
    if (otherCase) {
        QDir folder(layout->appFolder);
        for (const QString& name :
             folder.entryList({QStringLiteral("URL_*.html")}, QDir::Files | QDir::CaseSensitive)) {
            if (!folder.rename(name, name.toLower())) {
                slot->error = QStringLiteral("cannot rename ") + name;
                break;
            }
        }
    }
    return *slot;
}

std::unique_ptr<Editor> startKindsEditor(int categories, bool otherCase) {
    const KindsFolder& folder = kindsFolder(categories, otherCase);
    auto e = std::make_unique<Editor>();
    e->error = folder.error;
    e->layout = folder.layout;
    if (!e->error.isEmpty())
        return e;
    e->window = std::make_unique<Refile>(Platform{e->prompts, e->fakeWindows, e->launcher});
    if (!e->window->Load(e->layout.appFolder)) {
        e->error = QStringLiteral("the start-up ended the program");
    } else if (!e->prompts.shown().isEmpty()) {
        e->error =
            QStringLiteral("the start-up showed a message: ") + e->prompts.shown().first().text;
    } else if (e->window->editor().lstKinds.count() != categories) {
        e->error = QStringLiteral("not every category was loaded");
    }
    return e;
}

Editor& kindsEditor(const char* name, int categories, bool otherCase) {
    return fixture<Editor>(
        keyOf(name, categories) + (otherCase ? "lower" : "exact"),
        [categories, otherCase] { return startKindsEditor(categories, otherCase); });
}

void BM_LoadKinds(benchmark::State& state, bool otherCase) {
    const int m = static_cast<int>(state.range(0));
    Editor& e = kindsEditor("loadkinds", m, otherCase);
    if (!usable(state, e))
        return;
    for (auto _ : state)
        e.window->editor().LoadKinds();
    if (e.window->editor().lstKinds.count() != m || !e.prompts.shown().isEmpty())
        state.SkipWithError("not every category was loaded");
}

void BM_WriteIndexPages(benchmark::State& state, bool otherCase) {
    const int m = static_cast<int>(state.range(0));
    Editor& e = kindsEditor("writeindex", m, otherCase);
    if (!usable(state, e))
        return;
    for (auto _ : state)
        e.window->editor().WriteIndexPages();
    if (!e.prompts.shown().isEmpty())
        state.SkipWithError("writing the index showed a message");
}

// Closing the window: the editor's shut-down (the browser timer stops, the index and frame
// pages are written). Each close needs an editor started anew; the start is not timed.
void BM_CloseEditor(benchmark::State& state, bool otherCase) {
    const int m = static_cast<int>(state.range(0));
    QString error;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Editor> e = startKindsEditor(m, otherCase);
        error = e->error;
        state.ResumeTiming();
        if (!error.isEmpty())
            break;
        const bool unloaded = e->window->editor().Unload();
        state.PauseTiming();
        if (!unloaded || !e->prompts.shown().isEmpty())
            error = QStringLiteral("the shut-down went wrong");
        e.reset();
        state.ResumeTiming();
        if (!error.isEmpty())
            break;
    }
    if (!error.isEmpty())
        state.SkipWithError(error.toStdString().c_str());
}

// ---- The browser timer over a real X server ---------------------------------------------------

Editor* timerEditor(benchmark::State& state) {
    const QString display = qEnvironmentVariable("KEEPSAKE_BENCH_DISPLAY");
    if (display.isEmpty()) {
        state.SkipWithError("KEEPSAKE_BENCH_DISPLAY is not set: no X server to walk");
        return nullptr;
    }
    Editor& e = fixture<Editor>(keyOf("timer", state.range(0)), [display] {
        synthetic::Collection c;
        c.keptEntries = 100;
        c.categories = 5;
        c.browserFolder = QStringLiteral("/opt/netscape/");
        c.seed = kSeed;
        std::unique_ptr<Editor> started = startEditor(c, display);
        if (started->error.isEmpty() && started->x11->topLevelTitles().size() < kWindows) {
            started->error = QStringLiteral("the X server shows fewer windows than were opened");
        }
        if (started->error.isEmpty() &&
            started->window->editor().settings.BrowserFolder.isEmpty()) {
            started->error =
                QStringLiteral("no browser folder: the tick would not look at the windows");
        }
        // The browser file a Linux user sets up: a link to the browser, so that every test
        // of the tick runs (titles, classes, the windows' processes).
        const QString browserFolder = started->dir.path() + QStringLiteral("/browser/");
        if (started->error.isEmpty() &&
            (!QDir().mkpath(browserFolder) || !QFile::link(QStringLiteral("/usr/bin/firefox-esr"),
                                                           browserFolder + "Netscape.exe"))) {
            started->error = QStringLiteral("cannot make the browser folder");
        }
        started->window->editor().settings.BrowserFolder = browserFolder;
        return started;
    });
    return usable(state, e) ? &e : nullptr;
}

void BM_TimerTick(benchmark::State& state) {
    Editor* e = timerEditor(state);
    if (!e)
        return;
    for (auto _ : state)
        e->window->editor().Timer1_Timer();
    if (e->window->editor().BrowserSeen)
        state.SkipWithError("a browser window was found");
}

void BM_BrowserRunning(benchmark::State& state) {
    Editor* e = timerEditor(state);
    if (!e)
        return;
    bool running = false;
    for (auto _ : state)
        running = e->window->editor().BrowserRunning();
    if (running)
        state.SkipWithError("a browser window was found");
}

// Importing a bookmark file of N bookmarks, as Firefox writes it, into a keepsake file with an
// empty list: read, decoded, parsed, checked against what is kept and filed, and kept in one
// replace. Each iteration starts from the empty keepsake file again.
void BM_ImportBookmarks(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    QByteArray file =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
        "CONTENT=\"text/html; charset=UTF-8\">\n<DL><p>\n";
    for (int i = 0; i < n; ++i) {
        file += "    <DT><A HREF=\"https://example.org/page/" + QByteArray::number(i) +
                "\" ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000000\">ページ " +
                QByteArray::number(i) + " の題</A>\n";
    }
    file += "</DL>\n";
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const collecting::KeepPlace place{folder, folder};
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        state.PauseTiming();
        textfile::replace(folder + QStringLiteral("KEEPSAKE.HTML"), collecting::keepsakeSkeleton());
        state.ResumeTiming();
        const bookmarks::ImportResult r = bookmarks::importBookmarkBytes(place, {}, file, now);
        if (!r.ok || r.kept != n)
            state.SkipWithError("not every bookmark was kept");
    }
}

}  // namespace

BENCHMARK(BM_ImportBookmarks)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeCp932)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseKeepsake)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAndFillViews)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadKeepsake)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadKeepsakeGrown)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadKeepsakeFirst)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConstructAndLoad)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadAndDecodePage)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SelectCategory)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_EncodeAndReplace)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_WriteKindPage)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// The category operations run at 1,000 and 10,000 categories.
void categoryCounts(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK_CAPTURE(BM_LoadKinds, exact, false)->Apply(categoryCounts);
BENCHMARK_CAPTURE(BM_LoadKinds, othercase, true)->Apply(categoryCounts);
BENCHMARK_CAPTURE(BM_WriteIndexPages, exact, false)->Apply(categoryCounts);
BENCHMARK_CAPTURE(BM_WriteIndexPages, othercase, true)->Apply(categoryCounts);
// Each close needs an editor started afresh, which is not timed: a few iterations suffice.
BENCHMARK_CAPTURE(BM_CloseEditor, exact, false)->Apply(categoryCounts)->Iterations(5);
BENCHMARK_CAPTURE(BM_CloseEditor, othercase, true)->Apply(categoryCounts)->Iterations(5);
BENCHMARK(BM_BuildIndex)->Arg(1000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ReadAndDecodeAllPages)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystroke)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadKeepsakeMarked)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadKeepsakeUnmarked)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TimerTick)->Arg(kWindows)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_BrowserRunning)->Arg(kWindows)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
    // The window is never shown; the X server is only walked, through a connection of its own.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_fixture.reset();
    g_kindsFolders.clear();
    benchmark::Shutdown();
    return 0;
}
