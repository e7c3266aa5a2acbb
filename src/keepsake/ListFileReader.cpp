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

void ListFileHost::entryBytes(QByteArrayView url, QByteArrayView com, const QDateTime& date) {
    entry({cp932::decode(url), cp932::decode(com), date});
}

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
            QDateTime date;
            QByteArrayView url;
            QByteArrayView com;
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
                const Scan comment = scanComment(comLine, &comStart);
                if (comment.length == 0) {
                    host.failure(comment.message);
                    dropped = true;
                } else if (scanDate(comLine.sliced(comStart + comment.length + 3), &date) == 0) {
                    dropped = true;
                } else {
                    url = line.sliced(kAddressStart, address.length);
                    com = comLine.sliced(comStart, comment.length);
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
                host.entryBytes(url, com, date);
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
