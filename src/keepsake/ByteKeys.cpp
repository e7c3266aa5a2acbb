// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/ByteKeys.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace collation {
namespace {

using Keyed = ByteKeys::Keyed;

// From this many keys on, a second thread sorts half of them.
constexpr std::size_t kTwoThreads = 20000;

std::uint64_t wordAt(const std::uint8_t* key, std::size_t depth) {
    std::uint64_t word = 0;
    std::size_t b = 0;
    for (; b < 8 && key[depth + b] != 0; ++b)
        word = (word << 8) | key[depth + b];
    return b == 0 ? 0 : word << (8 * (8 - b));
}

// The word ends the key: its last byte is the terminator or comes after it.
bool ends(std::uint64_t word) {
    return (word & 0xff) == 0;
}

// Whether `a` sorts before `b`, both alike before `depth` and their words loaded at it.
bool before(const Keyed& a, const Keyed& b, std::size_t depth) {
    if (a.word != b.word)
        return a.word < b.word;
    if (!ends(a.word)) {
        const int c = std::strcmp(reinterpret_cast<const char*>(a.key + depth + 8),
                                  reinterpret_cast<const char*>(b.key + depth + 8));
        if (c != 0)
            return c < 0;
    }
    return a.index < b.index;
}

// The keys below, equal to and above `pivot` in their words, in this order: returns where
// the equal ones start and end.
std::pair<Keyed*, Keyed*> partition(Keyed* first, Keyed* last, std::uint64_t pivot) {
    Keyed* lower = first;
    Keyed* upper = last;
    for (Keyed* i = first; i < upper;) {
        if (i->word < pivot) {
            std::swap(*i++, *lower++);
        } else if (i->word > pivot) {
            std::swap(*i, *--upper);
        } else {
            ++i;
        }
    }
    return {lower, upper};
}

// Keys whose words were all alike: in their texts' order when the keys end there, else by the
// next eight bytes. Returns false when they are in their order already.
bool deeper(Keyed* first, Keyed* last, std::uint64_t word, std::size_t* depth) {
    if (ends(word)) {
        std::sort(first, last, [](const Keyed& x, const Keyed& y) { return x.index < y.index; });
        return false;
    }
    *depth += 8;
    for (Keyed* i = first; i < last; ++i)
        i->word = wordAt(i->key, *depth);
    return true;
}

// Sorts keys alike before `depth`, eight bytes at a time: the texts of a list share long
// beginnings ("www." and a host), which a sort comparing whole keys would read again at
// every comparison. Three ways at each step: below, equal to and above the middle word;
// those equal go on to the next eight bytes.
void sortFrom(Keyed* first, Keyed* last, std::size_t depth, int budget) {
    while (last - first > 1) {
        if (last - first <= 16 || budget-- <= 0) {
            std::sort(first, last,
                      [depth](const Keyed& a, const Keyed& b) { return before(a, b, depth); });
            return;
        }
        const std::uint64_t a = first->word;
        const std::uint64_t b = first[(last - first) / 2].word;
        const std::uint64_t c = last[-1].word;
        const std::uint64_t pivot = std::max(std::min(a, b), std::min(std::max(a, b), c));
        const auto [lower, upper] = partition(first, last, pivot);
        sortFrom(first, lower, depth, budget);
        sortFrom(upper, last, depth, budget);
        if (!deeper(lower, upper, pivot, &depth))
            return;
        first = lower;
        last = upper;
    }
}

// The same on two threads for a long list: the keys are split at the median of a sample of
// their words (deeper where they all agree), and the keys below it sorted on another thread.
void sortOnTwoThreads(Keyed* first, Keyed* last, int budget) {
    std::size_t depth = 0;
    for (;;) {
        std::array<std::uint64_t, 63> sample{};
        for (std::size_t i = 0; i < sample.size(); ++i)
            sample[i] = first[static_cast<std::size_t>(last - first) * i / sample.size()].word;
        std::nth_element(sample.begin(), sample.begin() + sample.size() / 2, sample.end());
        const std::uint64_t pivot = sample[sample.size() / 2];
        const auto [lower, upper] = partition(first, last, pivot);
        if (lower == first && upper == last) {
            if (!deeper(first, last, pivot, &depth))
                return;
            continue;
        }
        std::thread below;
        try {
            below = std::thread(sortFrom, first, lower, depth, budget);
        } catch (const std::system_error&) {
            sortFrom(first, lower, depth, budget);  // no thread to be had
        }
        sortFrom(upper, last, depth, budget);
        std::size_t equalDepth = depth;
        if (deeper(lower, upper, pivot, &equalDepth))
            sortFrom(lower, upper, equalDepth, budget);
        if (below.joinable())
            below.join();
        return;
    }
}

}  // namespace

std::uint8_t* ByteKeys::room(std::size_t size) {
    if (m_blocks.empty() || m_used + size > m_blockSize) {
        const std::size_t blockSize = std::max(kBlockSize, size);
        m_blocks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(blockSize));
        m_blockSize = blockSize;
        m_used = 0;
    }
    return m_blocks.back().get() + m_used;
}

void ByteKeys::keep(qsizetype index, std::size_t size) {
    const std::uint8_t* key = m_blocks.back().get() + m_used;
    m_used += size;
    m_keyed.push_back({wordAt(key, 0), key, index});
}

std::vector<qsizetype> ByteKeys::sorted(
    const std::function<void(qsizetype* first, qsizetype* last)>& orderEqual) {
    int budget = 64;
    for (std::size_t n = m_keyed.size(); n > 1; n /= 2)
        budget += 4;
    if (m_keyed.size() >= kTwoThreads && std::thread::hardware_concurrency() > 1)
        sortOnTwoThreads(m_keyed.data(), m_keyed.data() + m_keyed.size(), budget);
    else
        sortFrom(m_keyed.data(), m_keyed.data() + m_keyed.size(), 0, budget);
    std::vector<qsizetype> order;
    order.reserve(m_keyed.size());
    for (const Keyed& k : m_keyed)
        order.push_back(k.index);
    if (orderEqual) {
        // Equal keys went the same way through the sort and hold the same word at its end:
        // keys whose words differ differ themselves.
        for (std::size_t start = 0; start < m_keyed.size();) {
            std::size_t end = start + 1;
            while (end < m_keyed.size() && m_keyed[start].word == m_keyed[end].word &&
                   std::strcmp(reinterpret_cast<const char*>(m_keyed[start].key),
                               reinterpret_cast<const char*>(m_keyed[end].key)) == 0)
                ++end;
            if (end - start > 1)
                orderEqual(order.data() + start, order.data() + end);
            start = end;
        }
    }
    return order;
}

}  // namespace collation
