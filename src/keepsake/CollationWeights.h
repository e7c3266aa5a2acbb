// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringView>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct UCollator;

namespace collation {

// The weights the collator gives the characters of the basic plane, read once, so that a
// list's keys are made by looking characters up instead of running the collator over every
// text. A text's key is the bytes of its primary weights, one after another; two texts
// compare as the collator compares them at secondary strength when those bytes are compared
// first and, only when they are equal, their secondary weights.
//
// Left to the collator: characters that begin a contraction, combining marks (the text is
// reordered around them), surrogates, and characters whose weights could not be told apart
// from the collator's script order. The prolonged sound mark and the iteration marks, whose
// weights follow the kana before them, are looked up with that kana.
class CharWeights {
public:
    // Reads the weights of every character: some tens of milliseconds.
    explicit CharWeights(const UCollator* collator);

    // False when the collator's weights could not be read, or when one weight's bytes begin
    // another's: the bytes of a text would then not order as its weights do.
    bool usable() const { return m_usable; }

    // The length of the primary bytes of `text`, or -1 when some character is left to the
    // collator.
    std::ptrdiff_t primaryLength(QStringView text) const;
    // The most bytes writePrimaries() can write for `text`.
    std::size_t maximumLength(QStringView text) const {
        return static_cast<std::size_t>(text.size()) * std::max<std::size_t>(m_mostBytes, 4);
    }
    // Writes them into `out`, which has room for maximumLength(text) bytes; returns their
    // length, or -1 when some character is left to the collator.
    std::ptrdiff_t writePrimaries(QStringView text, std::uint8_t* out) const;
    // The secondary weights of a text whose primaryLength() is not -1.
    std::vector<std::uint16_t> secondaries(QStringView text) const;

private:
    // Where one character's weights lie in the pools: offset << 8 | count.
    using Span = std::uint32_t;
    static constexpr Span kLeftToCollator = 0xffffffff;
    static constexpr Span kAfterPrevious = 0xfffffffe;
    struct Weights {
        Span primaries = kLeftToCollator;
        Span secondaries = kLeftToCollator;
    };
    // A mark's weights after one character: (previous << 16 | mark) and its weights.
    struct AfterCharacter {
        std::uint32_t pair;
        Weights weights;
    };

    const Weights& weightsAt(QStringView text, qsizetype i) const;

    bool m_usable = false;
    std::size_t m_mostBytes = 0;  // of one character
    // Per code unit, the common case in one word: up to three primary bytes, high byte
    // first, and their count in the low byte; kNotShort for the others.
    static constexpr std::uint32_t kNotShort = 0xff;
    std::vector<std::uint32_t> m_short;
    std::vector<Weights> m_chars;  // per code unit
    // A mark's weights after a character with no rule for it (or at the beginning).
    std::vector<char16_t> m_aloneMarks;
    std::vector<Weights> m_alone;
    std::vector<AfterCharacter> m_after;  // sorted by pair
    std::vector<std::uint8_t> m_primaryBytes;
    std::vector<std::uint16_t> m_secondaryPool;
};

}  // namespace collation
