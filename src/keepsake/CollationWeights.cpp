// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/CollationWeights.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/unorm2.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>

namespace collation {
namespace {

// The collation elements the collator's element iterator gives texts, one build's worth in two
// pools: primary weights before the collator's script order is applied, and secondary weights.
// A hundred thousand small lists of their own would take ten times the memory while the table
// is built, beside the start-up's first read.
struct Pools {
    std::vector<std::uint32_t> primaries;  // the non-zero ones
    std::vector<std::uint16_t> secondaries;
};

// One text's elements in the pools.
struct Elements {
    std::uint32_t primaryStart = 0;
    std::uint32_t secondaryStart = 0;
    std::uint32_t primaryCount = 0;
    std::uint32_t secondaryCount = 0;
    bool read = false;  // false when the collator could not give them
};

class ElementReader {
public:
    explicit ElementReader(const UCollator* collator) {
        UErrorCode status = U_ZERO_ERROR;
        static const UChar kNothing = 0;
        m_elements = ucol_openElements(collator, &kNothing, 0, &status);
        if (U_FAILURE(status)) {
            ucol_closeElements(m_elements);
            m_elements = nullptr;
        }
    }
    ~ElementReader() {
        if (m_elements)
            ucol_closeElements(m_elements);
    }
    ElementReader(const ElementReader&) = delete;
    ElementReader& operator=(const ElementReader&) = delete;

    bool usable() const { return m_elements != nullptr; }

    // The iterator hands out each element as one or two old-style orders: the upper halves of
    // its primary and secondary weights, then, marked as a continuation, the lower halves.
    Elements read(const UChar* text, std::int32_t length, Pools& pools) {
        UErrorCode status = U_ZERO_ERROR;
        ucol_setText(m_elements, text, length, &status);
        Elements read;
        read.primaryStart = static_cast<std::uint32_t>(pools.primaries.size());
        read.secondaryStart = static_cast<std::uint32_t>(pools.secondaries.size());
        std::int32_t order = ucol_next(m_elements, &status);
        while (order != UCOL_NULLORDER && U_SUCCESS(status)) {
            const auto first = static_cast<std::uint32_t>(order);
            std::uint32_t primary = first & 0xffff0000u;
            std::uint32_t secondary = first & 0xff00u;
            order = ucol_next(m_elements, &status);
            if (order != UCOL_NULLORDER && U_SUCCESS(status) &&
                (static_cast<std::uint32_t>(order) & 0xc0u) == 0xc0u) {
                const auto second = static_cast<std::uint32_t>(order);
                primary |= second >> 16;
                secondary |= (second >> 8) & 0xffu;
                order = ucol_next(m_elements, &status);
            }
            if (primary != 0)
                pools.primaries.push_back(primary);
            if (secondary != 0)
                pools.secondaries.push_back(static_cast<std::uint16_t>(secondary));
        }
        read.primaryCount = static_cast<std::uint32_t>(pools.primaries.size()) - read.primaryStart;
        read.secondaryCount =
            static_cast<std::uint32_t>(pools.secondaries.size()) - read.secondaryStart;
        read.read = U_SUCCESS(status);
        return read;
    }

private:
    UCollationElements* m_elements = nullptr;
};

// What the collator's rules say about characters in context.
struct Contexts {
    std::vector<bool> beginsContraction = std::vector<bool>(0x10000, false);
    // Per mark whose weights follow the text before it: the last code points of those texts.
    std::map<char16_t, std::set<UChar32>> marks;
    bool ok = false;
};

UChar32 codePointAt(const std::vector<UChar>& text, std::int32_t length, std::int32_t at) {
    UChar32 c = 0;
    U16_GET(text.data(), 0, at, length, c);
    return c;
}

Contexts contextsOf(const UCollator* collator) {
    Contexts contexts;
    UErrorCode status = U_ZERO_ERROR;
    USet* contractions = uset_openEmpty();
    USet* withPrefixes = uset_openEmpty();
    ucol_getContractionsAndExpansions(collator, contractions, nullptr, false, &status);
    ucol_getContractionsAndExpansions(collator, withPrefixes, nullptr, true, &status);
    std::vector<UChar> text(64);
    const std::int32_t items = uset_getItemCount(withPrefixes);
    bool ok = U_SUCCESS(status);
    for (std::int32_t i = 0; i < items && ok; ++i) {
        UChar32 start = 0;
        UChar32 end = 0;
        std::int32_t length = uset_getItem(withPrefixes, i, &start, &end, text.data(),
                                           static_cast<std::int32_t>(text.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            status = U_ZERO_ERROR;
            text.resize(static_cast<std::size_t>(length));
            length = uset_getItem(withPrefixes, i, &start, &end, text.data(),
                                  static_cast<std::int32_t>(text.size()), &status);
        }
        ok = U_SUCCESS(status);
        if (!ok || length <= 0)
            continue;  // a range of single characters: no context
        if (uset_containsString(contractions, text.data(), length)) {
            const UChar32 first = codePointAt(text, length, 0);
            if (first < 0x10000)
                contexts.beginsContraction[static_cast<std::size_t>(first)] = true;
            continue;
        }
        // A mark and the text before it. A mark outside the basic plane, or a prefix with a
        // contraction after it, is not looked up: the characters are left to the collator.
        const UChar32 mark = codePointAt(text, length, length - 1);
        const std::int32_t markStart = length - U16_LENGTH(mark);
        if (mark >= 0x10000 || markStart <= 0) {
            ok = false;
            continue;
        }
        contexts.marks[static_cast<char16_t>(mark)].insert(
            codePointAt(text, length, markStart - 1));
    }
    uset_close(contractions);
    uset_close(withPrefixes);
    contexts.ok = ok;
    return contexts;
}

// The canonical decomposition of `c`, or `c` itself.
std::vector<UChar32> decomposed(UChar32 c, const UNormalizer2* nfd) {
    UChar buffer[32];
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t length = unorm2_getDecomposition(nfd, c, buffer, 32, &status);
    if (U_FAILURE(status) || length <= 0)
        return {c};
    std::vector<UChar32> parts;
    for (std::int32_t i = 0; i < length;) {
        UChar32 part = 0;
        U16_NEXT(buffer, i, length, part);
        parts.push_back(part);
    }
    return parts;
}

int byteLength(std::uint32_t primary) {
    int length = 0;
    for (int shift = 24; shift >= 0 && static_cast<std::uint8_t>(primary >> shift) != 0; shift -= 8)
        ++length;
    return length;
}

// Whether no weight's bytes begin another's: then the bytes of a sequence of weights order
// as the sequence does.
bool prefixFree(std::vector<std::uint32_t> primaries) {
    std::sort(primaries.begin(), primaries.end());
    primaries.erase(std::unique(primaries.begin(), primaries.end()), primaries.end());
    for (std::size_t i = 1; i < primaries.size(); ++i) {
        const int length = byteLength(primaries[i - 1]);
        const std::uint32_t mask = length >= 4 ? 0xffffffffu : ~(0xffffffffu >> (8 * length));
        if ((primaries[i] & mask) == primaries[i - 1])
            return false;
    }
    return true;
}

}  // namespace

CharWeights::CharWeights(const UCollator* collator)
    : m_short(0x10000, kNotShort), m_chars(0x10000) {
    const Contexts contexts = contextsOf(collator);
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    ElementReader reader(collator);
    if (!contexts.ok || U_FAILURE(status) || !reader.usable())
        return;

    // Every character's elements, alone.
    Pools pools;
    pools.primaries.reserve(0x20000);
    pools.secondaries.reserve(0x20000);
    std::vector<Elements> alone(0x10000);
    std::vector<UChar32> lastPart(0x10000, -1);
    for (UChar32 c = 0; c < 0x10000; ++c) {
        if (U16_IS_SURROGATE(c) || u_getIntPropertyValue(c, UCHAR_LEAD_CANONICAL_COMBINING_CLASS))
            continue;
        const std::vector<UChar32> parts = decomposed(c, nfd);
        const bool isMark = contexts.marks.count(static_cast<char16_t>(c)) != 0;
        const bool contextual = std::any_of(parts.begin(), parts.end(), [&](UChar32 part) {
            return part >= 0x10000 || contexts.beginsContraction[static_cast<std::size_t>(part)] ||
                   (contexts.marks.count(static_cast<char16_t>(part)) != 0 && !isMark);
        });
        if (contextual)
            continue;
        const UChar unit = static_cast<UChar>(c);
        alone[static_cast<std::size_t>(c)] = reader.read(&unit, 1, pools);
        lastPart[static_cast<std::size_t>(c)] = parts.back();
    }

    // Each mark after each character that ends in what its rules look back at.
    struct Pair {
        std::uint32_t pair;
        Elements elements;
    };
    std::vector<Pair> pairs;
    for (const auto& [mark, before] : contexts.marks) {
        if (!alone[mark].read)
            continue;
        for (UChar32 c = 0; c < 0x10000; ++c) {
            if (!alone[static_cast<std::size_t>(c)].read ||
                !before.count(lastPart[static_cast<std::size_t>(c)]))
                continue;
            // A mark after a mark looks back at that mark only, not at what comes before it.
            const std::array<UChar, 2> text = {static_cast<UChar>(c), mark};
            Elements both = reader.read(text.data(), 2, pools);
            const Elements& first = alone[static_cast<std::size_t>(c)];
            // The character's own elements come first; the mark's are the rest.
            const auto* primaries = pools.primaries.data();
            const auto* secondaries = pools.secondaries.data();
            if (both.read && both.primaryCount >= first.primaryCount &&
                both.secondaryCount >= first.secondaryCount &&
                std::equal(primaries + first.primaryStart,
                           primaries + first.primaryStart + first.primaryCount,
                           primaries + both.primaryStart) &&
                std::equal(secondaries + first.secondaryStart,
                           secondaries + first.secondaryStart + first.secondaryCount,
                           secondaries + both.secondaryStart)) {
                both.primaryStart += first.primaryCount;
                both.primaryCount -= first.primaryCount;
                both.secondaryStart += first.secondaryCount;
                both.secondaryCount -= first.secondaryCount;
            } else {
                both.read = false;
            }
            pairs.push_back({static_cast<std::uint32_t>(c) << 16 | mark, both});
        }
    }

    // The collator's script order moves whole lead bytes: learn where each goes from the
    // lowest and the highest first primary under it, each as the collator's key of its
    // character begins. A lead byte split between two scripts moves its halves apart; its
    // weights are left to the collator.
    std::array<std::pair<std::uint32_t, UChar>, 256> lowest{};
    std::array<std::pair<std::uint32_t, UChar>, 256> highest{};
    lowest.fill({0xffffffffu, 0});
    for (UChar32 c = 0; c < 0x10000; ++c) {
        const Elements& e = alone[static_cast<std::size_t>(c)];
        if (!e.read || e.primaryCount == 0 || contexts.marks.count(static_cast<char16_t>(c)))
            continue;
        const std::uint32_t p = pools.primaries[e.primaryStart];
        const std::size_t lead = p >> 24;
        if (p < lowest[lead].first)
            lowest[lead] = {p, static_cast<UChar>(c)};
        if (p >= highest[lead].first)
            highest[lead] = {p, static_cast<UChar>(c)};
    }
    std::array<int, 256> movedLead{};
    movedLead.fill(-1);
    for (std::size_t lead = 0; lead < 256; ++lead) {
        if (lowest[lead].first == 0xffffffffu)
            continue;
        std::uint8_t low[64];
        std::uint8_t high[64];
        if (ucol_getSortKey(collator, &lowest[lead].second, 1, low, 64) > 0 &&
            ucol_getSortKey(collator, &highest[lead].second, 1, high, 64) > 0 && low[0] == high[0])
            movedLead[lead] = low[0];
    }

    // The pools, with every weight under its moved lead byte.
    std::vector<std::uint32_t> allPrimaries;
    auto store = [&](const Elements& e) {
        Weights w;
        if (!e.read || e.primaryCount > 0xff || e.secondaryCount > 0xff)
            return w;
        const std::size_t start = m_primaryBytes.size();
        for (std::uint32_t i = 0; i < e.primaryCount; ++i) {
            const std::uint32_t p = pools.primaries[e.primaryStart + i];
            const int lead = movedLead[p >> 24];
            if (lead < 0) {
                m_primaryBytes.resize(start);
                return w;
            }
            const std::uint32_t moved = static_cast<std::uint32_t>(lead) << 24 | (p & 0xffffff);
            allPrimaries.push_back(moved);
            for (int shift = 24; shift >= 0 && static_cast<std::uint8_t>(moved >> shift) != 0;
                 shift -= 8)
                m_primaryBytes.push_back(static_cast<std::uint8_t>(moved >> shift));
        }
        const std::size_t count = m_primaryBytes.size() - start;
        if (count > 0xff || m_primaryBytes.size() >= (1u << 24) ||
            m_secondaryPool.size() >= (1u << 24)) {
            m_primaryBytes.resize(start);
            return w;
        }
        w.primaries = static_cast<Span>(start << 8 | count);
        m_mostBytes = std::max(m_mostBytes, count);
        w.secondaries = static_cast<Span>(m_secondaryPool.size() << 8 | e.secondaryCount);
        const auto* from = pools.secondaries.data() + e.secondaryStart;
        m_secondaryPool.insert(m_secondaryPool.end(), from, from + e.secondaryCount);
        return w;
    };
    for (UChar32 c = 0; c < 0x10000; ++c) {
        if (contexts.marks.count(static_cast<char16_t>(c))) {
            m_chars[static_cast<std::size_t>(c)].primaries = kAfterPrevious;
            m_alone.push_back(store(alone[static_cast<std::size_t>(c)]));
            m_aloneMarks.push_back(static_cast<char16_t>(c));
        } else {
            m_chars[static_cast<std::size_t>(c)] = store(alone[static_cast<std::size_t>(c)]);
        }
    }
    for (const Pair& p : pairs)
        m_after.push_back({p.pair, store(p.elements)});
    for (std::size_t c = 0; c < 0x10000; ++c) {
        const Span span = m_chars[c].primaries;
        if (span == kLeftToCollator || span == kAfterPrevious || (span & 0xff) > 3)
            continue;
        std::uint32_t word = 0;
        for (std::uint32_t b = 0; b < 3; ++b)
            word = (word << 8) | (b < (span & 0xff) ? m_primaryBytes[(span >> 8) + b] : 0);
        m_short[c] = word << 8 | (span & 0xff);
    }
    std::sort(m_after.begin(), m_after.end(),
              [](const AfterCharacter& a, const AfterCharacter& b) { return a.pair < b.pair; });
    m_usable = prefixFree(std::move(allPrimaries));
}

const CharWeights::Weights& CharWeights::weightsAt(QStringView text, qsizetype i) const {
    const char16_t unit = text[i].unicode();
    const Weights& w = m_chars[unit];
    if (w.primaries != kAfterPrevious)
        return w;
    if (i > 0) {
        const std::uint32_t pair = static_cast<std::uint32_t>(text[i - 1].unicode()) << 16 | unit;
        const auto found =
            std::lower_bound(m_after.begin(), m_after.end(), pair,
                             [](const AfterCharacter& a, std::uint32_t p) { return a.pair < p; });
        if (found != m_after.end() && found->pair == pair)
            return found->weights;
    }
    const auto mark = std::find(m_aloneMarks.begin(), m_aloneMarks.end(), unit);
    return m_alone[static_cast<std::size_t>(mark - m_aloneMarks.begin())];
}

std::ptrdiff_t CharWeights::primaryLength(QStringView text) const {
    std::ptrdiff_t length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const Span span = weightsAt(text, i).primaries;
        if (span == kLeftToCollator)
            return -1;
        length += span & 0xff;
    }
    return length;
}

std::ptrdiff_t CharWeights::writePrimaries(QStringView text, std::uint8_t* out) const {
    const std::uint8_t* bytes = m_primaryBytes.data();
    std::uint8_t* const start = out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::uint32_t word = m_short[text[i].unicode()];
        if (word != kNotShort) {
            // Three bytes written, as many kept as the character has.
            out[0] = static_cast<std::uint8_t>(word >> 24);
            out[1] = static_cast<std::uint8_t>(word >> 16);
            out[2] = static_cast<std::uint8_t>(word >> 8);
            out += word & 0xff;
            continue;
        }
        const Span span = weightsAt(text, i).primaries;
        if (span == kLeftToCollator)
            return -1;
        const std::uint8_t* from = bytes + (span >> 8);
        for (std::uint32_t b = 0, count = span & 0xff; b < count; ++b)
            *out++ = from[b];
    }
    return out - start;
}

std::vector<std::uint16_t> CharWeights::secondaries(QStringView text) const {
    std::vector<std::uint16_t> weights;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const Span span = weightsAt(text, i).secondaries;
        if (span == kLeftToCollator)
            continue;
        const std::uint16_t* from = m_secondaryPool.data() + (span >> 8);
        weights.insert(weights.end(), from, from + (span & 0xff));
    }
    return weights;
}

}  // namespace collation
