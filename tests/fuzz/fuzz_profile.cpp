// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The INI reader and writer. The input is a section name, a key and a value, each followed
// by a NUL byte, and then the bytes of the file. After the write, the key reads back as the
// value (cut to the read buffer), every other key reads as before, and writing again changes
// nothing.
#include "FuzzCheck.h"
#include "settings/ProfileFormat.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_profile {

namespace {

using fuzzcheck::check;

bool isLead(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool isTrail(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Single-byte characters of text (every lead byte is followed by a trail byte); false when a
// lead byte has no trail byte.
bool singles(QByteArrayView text, QByteArray* out) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isLead(text[i])) {
            if (i + 1 >= text.size() || !isTrail(text[i + 1]))
                return false;
            ++i;
        } else {
            out->append(text[i]);
        }
    }
    return true;
}

QByteArrayView trimSpaces(QByteArrayView text) {
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

// A name that a file line can carry and give back: well-formed double-byte characters, no
// line break or NUL, no tab at either end (the file's blanks are trimmed, the caller's
// spaces only), and nothing that would end it: "]" in a section name, "=" in a key, and no
// key that looks like a section header or a comment.
bool validName(QByteArrayView name, bool section) {
    const QByteArrayView t = trimSpaces(name);
    QByteArray s;
    if (t.isEmpty() || !singles(t, &s))
        return false;
    if (s.contains('\r') || s.contains('\n') || s.contains('\0'))
        return false;
    if (isBlank(t.front()) || isBlank(t.back()))
        return false;
    if (section)
        return !s.contains(']');
    if (s.contains('='))
        return false;
    return t.front() != '[' && t.front() != ';';
}

bool validValue(QByteArrayView value) {
    if (value.contains('\r') || value.contains('\n') || value.contains('\0'))
        return false;
    if (!value.isEmpty() && (isBlank(value.front()) || isBlank(value.back())))
        return false;
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
        return false;
    }
    return true;
}

// What a read with a 1024-byte buffer gives for a value: at most 1023 bytes, never half of a
// double-byte character.
QByteArray expectedRead(QByteArrayView value) {
    if (value.size() <= kProfileValueMax)
        return value.toByteArray();
    qsizetype end = 0;
    for (;;) {
        const qsizetype len = isLead(value[end]) && end + 1 < value.size() ? 2 : 1;
        if (end + len > kProfileValueMax)
            break;
        end += len;
    }
    return value.first(end).toByteArray();
}

// Section and key names as a file's lines spell them, byte by byte, at most `most` of each:
// candidates to read.
struct Names {
    QList<QByteArray> sections;
    QList<QByteArray> keys;
};

Names namesIn(QByteArrayView file, qsizetype most) {
    Names names;
    qsizetype start = 0;
    while (start < file.size()) {
        qsizetype end = start;
        while (end < file.size() && file[end] != '\r' && file[end] != '\n')
            ++end;
        QByteArray line = file.sliced(start, end - start).toByteArray().trimmed();
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            names.sections << line.mid(1, close < 0 ? -1 : close - 1).trimmed();
        } else if (const qsizetype eq = line.indexOf('='); eq > 0) {
            names.keys << line.first(eq).trimmed();
        }
        start = end + 1;
    }
    for (QList<QByteArray>* list : {&names.sections, &names.keys}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
        if (list->size() > most)
            list->resize(most);
    }
    return names;
}

// Reading the whole section gives what reading each key gives.
void sectionAgrees(QByteArrayView file, QByteArrayView section, const QList<QByteArray>& keys) {
    const QHash<QByteArray, QByteArray> all = profileReadSection(file, section);
    for (const QByteArray& key : keys) {
        check(all.value(profileFoldName(key)) == profileRead(file, section, key));
    }
}

}  // namespace

int testOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype a = input.indexOf('\0');
    if (a < 0)
        return 0;
    const qsizetype b = input.sliced(a + 1).indexOf('\0');
    if (b < 0)
        return 0;
    const qsizetype c = input.sliced(a + 1 + b + 1).indexOf('\0');
    if (c < 0)
        return 0;
    const QByteArrayView section = input.first(a);
    const QByteArrayView key = input.sliced(a + 1, b);
    const QByteArrayView value = input.sliced(a + 1 + b + 1, c);
    const QByteArrayView file = input.sliced(a + 1 + b + 1 + c + 1);

    // Any names and any bytes: reading and writing never fail, and what was there before the
    // first line break of the file is kept.
    const QByteArray after = profileWrite(file, section, key, value);
    (void)profileRead(after, section, key);
    qsizetype firstLine = 0;
    while (firstLine < file.size() && file[firstLine] != '\r' && file[firstLine] != '\n') {
        ++firstLine;
    }
    if (firstLine < file.size()) {
        firstLine += file.sliced(firstLine).startsWith("\r\n") ? 2 : 1;
    }
    check(after.startsWith(file.first(firstLine)));

    if (!validName(section, true) || !validName(key, false) || !validValue(value))
        return 0;

    check(profileRead(after, section, key) == expectedRead(value));
    check(profileWrite(after, section, key, value) == after);

    // Every other key of every section reads as before.
    const Names names = namesIn(file, 6);
    const QByteArray s = profileFoldName(section);
    const QByteArray k = profileFoldName(key);
    for (const QByteArray& other : names.sections) {
        QHash<QByteArray, QByteArray> before = profileReadSection(file, other);
        QHash<QByteArray, QByteArray> now = profileReadSection(after, other);
        if (profileFoldName(other) == s) {
            before.remove(k);
            now.remove(k);
        }
        check(before == now);
    }
    sectionAgrees(file, section, names.keys);
    sectionAgrees(after, section, names.keys + QList<QByteArray>{key.toByteArray()});
    check(profileReadSection(after, section).value(k) == expectedRead(value));
    return 0;
}

}  // namespace fuzz_profile

KEEPSAKE_FUZZ_ENTRY_POINT(fuzz_profile)
