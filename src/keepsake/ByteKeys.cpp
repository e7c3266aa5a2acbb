// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/ByteKeys.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace collation {
namespace {

using Keyed = ByteKeys::Keyed;

// From this many keys on, a second thread sorts half of them.
constexpr std::size_t kTwoThreads = 20000;

// Bytes kept written after every key, so that a word can be loaded whole wherever the key
// ends.
constexpr std::size_t kSlack = 8;

// The eight bytes from `depth` on, the first the highest, and zero from the key's end on.
// Loaded at once: a byte at a time took a tenth of a sort.
std::uint64_t wordAt(const std::uint8_t* key, std::size_t depth) {
    std::uint64_t word = 0;
    std::memcpy(&word, key + depth, sizeof word);
    if constexpr (std::endian::native == std::endian::little)
        word = __builtin_bswap64(word);
    // 0x80 in each zero byte and nothing elsewhere.
    constexpr std::uint64_t kLow = 0x7f7f7f7f7f7f7f7fULL;
    const std::uint64_t zeros = ~(((word & kLow) + kLow) | word | kLow);
    if (zeros == 0)
        return word;
    const int kept = std::countl_zero(zeros) / 8;  // the bytes before the key's end
    return kept == 0 ? 0 : word & (~std::uint64_t{0} << (64 - 8 * kept));
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

// From this many keys on, keys alike so far are distributed by their next byte before they
// are compared.
constexpr std::ptrdiff_t kDistribute = 64;

unsigned byteOf(const Keyed& k, int byte) {
    return static_cast<unsigned>(k.word >> (56 - 8 * byte)) & 0xff;
}

void byIndex(Keyed* first, Keyed* last) {
    std::sort(first, last, [](const Keyed& x, const Keyed& y) { return x.index < y.index; });
}

// Sorts keys alike before `depth` and in the first `byte` bytes of their words there. A
// list's keys spread over many values of their first bytes (a comment's first character, a
// host's first letters), so each step puts them in place by one byte, in place, before the
// keys that are still alike are sorted by comparisons. With `twoThreads`, about half the
// keys are sorted on another thread.
void distributeFrom(Keyed* first, Keyed* last, std::size_t depth, int byte, int budget,
                    bool twoThreads) {
    for (;; ++byte) {
        if (byte == 8) {  // their words are alike and go on: the next eight bytes
            if (!deeper(first, last, first->word, &depth))
                return;
            byte = 0;
        }
        std::array<std::size_t, 256> count{};
        for (const Keyed* i = first; i < last; ++i)
            ++count[byteOf(*i, byte)];
        const auto n = static_cast<std::size_t>(last - first);
        const unsigned firstValue = byteOf(*first, byte);
        if (count[firstValue] == n) {
            if (firstValue == 0) {  // every key ends before this byte: all are equal
                byIndex(first, last);
                return;
            }
            continue;
        }
        std::array<Keyed*, 257> bounds{};
        std::array<Keyed*, 256> next{};
        bounds[0] = first;
        for (std::size_t v = 0; v < 256; ++v) {
            next[v] = bounds[v];
            bounds[v + 1] = bounds[v] + count[v];
        }
        for (unsigned v = 0; v < 256; ++v) {
            while (next[v] < bounds[v + 1]) {
                Keyed k = *next[v];
                for (unsigned c = byteOf(k, byte); c != v; c = byteOf(k, byte))
                    std::swap(k, *next[c]++);
                *next[v]++ = k;
            }
        }
        const int nextByte = byte + 1;
        const auto sortBucket = [&](unsigned v) {
            Keyed* b = bounds[v];
            Keyed* e = bounds[v + 1];
            if (e - b < 2)
                return;
            if (v == 0)
                byIndex(b, e);  // these keys end here
            else if (e - b < kDistribute)
                sortFrom(b, e, depth, budget);
            else
                distributeFrom(b, e, depth, nextByte, budget, false);
        };
        const auto sortBuckets = [&](const auto& which) {
            for (unsigned v = 0; v < 256; ++v) {
                if (which(v))
                    sortBucket(v);
            }
        };
        if (!twoThreads) {
            sortBuckets([](unsigned) { return true; });
            return;
        }
        // The other thread takes the buckets below the middle key's, or every bucket but
        // one that holds more than half the keys, whose own buckets are then shared.
        const auto largest =
            static_cast<unsigned>(std::max_element(count.begin(), count.end()) - count.begin());
        const bool oneLarge = largest != 0 && count[largest] > n / 2;
        unsigned middle = 0;
        while (static_cast<std::size_t>(bounds[middle + 1] - first) < n / 2)
            ++middle;
        const auto below = [&](unsigned v) { return oneLarge ? v != largest : v < middle; };
        std::thread other;
        try {
            other = std::thread([&] { sortBuckets(below); });
        } catch (const std::system_error&) {
            sortBuckets(below);  // no thread to be had
        }
        if (oneLarge)
            distributeFrom(bounds[largest], bounds[largest + 1], depth, nextByte, budget, true);
        else
            sortBuckets([&](unsigned v) { return !below(v); });
        if (other.joinable())
            other.join();
        return;
    }
}

}  // namespace

std::uint8_t* ByteKeys::room(std::size_t size) {
    if (m_blocks.empty() || m_used + size + kSlack > m_blockSize) {
        const std::size_t blockSize =
            std::max(m_blocks.empty() ? m_firstBlockSize : kBlockSize, size + kSlack);
        m_blocks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(blockSize));
        m_blockSize = blockSize;
        m_used = 0;
    }
    return m_blocks.back().get() + m_used;
}

void ByteKeys::keep(qsizetype index, std::size_t size) {
    std::uint8_t* const block = m_blocks.back().get();
    const std::uint8_t* key = block + m_used;
    m_used += size;
    std::memset(block + m_used, 0, kSlack);
    m_keyed.push_back({wordAt(key, 0), key, index});
}

void ByteKeys::append(ByteKeys&& other, qsizetype offset) {
    m_keyed.reserve(m_keyed.size() + other.m_keyed.size());
    for (Keyed k : other.m_keyed) {
        k.index += offset;
        m_keyed.push_back(k);
    }
    // Before the block being filled, which the next room() goes on in.
    m_blocks.insert(m_blocks.end() - (m_blocks.empty() ? 0 : 1),
                    std::make_move_iterator(other.m_blocks.begin()),
                    std::make_move_iterator(other.m_blocks.end()));
    other = ByteKeys(0);
}

std::vector<qsizetype> ByteKeys::sorted(
    const std::function<void(qsizetype* first, qsizetype* last)>& orderEqual) {
    int budget = 64;
    for (std::size_t n = m_keyed.size(); n > 1; n /= 2)
        budget += 4;
    if (m_keyed.size() > 1) {
        distributeFrom(m_keyed.data(), m_keyed.data() + m_keyed.size(), 0, 0, budget,
                       m_keyed.size() >= kTwoThreads && std::thread::hardware_concurrency() > 1);
    }
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
