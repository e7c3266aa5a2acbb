// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/ProfileFormat.h"

#include <QHash>
#include <QList>

namespace {

bool isLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes in the character that starts at pos: a lead byte takes the byte after it, if any.
qsizetype charLength(QByteArrayView text, qsizetype pos) {
    return isLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isSpace(char c) {
    return c == ' ';
}

// text without the single-byte characters at either end for which strip() holds. A blank
// that is the second byte of a double-byte character stays.
QByteArrayView trimmed(QByteArrayView text, bool (*strip)(char)) {
    qsizetype begin = 0;
    while (begin < text.size() && strip(text[begin]))
        ++begin;
    qsizetype end = begin;
    for (qsizetype pos = begin; pos < text.size();) {
        const qsizetype len = charLength(text, pos);
        pos += len;
        if (len == 2 || !strip(text[pos - 1]))
            end = pos;
    }
    return text.sliced(begin, end - begin);
}

// Position of the first character c (a single-byte character), or -1.
qsizetype findChar(QByteArrayView text, char c) {
    for (qsizetype pos = 0; pos < text.size(); pos += charLength(text, pos)) {
        if (text[pos] == c)
            return pos;
    }
    return -1;
}

char foldCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names are equal when their single-byte characters match without regard to ASCII case and
// their double-byte characters match exactly.
bool sameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype pos = 0; pos < a.size();) {
        if (charLength(a, pos) == 2) {
            if (a[pos] != b[pos] || a[pos + 1] != b[pos + 1])
                return false;
            pos += 2;
        } else {
            if (foldCase(a[pos]) != foldCase(b[pos]))
                return false;
            ++pos;
        }
    }
    return true;
}

// value without one pair of equal outer quotes, " or '.
QByteArrayView unquoted(QByteArrayView value) {
    if (value.size() < 2)
        return value;
    const char quote = value.front();
    if (quote != '"' && quote != '\'')
        return value;
    qsizetype last = 0;
    for (qsizetype pos = 0; pos < value.size(); pos += charLength(value, pos))
        last = pos;
    if (last != value.size() - 1 || value[last] != quote)
        return value;
    return value.sliced(1, value.size() - 2);
}

// value cut to what the read buffer holds, before a double-byte character that would not fit.
QByteArrayView cutToBuffer(QByteArrayView value) {
    if (value.size() <= kProfileValueMax)
        return value;
    qsizetype end = 0;
    while (end + charLength(value, end) <= kProfileValueMax)
        end += charLength(value, end);
    return value.first(end);
}

enum class Kind { Blank, Comment, Section, Entry, Other };

struct Line {
    qsizetype start = 0;  // first byte of the line
    qsizetype end = 0;    // its line break, or the end of the file
    qsizetype next = 0;   // first byte after its line break
    Kind kind = Kind::Other;
    QByteArrayView name;   // section name or key, trimmed
    QByteArrayView value;  // value of an entry, trimmed
};

void classify(Line& line, QByteArrayView text) {
    qsizetype first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    if (first == text.size()) {
        line.kind = Kind::Blank;
        return;
    }
    const QByteArrayView rest = text.sliced(first);
    if (rest.front() == ';') {
        line.kind = Kind::Comment;
    } else if (rest.front() == '[') {
        // The name ends at the first ']'; whatever follows on the line is ignored.
        QByteArrayView inner = rest.sliced(1);
        const qsizetype close = findChar(inner, ']');
        if (close >= 0)
            inner = inner.first(close);
        line.kind = Kind::Section;
        line.name = trimmed(inner, isBlank);
    } else if (const qsizetype equals = findChar(rest, '='); equals >= 0) {
        line.kind = Kind::Entry;
        line.name = trimmed(rest.first(equals), isBlank);
        line.value = trimmed(rest.sliced(equals + 1), isBlank);
    }
}

// The file's lines; a line break at the very end does not start another line.
QList<Line> parse(QByteArrayView file) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < file.size()) {
        Line line;
        line.start = start;
        line.end = start;
        while (line.end < file.size() && file[line.end] != '\r' && file[line.end] != '\n') {
            ++line.end;
        }
        line.next = line.end;
        if (line.next < file.size()) {
            const bool crLf = file[line.next] == '\r' && line.next + 1 < file.size() &&
                              file[line.next + 1] == '\n';
            line.next += crLf ? 2 : 1;
        }
        classify(line, file.sliced(line.start, line.end - line.start));
        lines.append(line);
        start = line.next;
    }
    return lines;
}

// Index of the header of the first section called name, or -1. Lines before the first
// header belong to no section.
qsizetype findSection(const QList<Line>& lines, QByteArrayView name) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Kind::Section && sameName(lines[i].name, name))
            return i;
    }
    return -1;
}

}  // namespace

QByteArray profileRead(QByteArrayView file, QByteArrayView section, QByteArrayView key, bool* cut) {
    if (cut)
        *cut = false;
    const QList<Line> lines = parse(file);
    const QByteArrayView keyName = trimmed(key, isSpace);
    const qsizetype header = findSection(lines, trimmed(section, isSpace));
    if (header < 0)
        return {};
    for (qsizetype i = header + 1; i < lines.size() && lines[i].kind != Kind::Section; ++i) {
        if (lines[i].kind == Kind::Entry && sameName(lines[i].name, keyName)) {
            const QByteArrayView whole = unquoted(lines[i].value);
            const QByteArrayView value = cutToBuffer(whole);
            if (cut)
                *cut = value.size() < whole.size();
            return value.toByteArray();
        }
    }
    return {};
}

QByteArray profileFoldName(QByteArrayView name) {
    const QByteArrayView trimmedName = trimmed(name, isSpace);
    QByteArray folded;
    folded.reserve(trimmedName.size());
    for (qsizetype pos = 0; pos < trimmedName.size();) {
        if (charLength(trimmedName, pos) == 2) {
            folded.append(trimmedName.sliced(pos, 2));
            pos += 2;
        } else {
            folded.append(foldCase(trimmedName[pos]));
            ++pos;
        }
    }
    return folded;
}

QHash<QByteArray, QByteArray> profileReadSection(QByteArrayView file, QByteArrayView section,
                                                 QSet<QByteArray>* cut) {
    QHash<QByteArray, QByteArray> values;
    const QList<Line> lines = parse(file);
    const qsizetype header = findSection(lines, trimmed(section, isSpace));
    if (header < 0)
        return values;
    for (qsizetype i = header + 1; i < lines.size() && lines[i].kind != Kind::Section; ++i) {
        if (lines[i].kind != Kind::Entry)
            continue;
        const QByteArray name = profileFoldName(lines[i].name);
        if (values.contains(name))
            continue;
        const QByteArrayView whole = unquoted(lines[i].value);
        const QByteArrayView value = cutToBuffer(whole);
        values.insert(name, value.toByteArray());
        if (cut && value.size() < whole.size())
            cut->insert(name);
    }
    return values;
}

QByteArray profileWrite(QByteArrayView file, QByteArrayView section, QByteArrayView key,
                        QByteArrayView value) {
    const QList<Line> lines = parse(file);
    const QByteArrayView sectionName = trimmed(section, isSpace);
    const QByteArrayView keyName = trimmed(key, isSpace);
    QByteArray out;
    out.reserve(file.size() + sectionName.size() + keyName.size() + value.size() + 8);

    const qsizetype header = findSection(lines, sectionName);
    if (header < 0) {
        // A new section goes at the end, on a line of its own.
        out.append(file);
        if (!out.isEmpty() && !out.endsWith('\r') && !out.endsWith('\n'))
            out.append("\r\n");
        out.append('[').append(sectionName).append("]\r\n");
        out.append(keyName).append('=').append(value).append("\r\n");
        return out;
    }

    qsizetype anchor = header;
    for (qsizetype i = header + 1; i < lines.size() && lines[i].kind != Kind::Section; ++i) {
        const Line& line = lines[i];
        if (line.kind != Kind::Entry)
            continue;
        if (sameName(line.name, keyName)) {
            // The line keeps its indent and the key as spelled in the file; the rest of the
            // line, line break included, is replaced.
            const qsizetype keyEnd = line.name.data() + line.name.size() - file.data();
            out.append(file.first(keyEnd)).append('=').append(value).append("\r\n");
            out.append(file.sliced(line.next));
            return out;
        }
        anchor = i;
    }

    // A new key follows the section's last entry (or its header), ahead of any comments and
    // blank lines that close the section.
    const Line& after = lines[anchor];
    out.append(file.first(after.next));
    if (after.next == after.end)
        out.append("\r\n");
    out.append(keyName).append('=').append(value).append("\r\n");
    out.append(file.sliced(after.next));
    return out;
}
