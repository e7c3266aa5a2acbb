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

// The order from the characters' weights: the primary bytes of every text, sorted; texts whose
// primary bytes are the same are ordered by their secondary weights, and then as they came.
// Nothing when a text is left to the collator: the whole list then takes the collator's keys.
std::optional<std::vector<qsizetype>> stableOrderByWeights(qsizetype count, const TextAt& textAt,
                                                           const CharWeights& table) {
    ByteKeys keys(count);
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView text = textAt(i);
        std::uint8_t* key = keys.room(table.maximumLength(text) + 1);
        const std::ptrdiff_t length = table.writePrimaries(text, key);
        if (length < 0)
            return std::nullopt;
        key[length] = 0;
        keys.keep(i, static_cast<std::size_t>(length) + 1);
    }
    return keys.sorted([&](qsizetype* first, qsizetype* last) {
        std::vector<std::pair<std::vector<std::uint16_t>, qsizetype>> run;
        run.reserve(static_cast<std::size_t>(last - first));
        for (qsizetype* i = first; i < last; ++i)
            run.emplace_back(table.secondaries(textAt(*i)), *i);
        std::stable_sort(run.begin(), run.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < run.size(); ++i)
            first[i] = run[i].second;
    });
}

// The order from the collator's own keys, which end in one zero byte and hold no other.
std::vector<qsizetype> stableOrderByCollatorKeys(qsizetype count, const TextAt& textAt,
                                                 const UCollator* icu) {
    ByteKeys keys(count);
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView text = textAt(i);
        const auto* chars = reinterpret_cast<const UChar*>(text.utf16());
        const auto length = static_cast<std::int32_t>(text.size());
        std::size_t room = 64 + 4 * static_cast<std::size_t>(length);
        std::uint8_t* key = keys.room(room);
        auto size = static_cast<std::size_t>(
            ucol_getSortKey(icu, chars, length, key, static_cast<std::int32_t>(room)));
        if (size > room) {
            room = size;
            key = keys.room(room);
            size = static_cast<std::size_t>(
                ucol_getSortKey(icu, chars, length, key, static_cast<std::int32_t>(room)));
        }
        keys.keep(i, size);
    }
    return keys.sorted();
}

std::vector<qsizetype> sortedOrder(qsizetype count, const TextAt& textAt) {
    const UCollator* icu = icuCollator();
    if (!icu)
        return stableOrderWithQCollator(count, textAt);
    if (const CharWeights* table = preparedWeights().ready()) {
        if (std::optional<std::vector<qsizetype>> order =
                stableOrderByWeights(count, textAt, *table))
            return std::move(*order);
    }
    return stableOrderByCollatorKeys(count, textAt, icu);
}

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
    std::vector<qsizetype> order = sortedOrder(count, textAt);
    // Empty texts first (see compare()); they sort as equal to the texts of ignored
    // characters, so this keeps the rest in order.
    std::stable_partition(order.begin(), order.end(),
                          [&textAt](qsizetype i) { return textAt(i).isEmpty(); });
    return order;
}

}  // namespace collation
