// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Shift_JIS as Windows code page 932, with Windows' own table (Cp932Table).
//
// Decoding gives every code the character Windows shows for it, duplicates included: the NEC
// row 13 and IBM codes that repeat a character decode to that character. A lead byte and a
// valid trail byte always form one two-byte code; a byte is never taken out of one. Bytes
// that are no character of code page 932 (a lead byte without a trail byte, both bytes of an
// unassigned code) decode to escapes, one per byte: the lone low surrogate U+DC00 + byte.
//
// Encoding gives each character the code Windows chooses for it (a JIS row before NEC row 13,
// before IBM 0xFA-0xFC, before NEC-selected IBM 0xED-0xEE), and each escape its own byte. A
// line whose duplicate codes must survive is therefore kept as bytes, not decoded and encoded.
namespace cp932 {

QString decode(QByteArrayView bytes);

// Characters that CP932 cannot hold become '?'. Use canEncode() first where that matters.
QByteArray encode(QStringView text);
// The same, appended to `out`.
void encodeAppend(QStringView text, QByteArray& out);

// True when every character of text has a CP932 form (escapes count as encodable).
bool canEncode(QStringView text);

// How many bytes the character that starts at bytes[pos] takes (1 or 2), as decode() splits
// the bytes into characters: 2 for a lead byte followed by a trail byte.
qsizetype charLength(QByteArrayView bytes, qsizetype pos);

// True when decoding bytes needed at least one escape.
bool hasEscapes(QStringView text);

inline constexpr char16_t kEscapeBase = 0xDC00;
inline constexpr bool isEscape(char16_t c) {
    return c >= kEscapeBase && c <= kEscapeBase + 0xFF;
}

}  // namespace cp932
