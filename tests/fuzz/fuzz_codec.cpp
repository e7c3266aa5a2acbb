// Any bytes decode to text that encodes back to the very same bytes, and decoding keeps
// every line break where it was.
#include "platform/Cp932Codec.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_codec {

namespace {

// A broken rule ends the run with the line that states it.
void check(bool condition, int line = __builtin_LINE()) {
    if (condition)
        return;
    std::fprintf(stderr, "%s:%d: check failed\n", __FILE__, line);
    std::abort();
}

}  // namespace

int testOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = cp932::decode(bytes);

    // Lossless: the bytes come back exactly.
    check(cp932::encode(text) == bytes);
    check(cp932::canEncode(text));
    // At most one character per byte, at least one per two bytes.
    check(text.size() <= bytes.size());
    check(text.size() * 2 >= bytes.size());
    // Line breaks are never part of a double-byte character.
    check(text.count(u'\r') == bytes.count('\r'));
    check(text.count(u'\n') == bytes.count('\n'));
    // The escape of a byte is there exactly when the bytes needed one.
    bool escaped = false;
    for (QChar c : text) {
        if (c.unicode() >= cp932::kEscapeBase + 0x80 && c.unicode() <= cp932::kEscapeBase + 0xFF) {
            escaped = true;
        }
    }
    check(cp932::hasEscapes(text) == escaped);

    // Decoding a prefix that ends between lines gives the prefix of the text.
    const qsizetype lf = bytes.indexOf('\n');
    if (lf >= 0) {
        const QString head = cp932::decode(bytes.first(lf + 1));
        check(text.startsWith(head));
    }
    return 0;
}

}  // namespace fuzz_codec

// The tests replay saved inputs through testOneInput() and leave the entry point out.
#ifndef KEEPSAKE_FUZZ_NO_ENTRY_POINT
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz_codec::testOneInput(data, size);
}
#endif
