// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/Collation.h"

#include <QCollator>
#include <QLocale>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numeric>

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

// One text in the sort: its key's first eight bytes as a number (bytes after the key's
// terminating zero count as zero, as they do for a comparison of the strings), the whole key,
// and the text's index.
struct Keyed {
    std::uint64_t head;
    const char* key;
    qsizetype index;
};

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

}  // namespace

int compare(const QString& a, const QString& b) {
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

std::vector<qsizetype> stableOrder(const QList<QString>& texts) {
    const UCollator* icu = icuCollator();
    if (!icu)
        return stableOrderWithQCollator(texts);

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
        std::uint64_t head = 0;
        for (std::size_t b = 0; b < 8; ++b)
            head = (head << 8) | (b < size ? key[b] : 0);
        keyed.push_back({head, reinterpret_cast<const char*>(key), i});
    }
    // Equal keys keep their texts' order: the index decides between them.
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (a.head != b.head)
            return a.head < b.head;
        if ((a.head & 0xff) != 0) {
            // The first eight bytes hold no terminator: the rest of the keys decide.
            const int c = std::strcmp(a.key + 8, b.key + 8);
            if (c != 0)
                return c < 0;
        }
        return a.index < b.index;
    });
    std::vector<qsizetype> order;
    order.reserve(keyed.size());
    for (const Keyed& k : keyed)
        order.push_back(k.index);
    return order;
}

}  // namespace collation
