#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Shift_JIS as Windows code page 932, lossless in both directions.
//
// A byte or byte pair that has no character of its own in CP932, or whose character would
// encode back to other bytes, decodes to an escape: the lone low surrogate U+DC00 + byte.
// The encoder turns such an escape back into the very byte, so decode followed by encode
// gives any input back unchanged.
namespace cp932 {

QString decode(QByteArrayView bytes);

// Characters that CP932 cannot hold become '?'. Use canEncode() first where that matters.
QByteArray encode(QStringView text);
// The same, appended to `out`.
void encodeAppend(QStringView text, QByteArray& out);

// True when every character of text has a CP932 form (escapes count as encodable).
bool canEncode(QStringView text);

// How many bytes the character that starts at bytes[pos] takes (1 or 2), as decode() splits
// the bytes into characters.
qsizetype charLength(QByteArrayView bytes, qsizetype pos);

// True when decoding bytes needed at least one escape.
bool hasEscapes(QStringView text);

inline constexpr char16_t kEscapeBase = 0xDC00;

}  // namespace cp932
