// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/TextFolding.h"

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

// Appends the folded text to `out` when every character folds alone; false (and `out` as it
// was) otherwise.
bool appendFoldedAlone(QStringView text, QChar*& out) {
    QChar* at = out;
    for (QChar c : text) {
        const char16_t f = foldedAlone(c.unicode());
        if (f == 0 && c.unicode() != 0)
            return false;
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
    QChar* at = out.data() + from;
    if (appendFoldedAlone(url, at)) {
        *at++ = u'\n';
        if (appendFoldedAlone(com, at))
            return;
    }
    out.truncate(from);
    out += fold(url);
    out += u'\n';
    out += fold(com);
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

}  // namespace search
