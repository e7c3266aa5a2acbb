#include "keepsake/ListFileReader.h"

#include "platform/Cp932Codec.h"
#include "platform/LineReader.h"

using namespace keepsake;

// The reader works on the file's own bytes and decodes only what it keeps: the markers, the
// link prefix, '"', " 》" (20 81 74) and '<' are found on the bytes, which is exact because
// none of their bytes can be the second byte of a double-byte character. Positions that the
// layout counts in characters (the comment starts at the third) are stepped over character by
// character, as the decoder splits them.
namespace {

constexpr QByteArrayView kStartMarkerBytes("<!--StartList-->");
constexpr QByteArrayView kEndMarkerBytes("<!--EndList-->");
constexpr QByteArrayView kLinkPrefixBytes("<A HREF=\"http://");
constexpr QByteArrayView kCommentEndBytes("\x20\x81\x74");

// Appends the decoded line and CR LF.
void appendLine(QString& text, QByteArrayView line) {
    text += cp932::decode(line);
    text += kCrLf;
}

// The address of an entry line, or the failure's message.
Scan scanAddressBytes(QByteArrayView line) {
    const qsizetype quote = line.indexOf('"', kAddressStart);
    if (quote < 0)
        return {0, kMsgNoClosingQuote};
    if (quote == kAddressStart)
        return {0, kMsgEmptyAddress};
    return {quote - kAddressStart, {}};
}

// Byte offset and length of the comment in a comment line; length 0 on failure.
qsizetype scanCommentBytes(QByteArrayView line, qsizetype* start) {
    qsizetype pos = 0;
    for (int chars = 0; chars < 2 && pos < line.size(); ++chars)
        pos += cp932::charLength(line, pos);
    *start = pos;
    const qsizetype end = line.indexOf(kCommentEndBytes, pos);
    return end > pos ? end - pos : 0;
}

}  // namespace

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
        if (line.startsWith(kLinkPrefixBytes)) {
            bool dropped = false;
            Entry entry;
            const Scan address = scanAddressBytes(line);
            if (address.length == 0) {
                host.failure(address.message);
                dropped = true;
            } else {
                const QByteArrayView comLine = in.readLineView();
                if (comLine == kEndMarkerBytes) {
                    host.failure(kMsgNoComment);
                    return result;
                }
                if (in.atEnd()) {
                    host.failure(kMsgNoEndMarker);
                    return result;
                }
                qsizetype comStart = 0;
                const qsizetype comLength = scanCommentBytes(comLine, &comStart);
                if (comLength == 0) {
                    host.failure(kMsgNoCommentLine);
                    dropped = true;
                } else {
                    const QByteArrayView rest = comLine.sliced(comStart + comLength + 3);
                    const qsizetype lt = rest.indexOf('<');
                    if (lt <= 0 || !parseDate(rest.first(lt), &entry.date)) {
                        dropped = true;
                    } else {
                        entry.url = cp932::decode(line.sliced(kAddressStart, address.length));
                        entry.com = cp932::decode(comLine.sliced(comStart, comLength));
                    }
                }
            }
            if (dropped) {
                if (!host.askContinue())
                    return result;
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
