// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/Collation.h"

#include "keepsake/ByteKeys.h"
#include "keepsake/CollationWeights.h"

#include <QCollator>
#include <QLocale>

#include <unicode/ucol.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <numeric>
#include <optional>
#include <system_error>
#include <thread>

namespace collation {
namespace {

const QCollator& collator() {
    static const QCollator c = [] {
        QCollator col(QLocale(QLocale::Japanese, QLocale::Japan));
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setNumericMode(false);
        return col;
    }();
    return c;
}

// The same ICU collation QCollator opens for collator() (Japanese, normalizing, secondary
// strength for case insensitivity, no numeric mode, punctuation not ignored), opened here so
// that the sort keys of a whole list can be written into one buffer: the sort then compares
// bytes that lie together instead of following two pointers per key. Null when ICU cannot
// open it; the lists then sort with QCollator's own keys.
UCollator* openIcuCollator() {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open("ja_JP", &status);
    if (U_FAILURE(status))
        return nullptr;
    ucol_setAttribute(c, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(c, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(c);
        return nullptr;
    }
    return c;
}

const UCollator* icuCollator() {
    static UCollator* const c = openIcuCollator();
    return c;
}

// The characters' weights, read once on a thread of their own: until they are ready, lists
// sort with the collator's own keys.
class PreparedWeights {
public:
    ~PreparedWeights() { wait(); }

    void start() {
        std::call_once(m_started, [this] {
            const UCollator* icu = icuCollator();
            if (!icu)
                return;
            m_thread = std::thread([this, icu] {
                auto table = std::make_unique<CharWeights>(icu);
                if (table->usable()) {
                    m_table = std::move(table);
                    m_ready.store(m_table.get(), std::memory_order_release);
                }
            });
        });
    }
    void wait() {
        const std::lock_guard lock(m_joining);
        if (m_thread.joinable())
            m_thread.join();
    }
    const CharWeights* ready() const { return m_ready.load(std::memory_order_acquire); }

private:
    std::once_flag m_started;
    std::mutex m_joining;
    std::thread m_thread;
    std::unique_ptr<CharWeights> m_table;
    std::atomic<const CharWeights*> m_ready{nullptr};
};

PreparedWeights& preparedWeights() {
    static PreparedWeights prepared;
    return prepared;
}

std::vector<qsizetype> stableOrderWithQCollator(qsizetype count, const TextAt& textAt) {
    std::vector<qsizetype> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    const QCollator& col = collator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (qsizetype i = 0; i < count; ++i)
        keys.push_back(col.sortKey(textAt(i).toString()));
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

// Texts handed to the thread of a BackgroundOrder at a time.
constexpr std::size_t kBatch = 4096;

// The keys of a list's texts as they come, and their order: from the characters' weights,
// the primary bytes of every text sorted, texts whose primary bytes are the same ordered by
// their secondary weights and then as they came; once a text is left to the collator, the
// whole list takes the collator's own keys. Without a collator (a run keyed on a thread that
// leaves the collator to the list's own), the keys are then given up and only the texts kept.
// The texts are held as views: they must stay as they are until the order is made.
class ListKeys {
public:
    ListKeys(qsizetype expected, const CharWeights* table, const UCollator* icu)
        : m_table(table), m_icu(icu), m_keys(std::make_unique<ByteKeys>(expected)) {
        m_texts.reserve(static_cast<std::size_t>(expected));
    }

    void add(QStringView text) {
        const auto i = static_cast<qsizetype>(m_texts.size());
        m_texts.push_back(text);
        m_anyEmpty = m_anyEmpty || text.isEmpty();
        if (m_table) {
            std::uint8_t* key = m_keys->room(m_table->maximumLength(text) + 1);
            const std::ptrdiff_t length = m_table->writePrimaries(text, key);
            if (length >= 0) {
                key[length] = 0;
                m_keys->keep(i, static_cast<std::size_t>(length) + 1);
                return;
            }
            // The collator's keys for every text so far, and from now on.
            m_table = nullptr;
            m_keys =
                std::make_unique<ByteKeys>(m_icu ? static_cast<qsizetype>(m_texts.capacity()) : 0);
            if (!m_icu)
                return;
            for (qsizetype j = 0; j < i; ++j)
                addCollatorKey(j);
        }
        if (m_icu)
            addCollatorKey(i);
    }

    qsizetype count() const { return static_cast<qsizetype>(m_texts.size()); }

    // The texts of `run` after these, as if each were added.
    void append(ListKeys&& run) {
        // Keys given up, or of another kind (from the weights, or the collator's), are made
        // anew.
        const bool keyed = run.m_table || run.m_icu;
        if (!keyed || m_table != run.m_table) {
            for (const QStringView text : run.m_texts)
                add(text);
            return;
        }
        m_keys->append(std::move(*run.m_keys), static_cast<qsizetype>(m_texts.size()));
        m_texts.insert(m_texts.end(), run.m_texts.begin(), run.m_texts.end());
        m_anyEmpty = m_anyEmpty || run.m_anyEmpty;
    }

    std::vector<qsizetype> order() {
        std::vector<qsizetype> order;
        if (m_table) {
            order = m_keys->sorted(
                [this](qsizetype* first, qsizetype* last) { orderBySecondaries(first, last); });
        } else {
            order = m_keys->sorted();
        }
        // Empty texts first (see compare()); they sort as equal to the texts of ignored
        // characters, so this keeps the rest in order.
        if (m_anyEmpty) {
            std::stable_partition(order.begin(), order.end(),
                                  [this](qsizetype i) { return m_texts[i].isEmpty(); });
        }
        return order;
    }

private:
    void addCollatorKey(qsizetype i) {
        const QStringView text = m_texts[static_cast<std::size_t>(i)];
        const auto* chars = reinterpret_cast<const UChar*>(text.utf16());
        const auto length = static_cast<std::int32_t>(text.size());
        std::size_t room = 64 + 4 * static_cast<std::size_t>(length);
        std::uint8_t* key = m_keys->room(room);
        auto size = static_cast<std::size_t>(
            ucol_getSortKey(m_icu, chars, length, key, static_cast<std::int32_t>(room)));
        if (size > room) {
            room = size;
            key = m_keys->room(room);
            size = static_cast<std::size_t>(
                ucol_getSortKey(m_icu, chars, length, key, static_cast<std::int32_t>(room)));
        }
        m_keys->keep(i, size);
    }

    void orderBySecondaries(qsizetype* first, qsizetype* last) const {
        // Mostly the same text kept again: already in the order it came.
        const QStringView text = m_texts[static_cast<std::size_t>(*first)];
        if (std::all_of(first + 1, last, [&](qsizetype i) { return m_texts[i] == text; }))
            return;
        std::vector<std::pair<std::vector<std::uint16_t>, qsizetype>> run;
        run.reserve(static_cast<std::size_t>(last - first));
        for (qsizetype* i = first; i < last; ++i)
            run.emplace_back(m_table->secondaries(m_texts[static_cast<std::size_t>(*i)]), *i);
        std::stable_sort(run.begin(), run.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < run.size(); ++i)
            first[i] = run[i].second;
    }

    const CharWeights* m_table;
    const UCollator* m_icu;
    std::unique_ptr<ByteKeys> m_keys;
    std::vector<QStringView> m_texts;
    bool m_anyEmpty = false;
};

}  // namespace

void prepare() {
    preparedWeights().start();
}

void prepareAndWait() {
    preparedWeights().start();
    preparedWeights().wait();
}

bool prepared() {
    return preparedWeights().ready() != nullptr;
}

int compare(const QString& a, const QString& b) {
    // An empty text comes before every other, as QCollator has it, even before a text of
    // characters the collator ignores.
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() ? (b.isEmpty() ? 0 : -1) : 1;
    // The collator the keys come from, so that one insertion and a sort of the same texts
    // always agree.
    if (const UCollator* icu = icuCollator()) {
        const UCollationResult c = ucol_strcoll(
            icu, reinterpret_cast<const UChar*>(a.constData()), static_cast<std::int32_t>(a.size()),
            reinterpret_cast<const UChar*>(b.constData()), static_cast<std::int32_t>(b.size()));
        return c == UCOL_LESS ? -1 : (c == UCOL_GREATER ? 1 : 0);
    }
    const int c = collator().compare(a, b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool fromWeights(QStringView text) {
    const CharWeights* table = preparedWeights().ready();
    return table && table->primaryLength(text) >= 0;
}

std::vector<qsizetype> stableOrder(const QList<QString>& texts) {
    return stableOrder(texts.size(), [&texts](qsizetype i) { return QStringView(texts[i]); });
}

std::vector<qsizetype> stableOrder(qsizetype count, const TextAt& textAt) {
    const UCollator* icu = icuCollator();
    if (!icu) {
        std::vector<qsizetype> order = stableOrderWithQCollator(count, textAt);
        std::stable_partition(order.begin(), order.end(),
                              [&textAt](qsizetype i) { return textAt(i).isEmpty(); });
        return order;
    }
    ListKeys keys(count, preparedWeights().ready(), icu);
    for (qsizetype i = 0; i < count; ++i)
        keys.add(textAt(i));
    return keys.order();
}

// What a list's or a run's keys are made of: the keys when ICU gives its collator, else the
// texts, for QCollator once all are in. A run's keys come from the weights only, since the
// collator is used on the list's own thread alone.
struct KeyRun::Keys {
    enum class Collator { Here, LeftToTheList };
    Keys(qsizetype expected, Collator collator) {
        if (const UCollator* icu = icuCollator())
            keys.emplace(expected, preparedWeights().ready(),
                         collator == Collator::Here ? icu : nullptr);
        else
            texts.reserve(static_cast<std::size_t>(expected));
    }
    qsizetype count() const { return keys ? keys->count() : static_cast<qsizetype>(texts.size()); }
    void add(QStringView text) {
        if (keys)
            keys->add(text);
        else
            texts.push_back(text);
    }
    void append(Keys&& run) {
        if (keys)
            keys->append(std::move(*run.keys));
        else
            texts.insert(texts.end(), run.texts.begin(), run.texts.end());
    }

    std::optional<ListKeys> keys;
    std::vector<QStringView> texts;
};

KeyRun::KeyRun(qsizetype expected)
    : m_keys(std::make_unique<Keys>(expected, Keys::Collator::LeftToTheList)) {}
KeyRun::~KeyRun() = default;
KeyRun::KeyRun(KeyRun&&) noexcept = default;
KeyRun& KeyRun::operator=(KeyRun&&) noexcept = default;

void KeyRun::add(QStringView text) {
    m_keys->add(text);
}

qsizetype KeyRun::count() const {
    return m_keys->count();
}

// The thread that makes the keys of the texts handed to it, batch by batch. A list expected
// to be shorter than a batch is ordered where it is: that is done sooner than a thread starts.
struct BackgroundOrder::Worker {
    explicit Worker(qsizetype count) : expected(count) {
        if (count < static_cast<qsizetype>(kBatch)) {
            start();
            return;
        }
        try {
            thread = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            // No thread to be had: the keys are made as the texts are handed over.
            start();
        }
    }
    ~Worker() {
        finish();
        if (thread.joinable())
            thread.join();
    }

    void hand(std::vector<QStringView>& batch) {
        if (!thread.joinable()) {
            take(batch.data(), batch.data() + batch.size());
            batch.clear();
            return;
        }
        {
            const std::lock_guard lock(mutex);
            waiting.insert(waiting.end(), batch.begin(), batch.end());
        }
        batch.clear();
        arrived.notify_one();
    }
    // After the texts handed so far.
    void hand(std::unique_ptr<KeyRun::Keys> run) {
        if (!thread.joinable()) {
            list->append(std::move(*run));
            return;
        }
        {
            const std::lock_guard lock(mutex);
            waitingRuns.emplace_back(waiting.size(), std::move(run));
        }
        arrived.notify_one();
    }
    void finish() {
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        arrived.notify_one();
    }

    void start() { list.emplace(expected, KeyRun::Keys::Collator::Here); }
    void take(const QStringView* first, const QStringView* last) {
        for (const QStringView* text = first; text < last; ++text)
            list->add(*text);
    }

    void run() {
        start();
        std::vector<QStringView> batch;
        std::vector<std::pair<std::size_t, std::unique_ptr<KeyRun::Keys>>> runs;
        for (;;) {
            bool last = false;
            {
                std::unique_lock lock(mutex);
                arrived.wait(lock,
                             [this] { return done || !waiting.empty() || !waitingRuns.empty(); });
                batch.swap(waiting);
                runs.swap(waitingRuns);
                last = done;
            }
            std::size_t from = 0;
            for (auto& [at, keysOfRun] : runs) {
                take(batch.data() + from, batch.data() + at);
                list->append(std::move(*keysOfRun));
                from = at;
            }
            take(batch.data() + from, batch.data() + batch.size());
            batch.clear();
            runs.clear();
            if (last) {
                if (list->keys)
                    sorted = list->keys->order();
                return;
            }
        }
    }

    const qsizetype expected;
    std::optional<KeyRun::Keys> list;  // the texts handed so far
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<QStringView> waiting;
    // Runs handed over, each with the number of texts waiting before it.
    std::vector<std::pair<std::size_t, std::unique_ptr<KeyRun::Keys>>> waitingRuns;
    bool done = false;
    std::vector<qsizetype> sorted;  // by the thread, once done
    std::thread thread;
};

BackgroundOrder::BackgroundOrder(qsizetype expected)
    : m_worker(std::make_unique<Worker>(expected)) {
    m_batch.reserve(kBatch);
}

BackgroundOrder::~BackgroundOrder() = default;

void BackgroundOrder::add(QStringView text) {
    m_batch.push_back(text);
    ++m_count;
    if (m_batch.size() >= kBatch)
        m_worker->hand(m_batch);
}

void BackgroundOrder::add(KeyRun run) {
    m_worker->hand(m_batch);
    m_count += run.count();
    m_worker->hand(std::move(run.m_keys));
}

void BackgroundOrder::finish() {
    m_worker->hand(m_batch);
    m_worker->finish();
}

std::vector<qsizetype> BackgroundOrder::order() {
    const bool threaded = m_worker->thread.joinable();
    finish();
    if (threaded)
        m_worker->thread.join();
    std::vector<qsizetype> order;
    if (threaded && m_worker->list->keys) {
        order = std::move(m_worker->sorted);
    } else if (m_worker->list->keys) {
        order = m_worker->list->keys->order();
    } else {
        const std::vector<QStringView>& texts = m_worker->list->texts;
        order = stableOrder(static_cast<qsizetype>(texts.size()),
                            [&texts](qsizetype i) { return texts[static_cast<std::size_t>(i)]; });
    }
    return order;
}

}  // namespace collation
