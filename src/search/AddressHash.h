// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringView>

#include <cstdint>
#include <cstring>

// The steps of addressHash(), one word of eight bytes at a time.
namespace addresshash {
constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15ULL;
// The state before the first word of a text of `bytes` bytes.
constexpr std::uint64_t start(std::size_t bytes) {
    return kOdd ^ bytes;
}
// The state after one more word of the text.
constexpr std::uint64_t step(std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * kOdd;
    return h ^ (h >> 32);
}
}  // namespace addresshash

// The hash the index and the page marks give an address, eight bytes of its text at a time.
// Qt's own hash of a text (SipHash, made to withstand chosen keys) took longer than reading
// the address did; an address comes from the user's own files, so a multiply-and-fold hash
// whose low and high bits both mix the whole text serves.
inline size_t addressHash(QStringView key) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(key.data());
    std::size_t left = static_cast<std::size_t>(key.size()) * sizeof(char16_t);
    std::uint64_t h = addresshash::start(left);
    for (; left >= 8; bytes += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        h = addresshash::step(h, word);
    }
    if (left > 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes, left);
        h = addresshash::step(h, word);
    }
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ULL;
    h ^= h >> 32;
    return static_cast<size_t>(h);
}
