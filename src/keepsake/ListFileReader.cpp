#include "keepsake/ListFileReader.h"

#include "platform/LineReader.h"

using namespace keepsake;

ListFileResult readListFile(const QByteArray& data, ListFileHost& host) {
    ListFileResult result;
    LineReader in(data);

    // Header, through the start marker.
    for (;;) {
        if (in.atEnd()) {
            host.failure(kMsgNoStartMarker);
            return result;
        }
        const QString line = in.readLine();
        result.head += line;
        result.head += kCrLf;
        if (line == kStartMarker)
            break;
    }

    // The first list line; a file that ends here, or right after it, has no list.
    if (in.atEnd()) {
        host.failure(kMsgNoList);
        return result;
    }
    QString line = in.readLine();
    if (in.atEnd()) {
        host.failure(kMsgNoList);
        return result;
    }
    result.listStarted = true;
    host.listStarts();

    while (line != kEndMarker) {
        if (isEntryLine(line)) {
            bool dropped = false;
            const Scan address = scanAddress(line);
            Entry entry;
            if (address.length == 0) {
                if (!address.message.isEmpty())
                    host.failure(address.message);
                dropped = true;
            } else {
                entry.url = line.mid(kAddressStart, address.length);
                const QString comLine = in.readLine();
                if (comLine == kEndMarker) {
                    host.failure(kMsgNoComment);
                    return result;
                }
                if (in.atEnd()) {
                    host.failure(kMsgNoEndMarker);
                    return result;
                }
                const Scan com = scanComment(comLine);
                if (com.length == 0) {
                    if (!com.message.isEmpty())
                        host.failure(com.message);
                    dropped = true;
                } else {
                    entry.com = comLine.mid(2, com.length);
                    const QStringView rest = QStringView(comLine).mid(com.length + 4);
                    if (scanDate(rest, &entry.date) == 0)
                        dropped = true;
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
        line = in.readLine();
        if (line == kEndMarker)
            break;
        if (in.atEnd()) {
            host.failure(kMsgNoEndMarker);
            return result;
        }
    }

    // Footer: the end marker and every line after it.
    result.foot = line + kCrLf;
    while (!in.atEnd()) {
        result.foot += in.readLine();
        result.foot += kCrLf;
    }
    result.complete = true;
    return result;
}
