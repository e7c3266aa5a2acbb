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
