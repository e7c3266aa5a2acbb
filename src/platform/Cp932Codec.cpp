#include "platform/Cp932Codec.h"

#include <iconv.h>

#include <array>
#include <memory>
#include <vector>

namespace cp932 {
namespace {

bool isLeadByte(unsigned b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool isTrailByte(unsigned b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// The tables are built once from glibc's "CP932" converter, then used without iconv.
struct Tables {
    std::array<char16_t, 256> single{};      // 0 = no single-byte character
    std::vector<char16_t> pair;              // (lead << 8 | trail) -> char, 0 = none
    std::vector<std::uint16_t> encodeTable;  // char -> byte(s), 0 = unmapped

    Tables() : pair(0x10000, 0), encodeTable(0x10000, 0) {
        iconv_t toUtf16 = iconv_open("UTF-16LE", "CP932");
        iconv_t fromUtf16 = iconv_open("CP932", "UTF-16LE");
        if (toUtf16 == reinterpret_cast<iconv_t>(-1) ||
            fromUtf16 == reinterpret_cast<iconv_t>(-1)) {
            // Without the converter only ASCII is known; everything else stays escaped.
            for (unsigned b = 0; b < 0x80; ++b) {
                single[b] = static_cast<char16_t>(b);
                encodeTable[b] = static_cast<std::uint16_t>(b);
            }
            return;
        }
        auto convert = [&](const unsigned char* in, size_t inLen) -> char16_t {
            char16_t out[4] = {};
            char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(in));
            char* outPtr = reinterpret_cast<char*>(out);
            size_t inLeft = inLen;
            size_t outLeft = sizeof(out);
            iconv(toUtf16, nullptr, nullptr, nullptr, nullptr);
            if (iconv(toUtf16, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
                inLeft != 0 || outLeft != sizeof(out) - 2) {
                return 0;
            }
            return out[0];
        };
        auto backToBytes = [&](char16_t c) -> std::uint16_t {
            unsigned char out[4] = {};
            char16_t in[1] = {c};
            char* inPtr = reinterpret_cast<char*>(in);
            char* outPtr = reinterpret_cast<char*>(out);
            size_t inLeft = 2;
            size_t outLeft = sizeof(out);
            iconv(fromUtf16, nullptr, nullptr, nullptr, nullptr);
            if (iconv(fromUtf16, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
                return 0;
            }
            const size_t n = sizeof(out) - outLeft;
            if (n == 1)
                return out[0];
            if (n == 2)
                return static_cast<std::uint16_t>(out[0] << 8 | out[1]);
            return 0;
        };
        for (unsigned b = 0; b < 0x100; ++b) {
            if (isLeadByte(b))
                continue;
            const unsigned char in[1] = {static_cast<unsigned char>(b)};
            const char16_t c = (b < 0x80) ? static_cast<char16_t>(b) : convert(in, 1);
            if ((c != 0 || b == 0) && (c < 0xD800 || c > 0xDFFF) && backToBytes(c) == b) {
                single[b] = c;
                encodeTable[c] = static_cast<std::uint16_t>(b);
            }
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(lead))
                continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrailByte(trail))
                    continue;
                const unsigned char in[2] = {static_cast<unsigned char>(lead),
                                             static_cast<unsigned char>(trail)};
                const char16_t c = convert(in, 2);
                if (c == 0 || (c >= 0xD800 && c <= 0xDFFF))
                    continue;
                const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
                // Duplicate codes (NEC and IBM extensions) would come back as other bytes:
                // those stay escaped so that the file's own bytes survive.
                if (backToBytes(c) != code)
                    continue;
                pair[code] = c;
                encodeTable[c] = code;
            }
        }
        iconv_close(toUtf16);
        iconv_close(fromUtf16);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

}  // namespace

QString decode(QByteArrayView bytes) {
    const Tables& t = tables();
    QString out;
    out.resize(bytes.size());
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned b = src[i];
        if (b < 0x80) {
            dst[w++] = static_cast<char16_t>(b);
            continue;
        }
        if (isLeadByte(b) && i + 1 < n) {
            const char16_t c = t.pair[b << 8 | src[i + 1]];
            if (c != 0) {
                dst[w++] = c;
                ++i;
                continue;
            }
        }
        const char16_t c = t.single[b];
        dst[w++] = c != 0 ? c : static_cast<char16_t>(kEscapeBase + b);
    }
    out.truncate(w);
    return out;
}

void encodeAppend(QStringView text, QByteArray& out) {
    const Tables& t = tables();
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
        if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
            dst[w++] = static_cast<char>(c - kEscapeBase);
            continue;
        }
        const std::uint16_t code = t.encodeTable[c];
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
    if (b < 0x80 || !isLeadByte(b) || pos + 1 >= bytes.size())
        return 1;
    const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
    return tables().pair[b << 8 | trail] != 0 ? 2 : 1;
}

bool canEncode(QStringView text) {
    const Tables& t = tables();
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80 || (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF))
            continue;
        if (t.encodeTable[c] == 0)
            return false;
    }
    return true;
}

bool hasEscapes(QStringView text) {
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF)
            return true;
    }
    return false;
}

}  // namespace cp932
