// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Cp932Codec.h"

#include "platform/Cp932Table.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace cp932 {
namespace {

using table::isLeadByte;
using table::isTrailByte;
using table::kNone;

// Characters that Linux input methods and converters produce where Windows has another one.
// They are stored as Windows' character would be; they are never decoded to.
struct OneWay {
    char16_t character;
    std::uint16_t code;
};
constexpr OneWay kOneWay[] = {
    {0x301C, 0x8160},  // WAVE DASH, Windows ～ U+FF5E
    {0x2212, 0x817C},  // MINUS SIGN, Windows － U+FF0D
    {0x2016, 0x8161},  // DOUBLE VERTICAL LINE, Windows ∥ U+2225
    {0x00A2, 0x8191},  // CENT SIGN, Windows ￠ U+FFE0
    {0x00A3, 0x8192},  // POUND SIGN, Windows ￡ U+FFE1
    {0x00AC, 0x81CA},  // NOT SIGN, Windows ￢ U+FFE2
};

// Which of a character's codes Windows writes when it has several: lower ranks win.
int preference(unsigned lead) {
    if (lead == 0x87)
        return 1;  // NEC row 13
    if (lead >= 0xFA)
        return 2;  // IBM extensions
    if (lead == 0xED || lead == 0xEE)
        return 3;  // NEC-selected IBM extensions
    return 0;
}

// Character -> code (one byte, or lead << 8 | trail); 0 = none (U+0000 is handled apart).
struct EncodeTable {
    std::vector<std::uint16_t> code = std::vector<std::uint16_t>(0x10000, 0);

    EncodeTable() {
        for (unsigned b = 0x80; b < 0x100; ++b) {
            if (!isLeadByte(b))
                code[table::kSingleByte[b]] = static_cast<std::uint16_t>(b);
        }
        for (int rank = 0; rank <= 3; ++rank) {
            for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
                if (!isLeadByte(lead) || preference(lead) != rank)
                    continue;
                for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                    const char16_t c = isTrailByte(trail) ? table::doubleByte(lead, trail) : kNone;
                    if (c != kNone && code[c] == 0)
                        code[c] = static_cast<std::uint16_t>(lead << 8 | trail);
                }
            }
        }
        for (const OneWay& extra : kOneWay)
            code[extra.character] = extra.code;
    }
};

const EncodeTable& encodeTable() {
    static const EncodeTable t;
    return t;
}

}  // namespace

namespace {

// Decodes `n` bytes into `dst`, which has room for `n` characters (a byte never gives more
// than one); returns how many it wrote.
qsizetype decodeInto(const unsigned char* src, qsizetype n, char16_t* dst) {
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned b = src[i];
        if (!isLeadByte(b)) {
            dst[w++] = table::kSingleByte[b];
            continue;
        }
        if (i + 1 < n && isTrailByte(src[i + 1])) {
            // A lead byte and a trail byte are one code even when it is unassigned; the trail
            // byte is never read as a character of its own.
            const unsigned trail = src[++i];
            const char16_t c = table::doubleByte(b, trail);
            if (c != kNone) {
                dst[w++] = c;
            } else {
                dst[w++] = static_cast<char16_t>(kEscapeBase + b);
                dst[w++] = static_cast<char16_t>(kEscapeBase + trail);
            }
            continue;
        }
        dst[w++] = static_cast<char16_t>(kEscapeBase + b);
    }
    return w;
}

// Whether no byte is above 0x7F. CP932 gives those bytes the same code points as ASCII.
bool allAscii(const unsigned char* src, qsizetype n) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, src + i, sizeof word);
        if ((word & kHighBits) != 0)
            return false;
    }
    for (; i < n; ++i) {
        if (src[i] > 0x7F)
            return false;
    }
    return true;
}

}  // namespace

QString decode(QByteArrayView bytes) {
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    // Most addresses are ASCII: Qt widens those bytes many at a time, into a string of their
    // size, where the table would be looked up once a byte.
    if (n > 0 && allAscii(src, n))
        return QString::fromLatin1(bytes.data(), n);
    // A short text (an entry's address or comment) is decoded on the stack and then copied
    // once into a string of its size: sizing a string for one character a byte and then
    // giving back the room double-byte characters leave unused costs a second allocation.
    constexpr qsizetype kShort = 512;
    if (n <= kShort) {
        char16_t buffer[kShort];
        const qsizetype w = decodeInto(src, n, buffer);
        return QString(reinterpret_cast<const QChar*>(buffer), w);
    }
    QString out;
    out.resize(n);
    const qsizetype w = decodeInto(src, n, reinterpret_cast<char16_t*>(out.data()));
    out.truncate(w);
    // Double-byte characters leave room unused; text kept for the whole run would hold it
    // all along.
    if (w < n)
        out.squeeze();
    return out;
}

void encodeAppend(QStringView text, QByteArray& out) {
    const EncodeTable& t = encodeTable();
    const qsizetype start = out.size();
    out.resize(start + text.size() * 2);
    char* dst = out.data() + start;
    qsizetype w = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            dst[w++] = static_cast<char>(c);
            continue;
        }
        if (isEscape(c)) {
            dst[w++] = static_cast<char>(c - kEscapeBase);
            continue;
        }
        const std::uint16_t code = t.code[c];
        if (code == 0) {
            dst[w++] = '?';
            // A surrogate pair is one character: one replacement for both halves.
            if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
                ++i;
        } else if (code > 0xFF) {
            dst[w++] = static_cast<char>(code >> 8);
            dst[w++] = static_cast<char>(code & 0xFF);
        } else {
            dst[w++] = static_cast<char>(code);
        }
    }
    out.truncate(start + w);
}

QByteArray encode(QStringView text) {
    QByteArray out;
    encodeAppend(text, out);
    return out;
}

qsizetype charLength(QByteArrayView bytes, qsizetype pos) {
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (!isLeadByte(b) || pos + 1 >= bytes.size())
        return 1;
    return isTrailByte(static_cast<unsigned char>(bytes[pos + 1])) ? 2 : 1;
}

bool canEncode(QStringView text) {
    const EncodeTable& t = encodeTable();
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80 || isEscape(c))
            continue;
        if (t.code[c] == 0)
            return false;
    }
    return true;
}

bool hasEscapes(QStringView text) {
    for (const QChar ch : text) {
        if (isEscape(ch.unicode()))
            return true;
    }
    return false;
}

}  // namespace cp932
