// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// What the search compares: texts folded so that the ways a Japanese user may type the same
// word meet (half- and full-width forms, katakana and hiragana, upper and lower case), and
// addresses keyed so that "a.jp/x" and "a.jp/x/" name the same place.
namespace search {

// NFKC, then katakana to hiragana, then case folding: ｶﾞ, ガ and が fold alike, as do Ａ,
// A and a.
QString fold(QStringView text);

// fold(url), a line break, fold(com): what the index searches for one entry.
QString foldEntry(QStringView url, QStringView com);
// The same, appended to `out`.
void appendFoldedEntry(QStringView url, QStringView com, QString& out);

// Appends fold(text) when every character folds alone, to one character (the folded text is
// as long as `text`, each character in its place); false, and `out` as it was, otherwise.
bool appendFoldedCharacters(QStringView text, QString& out);

// The address as stored, without one trailing "/".
QString addressKey(const QString& address);

// The folded terms of a query, split at blanks (ASCII and the ideographic space); empty
// terms are dropped.
QStringList queryTerms(QStringView query);

// True when every term occurs in `folded`. No terms match everything.
bool matchesAll(const QStringList& terms, QStringView folded);
// True when every term occurs in `address` or in `comment`, each already folded.
bool matchesAll(const QStringList& terms, QStringView address, QStringView comment);

}  // namespace search
