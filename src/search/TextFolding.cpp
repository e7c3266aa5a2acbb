// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/TextFolding.h"

#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace search {

namespace {

bool isAscii(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\u3000';
}

}  // namespace

QString fold(QStringView text) {
    // Addresses are nearly always ASCII, and normalizing them would change nothing: the
    // index folds a hundred thousand of them.
    if (isAscii(text))
        return text.toString().toLower();
    QString s = text.toString().normalized(QString::NormalizationForm_KC);
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        // ァ..ヶ and ヽ ヾ lie 0x60 above their hiragana.
        if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE)
            c = QChar(static_cast<char16_t>(u - 0x60));
    }
    return s.toCaseFolded();
}

namespace {

// The folded form of one character that folds on its own, or 0 when folding it needs the full
// path (a character NFKC changes together with its neighbours, or one this table does not
// know). Every character here is a starter that NFKC keeps as it is, or maps to one ASCII
// character: a text made only of them is folded character by character.
char16_t foldedAlone(char16_t u) {
    if (u < 0x80)
        return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + 0x20) : u;
    if (u >= 0x4E00 && u <= 0x9FFF)  // kanji
        return u;
    if ((u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E)  // hiragana
        return u;
    if (u >= 0x30A1 && u <= 0x30F6)  // katakana with a hiragana 0x60 below
        return static_cast<char16_t>(u - 0x60);
    if (u == 0x30FD || u == 0x30FE)
        return static_cast<char16_t>(u - 0x60);
    if (u >= 0x30F7 && u <= 0x30FC)  // ヷ..ヺ, ・, ー
        return u;
    if (u >= 0x3001 && u <= 0x301F)  // Japanese punctuation and brackets
        return u;
    if (u == 0x3000)  // the ideographic space
        return u' ';
    if (u >= 0xFF01 && u <= 0xFF5E) {  // full-width ASCII
        const auto a = static_cast<char16_t>(u - 0xFEE0);
        return a >= u'A' && a <= u'Z' ? static_cast<char16_t>(a + 0x20) : a;
    }
    return 0;
}

// foldedAlone() of every UTF-16 code unit, worked out once: a hundred thousand entries fold
// with one look-up a character instead of a chain of ranges.
const char16_t* foldedAloneTable() {
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (char32_t u = 0; u < 0x10000; ++u)
            t[u] = foldedAlone(static_cast<char16_t>(u));
        return t;
    }();
    return table.get();
}

// Half-width katakana (U+FF61..U+FF9D), common in comments typed long ago, fold alone too,
// or joined with a sound mark (U+FF9E ﾞ, U+FF9F ﾟ) that follows them. Worked out once from
// the full folding; 0 where the result is not one character.
constexpr char16_t kHalfWidthFrom = 0xFF61;
constexpr char16_t kHalfWidthTo = 0xFF9D;
constexpr char16_t kVoicedMark = 0xFF9E;
constexpr char16_t kSemiVoicedMark = 0xFF9F;
constexpr int kHalfWidthCount = kHalfWidthTo - kHalfWidthFrom + 1;

struct HalfWidthKana {
    char16_t alone[kHalfWidthCount] = {};
    char16_t marked[2][kHalfWidthCount] = {};  // followed by ﾞ, by ﾟ
};

char16_t foldedToOne(const QString& text) {
    const QString folded = fold(text);
    return folded.size() == 1 ? folded.front().unicode() : char16_t(0);
}

const HalfWidthKana& halfWidthKana() {
    static const HalfWidthKana kana = [] {
        HalfWidthKana k;
        for (int i = 0; i < kHalfWidthCount; ++i) {
            const QChar c(static_cast<char16_t>(kHalfWidthFrom + i));
            k.alone[i] = foldedToOne(QString(c));
            k.marked[0][i] = foldedToOne(QString(c) + QChar(kVoicedMark));
            k.marked[1][i] = foldedToOne(QString(c) + QChar(kSemiVoicedMark));
        }
        return k;
    }();
    return kana;
}

// The folded form of half-width kana `u` and whether it takes the sound mark `next` with it;
// 0 when it needs the full folding. Apart from the loop below, which stays small enough to
// keep its counters in registers.
struct HalfWidthFolded {
    char16_t folded = 0;
    bool withMark = false;
};
Q_NEVER_INLINE HalfWidthFolded foldHalfWidth(char16_t u, char16_t next) {
    const HalfWidthKana& kana = halfWidthKana();
    if (next == kVoicedMark || next == kSemiVoicedMark)
        return {kana.marked[next - kVoicedMark][u - kHalfWidthFrom], true};
    return {kana.alone[u - kHalfWidthFrom], false};
}

// Lowers the run of ASCII characters that starts `from` into `at`; returns its length.
// Addresses are ASCII: eight characters at a time where the processor can.
qsizetype lowerAsciiRun(const char16_t* const from, const char16_t* const end, QChar* const at) {
    const char16_t* p = from;
#if defined(__SSE2__)
    const __m128i notAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i beforeA = _mm_set1_epi16(u'A' - 1);
    const __m128i afterZ = _mm_set1_epi16(u'Z' + 1);
    const __m128i toLower = _mm_set1_epi16(0x20);
    while (end - p >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, notAscii), _mm_setzero_si128())) !=
            0xFFFF) {
            break;
        }
        const __m128i upper =
            _mm_and_si128(_mm_cmpgt_epi16(v, beforeA), _mm_cmplt_epi16(v, afterZ));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at + (p - from)),
                         _mm_add_epi16(v, _mm_and_si128(upper, toLower)));
        p += 8;
    }
#endif
    for (; p != end && *p < 0x80; ++p) {
        const char16_t a = *p;
        at[p - from] =
            QChar(static_cast<char16_t>(a + (static_cast<char16_t>(a - u'A') < 26 ? 0x20 : 0)));
    }
    return p - from;
}

// Appends the folded text to `out` when every character folds alone (or is a half-width kana,
// with its sound mark); false (and `out` as it was) otherwise.
bool appendFoldedAlone(QStringView text, QChar*& out) {
    const char16_t* from = text.utf16();
    const char16_t* const end = from + text.size();
    const char16_t* const table = foldedAloneTable();
    QChar* at = out;
    while (from != end) {
        const qsizetype ascii = lowerAsciiRun(from, end, at);
        from += ascii;
        at += ascii;
        if (from == end)
            break;
        const char16_t u = *from++;
        // Kanji, most of a Japanese text, fold to themselves without the table: reading their
        // part of it would mostly miss the processor's nearest cache.
        char16_t f = u >= 0x4E00 && u <= 0x9FFF ? u : table[u];
        if (f == 0) {
            if (u < kHalfWidthFrom || u > kHalfWidthTo)
                return false;
            const HalfWidthFolded h = foldHalfWidth(u, from != end ? *from : char16_t(0));
            if (h.folded == 0)
                return false;
            f = h.folded;
            from += h.withMark ? 1 : 0;
        }
        *at++ = QChar(f);
    }
    out = at;
    return true;
}

}  // namespace

QString foldEntry(QStringView url, QStringView com) {
    QString folded;
    appendFoldedEntry(url, com, folded);
    return folded;
}

void appendFoldedEntry(QStringView url, QStringView com, QString& out) {
    // Most texts are ASCII addresses and kana-and-kanji comments: those are folded in place,
    // without the allocations of a full normalization, for a hundred thousand entries.
    const qsizetype from = out.size();
    out.resize(from + url.size() + 1 + com.size());
    QChar* const start = out.data();
    QChar* at = start + from;
    if (appendFoldedAlone(url, at)) {
        *at++ = u'\n';
        if (appendFoldedAlone(com, at)) {
            // A half-width kana and its sound mark fold to one character.
            out.truncate(at - start);
            return;
        }
    }
    out.truncate(from);
    out += fold(url);
    out += u'\n';
    out += fold(com);
}

bool appendFoldedCharacters(QStringView text, QString& out) {
    const qsizetype from = out.size();
    out.resize(from + text.size());
    QChar* const start = out.data();
    QChar* at = start + from;
    // A half-width kana and its sound mark fold to one character: not in their places.
    if (appendFoldedAlone(text, at) && at - start == out.size())
        return true;
    out.truncate(from);
    return false;
}

QString addressKey(const QString& address) {
    return address.endsWith(u'/') ? address.chopped(1) : address;
}

QStringList queryTerms(QStringView query) {
    QStringList terms;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= query.size(); ++i) {
        if (i == query.size() || isBlank(query[i])) {
            if (i > start)
                terms.append(fold(query.sliced(start, i - start)));
            start = i + 1;
        }
    }
    return terms;
}

bool matchesAll(const QStringList& terms, QStringView folded) {
    for (const QString& term : terms) {
        if (!folded.contains(term))
            return false;
    }
    return true;
}

bool matchesAll(const QStringList& terms, QStringView address, QStringView comment) {
    for (const QString& term : terms) {
        if (!address.contains(term) && !comment.contains(term))
            return false;
    }
    return true;
}

}  // namespace search
