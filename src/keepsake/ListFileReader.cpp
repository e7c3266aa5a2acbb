// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/ListFileReader.h"

#include "platform/Cp932Codec.h"
#include "platform/LineReader.h"

using namespace keepsake;

namespace {

constexpr QByteArrayView kStartMarkerBytes("<!--StartList-->");
constexpr QByteArrayView kEndMarkerBytes("<!--EndList-->");

// Appends the line's bytes and CR LF.
void appendLine(QByteArray& text, QByteArrayView line) {
    text += line;
    text += "\r\n";
}

}  // namespace

// The reader works on the file's own bytes, as the scanners do, and decodes only what it
// keeps: each entry's address and comment. The header and footer are kept as bytes.
ListFileResult readListFile(const QByteArray& data, ListFileHost& host) {
    ListFileResult result;
    LineReader in(data);

    // Header, through the start marker.
    for (;;) {
        if (in.atEnd()) {
            host.failure(kMsgNoStartMarker);
            return result;
        }
        const QByteArrayView line = in.readLineView();
        appendLine(result.head, line);
        if (line == kStartMarkerBytes)
            break;
    }

    // The first list line; a file that ends here, or right after it, has no list.
    if (in.atEnd()) {
        host.failure(kMsgNoList);
        return result;
    }
    QByteArrayView line = in.readLineView();
    if (in.atEnd()) {
        host.failure(kMsgNoList);
        return result;
    }
    result.listStarted = true;
    host.listStarts();

    while (line != kEndMarkerBytes) {
        // An entry line whose comment line is missing is followed by the next entry line,
        // which then fails as its comment line; it is read again as an entry line.
        if (isEntryLine(line)) {
            bool dropped = false;
            Entry entry;
            QByteArrayView comLine;
            const Scan address = scanAddress(line);
            if (address.length == 0) {
                host.failure(address.message);
                dropped = true;
            } else {
                comLine = in.readLineView();
                if (comLine == kEndMarkerBytes) {
                    host.failure(kMsgNoComment);
                    return result;
                }
                if (in.atEnd()) {
                    host.failure(kMsgNoEndMarker);
                    return result;
                }
                qsizetype comStart = 0;
                const Scan com = scanComment(comLine, &comStart);
                if (com.length == 0) {
                    host.failure(com.message);
                    dropped = true;
                } else if (scanDate(comLine.sliced(comStart + com.length + 3), &entry.date) == 0) {
                    dropped = true;
                } else {
                    entry.url = cp932::decode(line.sliced(kAddressStart, address.length));
                    entry.com = cp932::decode(comLine.sliced(comStart, com.length));
                }
            }
            if (dropped) {
                if (!host.askContinue())
                    return result;
                if (isEntryLine(comLine)) {
                    line = comLine;
                    continue;
                }
            } else {
                ++result.entries;
                host.entry(std::move(entry));
            }
        }
        // Next line.
        line = in.readLineView();
        if (line == kEndMarkerBytes)
            break;
        if (in.atEnd()) {
            host.failure(kMsgNoEndMarker);
            return result;
        }
    }

    // Footer: the end marker and every line after it.
    appendLine(result.foot, line);
    while (!in.atEnd())
        appendLine(result.foot, in.readLineView());
    result.complete = true;
    return result;
}
