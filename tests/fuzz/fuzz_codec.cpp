// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes decode to text that encodes to bytes of the same length that decode to the same
// text (a duplicate code comes back as Windows' own code for its character), and decoding
// keeps every line break where it was.
#include "FuzzCheck.h"
#include "platform/Cp932Codec.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_codec {

namespace {

using fuzzcheck::check;

}  // namespace

int testOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = cp932::decode(bytes);

    // The characters survive: only duplicate codes change, each to another code of the same
    // length, and only characters can change them.
    const QByteArray encoded = cp932::encode(text);
    check(cp932::canEncode(text));
    check(encoded.size() == bytes.size());
    check(cp932::decode(encoded) == text);
    check(cp932::encode(cp932::decode(encoded)) == encoded);
    // At most one character per byte, at least one per two bytes.
    check(text.size() <= bytes.size());
    check(text.size() * 2 >= bytes.size());
    // Line breaks are never part of a double-byte character.
    check(text.count(u'\r') == bytes.count('\r'));
    check(text.count(u'\n') == bytes.count('\n'));
    // The escape of a byte is there exactly when the bytes needed one.
    bool escaped = false;
    for (QChar c : text) {
        if (cp932::isEscape(c.unicode()))
            escaped = true;
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

KEEPSAKE_FUZZ_ENTRY_POINT(fuzz_codec)
