// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/Collation.h"

#include "keepsake/CollationWeights.h"

#include <QCollator>
#include <QLocale>

#include <unicode/ucol.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <numeric>
#include <optional>
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

std::vector<qsizetype> stableOrderWithQCollator(const QList<QString>& texts) {
    std::vector<qsizetype> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    const QCollator& col = collator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const QString& text : texts)
        keys.push_back(col.sortKey(text));
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

// One text in the sort: eight bytes of its key as a number (see headOf), the whole key, and the
// text's index.
struct Keyed {
    std::uint64_t head;
    const char* key;
    qsizetype index;
};

// The first eight bytes of `key` from `offset` on, as a number; the key's terminating zero and
// what would follow it count as zero.
std::uint64_t headOf(const char* key, std::size_t offset) {
    std::uint64_t head = 0;
    bool ended = false;
    for (std::size_t b = 0; b < 8; ++b) {
        const auto byte = ended ? std::uint8_t{0} : static_cast<std::uint8_t>(key[offset + b]);
        ended = ended || byte == 0;
        head = (head << 8) | byte;
    }
    return head;
}

// Sorts on the keys' bytes from `offset` on (the bytes before it are the same in every key);
// equal keys keep their texts' order.
void sortKeyed(std::vector<Keyed>& keyed, std::size_t offset) {
    for (Keyed& k : keyed)
        k.head = headOf(k.key, offset);
    const std::size_t rest = offset + 8;
    std::sort(keyed.begin(), keyed.end(), [rest](const Keyed& a, const Keyed& b) {
        if (a.head != b.head)
            return a.head < b.head;
        if ((a.head & 0xff) != 0) {
            // The eight bytes hold no terminator: the rest of the keys decide.
            const int c = std::strcmp(a.key + rest, b.key + rest);
            if (c != 0)
                return c < 0;
        }
        return a.index < b.index;
    });
}

bool sameKey(const Keyed& a, const Keyed& b, std::size_t offset) {
    return a.head == b.head &&
           ((a.head & 0xff) == 0 || std::strcmp(a.key + offset + 8, b.key + offset + 8) == 0);
}

// How many bytes every key begins with alike: a list of addresses shares its "www." and
// more, which would otherwise fill every key's first eight bytes.
std::size_t commonBeginning(const std::vector<Keyed>& keyed) {
    if (keyed.empty())
        return 0;
    const char* first = keyed.front().key;
    std::size_t common = std::strlen(first);
    for (const Keyed& k : keyed) {
        std::size_t i = 0;
        while (i < common && k.key[i] == first[i])
            ++i;
        common = i;
        if (common == 0)
            break;
    }
    return common;
}

// The keys of one sort, in blocks that are never moved: a growing buffer would copy them and
// for a moment hold them twice.
class KeyStore {
public:
    // Room for a key of up to `size` bytes.
    std::uint8_t* room(std::size_t size) {
        if (m_blocks.empty() || m_used + size > m_blockSize) {
            const std::size_t blockSize = std::max(kBlockSize, size);
            m_blocks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(blockSize));
            m_blockSize = blockSize;
            m_used = 0;
        }
        return m_blocks.back().get() + m_used;
    }
    // The key written into the last room took `size` bytes.
    void keep(std::size_t size) { m_used += size; }

private:
    static constexpr std::size_t kBlockSize = 1 << 20;
    std::vector<std::unique_ptr<std::uint8_t[]>> m_blocks;
    std::size_t m_blockSize = 0;
    std::size_t m_used = 0;
};

// The order from the characters' weights: the primary bytes of every text, sorted; texts whose
// primary bytes are the same are ordered by their secondary weights, and then as they came.
std::optional<std::vector<qsizetype>> stableOrderByWeights(const QList<QString>& texts,
                                                           const CharWeights& table) {
    KeyStore store;
    std::vector<Keyed> keyed;
    keyed.reserve(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString& text = texts[i];
        const std::ptrdiff_t length = table.primaryLength(text);
        if (length < 0)
            return {};  // a text the collator must weigh: the whole list takes its keys
        std::uint8_t* key = store.room(static_cast<std::size_t>(length) + 1);
        table.writePrimaries(text, key);
        key[length] = 0;
        store.keep(static_cast<std::size_t>(length) + 1);
        keyed.push_back({0, reinterpret_cast<const char*>(key), i});
    }
    const std::size_t offset = commonBeginning(keyed);
    sortKeyed(keyed, offset);

    // Runs of the same primary bytes, already in their texts' order, are ordered by their
    // secondary weights.
    for (std::size_t start = 0; start < keyed.size();) {
        std::size_t end = start + 1;
        while (end < keyed.size() && sameKey(keyed[start], keyed[end], offset))
            ++end;
        if (end - start > 1) {
            std::vector<std::pair<std::vector<std::uint16_t>, qsizetype>> run;
            run.reserve(end - start);
            for (std::size_t i = start; i < end; ++i)
                run.emplace_back(table.secondaries(texts[keyed[i].index]), keyed[i].index);
            std::stable_sort(run.begin(), run.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (std::size_t i = start; i < end; ++i)
                keyed[i].index = run[i - start].second;
        }
        start = end;
    }
    std::vector<qsizetype> order;
    order.reserve(keyed.size());
    for (const Keyed& k : keyed)
        order.push_back(k.index);
    return order;
}

std::vector<qsizetype> sortedOrder(const QList<QString>& texts);

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
    std::vector<qsizetype> order = sortedOrder(texts);
    // Empty texts first (see compare()); they sort as equal to the texts of ignored
    // characters, so this keeps the rest in order.
    std::stable_partition(order.begin(), order.end(),
                          [&texts](qsizetype i) { return texts[i].isEmpty(); });
    return order;
}

namespace {

std::vector<qsizetype> sortedOrder(const QList<QString>& texts) {
    const UCollator* icu = icuCollator();
    if (!icu)
        return stableOrderWithQCollator(texts);
    if (const CharWeights* table = preparedWeights().ready()) {
        if (std::optional<std::vector<qsizetype>> order = stableOrderByWeights(texts, *table))
            return std::move(*order);
    }

    // ICU sort keys end in one zero byte and hold no other: they compare as C strings.
    KeyStore store;
    std::vector<Keyed> keyed;
    keyed.reserve(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString& text = texts[i];
        const auto* chars = reinterpret_cast<const UChar*>(text.constData());
        const auto length = static_cast<std::int32_t>(text.size());
        std::size_t room = 64 + 4 * static_cast<std::size_t>(length);
        std::uint8_t* key = store.room(room);
        auto size = static_cast<std::size_t>(
            ucol_getSortKey(icu, chars, length, key, static_cast<std::int32_t>(room)));
        if (size > room) {
            room = size;
            key = store.room(room);
            size = static_cast<std::size_t>(
                ucol_getSortKey(icu, chars, length, key, static_cast<std::int32_t>(room)));
        }
        store.keep(size);
        keyed.push_back({0, reinterpret_cast<const char*>(key), i});
    }
    sortKeyed(keyed, commonBeginning(keyed));
    std::vector<qsizetype> order;
    order.reserve(keyed.size());
    for (const Keyed& k : keyed)
        order.push_back(k.index);
    return order;
}

}  // namespace

}  // namespace collation
