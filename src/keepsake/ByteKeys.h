// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace collation {

// The collation keys of one list's texts, each a run of non-zero bytes ended by a zero, sorted
// by their bytes. Keys that are equal keep their texts' order.
class ByteKeys {
public:
    explicit ByteKeys(qsizetype count)
        : m_firstBlockSize(std::clamp<std::size_t>(static_cast<std::size_t>(count) * kBytesPerKey,
                                                   kSmallestBlock, kBlockSize)) {
        m_keyed.reserve(static_cast<std::size_t>(count));
    }

    // Room for the next key, `size` bytes with its terminating zero.
    std::uint8_t* room(std::size_t size);
    // The key written into the last room, `size` bytes with its zero, is text `index`'s.
    void keep(qsizetype index, std::size_t size);

    // Takes the keys of `other`, the keys of texts numbered from `offset` on here.
    void append(ByteKeys&& other, qsizetype offset);

    // The texts' indexes in the keys' order. `orderEqual`, when given, puts each run of texts
    // with equal keys (in index order) into its final order.
    std::vector<qsizetype> sorted(
        const std::function<void(qsizetype* first, qsizetype* last)>& orderEqual = {});

    // One text in the sort: eight bytes of its key at the depth being sorted, as a number
    // (bytes after the terminating zero count as zero), the key, and the text's index.
    struct Keyed {
        std::uint64_t word;
        const std::uint8_t* key;
        qsizetype index;
    };

private:
    static constexpr std::size_t kBlockSize = 1 << 20;
    // The first block is sized for the keys expected: a list of a thousand takes a block the
    // allocator has at hand, not one it maps anew (and unmaps, on every core, when done).
    static constexpr std::size_t kBytesPerKey = 64;
    static constexpr std::size_t kSmallestBlock = 4096;
    std::size_t m_firstBlockSize;
    // Blocks that are never moved: a growing buffer would copy the keys and for a moment hold
    // them twice.
    std::vector<std::unique_ptr<std::uint8_t[]>> m_blocks;
    std::size_t m_blockSize = 0;
    std::size_t m_used = 0;
    std::vector<Keyed> m_keyed;
};

}  // namespace collation
