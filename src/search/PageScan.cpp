// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/PageScan.h"

#include "keepsake/KeepsakeFormat.h"
#include "platform/Cp932Codec.h"
#include "platform/LineReader.h"
#include "search/AddressHash.h"

#include <QLatin1StringView>

#include <cstring>

namespace search {
namespace {

using Page = CollectionIndex::Page;
using Address = CollectionIndex::Address;

// Code page 932 gives every ASCII byte its own character, as Latin-1 does, and no byte pair
// holds a line break: the addresses and comments of a page, each followed by a line break,
// decode at once to what each decodes to alone, with the line breaks between.
bool lineBreaksStayApart() {
    static const bool apart = [] {
        QByteArray ascii(128, '\0');
        for (int i = 0; i < 128; ++i)
            ascii[i] = static_cast<char>(i);
        return cp932::decode(ascii) == QLatin1StringView(ascii);
    }();
    return apart;
}

}  // namespace

PageScan::PageScan(QByteArrayView data) {
    // An entry's address and comment, each with a line break, take no more bytes than its two
    // lines do: they are copied into room made once, not appended piece by piece.
    m_bytes.resize(data.size());
    m_dates.reserve(data.size() / kBytesPerEntry);
    m_whole = scan(data);
    m_bytes.truncate(m_size);
}

void PageScan::fill(Page& page) const {
    if (!lineBreaksStayApart()) {
        // Each decoded alone.
        const QByteArrayView bytes(m_bytes);
        for (qsizetype i = 0, at = 0; i < m_dates.size(); ++i) {
            const qsizetype urlEnd = bytes.indexOf('\n', at);
            const qsizetype comEnd = bytes.indexOf('\n', urlEnd + 1);
            page.append(cp932::decode(bytes.sliced(at, urlEnd - at)),
                        cp932::decode(bytes.sliced(urlEnd + 1, comEnd - urlEnd - 1)), m_dates[i]);
            at = comEnd + 1;
        }
        return;
    }
    page.text = cp932::decode(m_bytes);
    page.spots.reserve(m_dates.size());
    const QStringView text(page.text);
    qsizetype at = 0;
    for (const QDateTime& date : m_dates) {
        Page::Spot spot;
        spot.url = at;
        spot.com = text.indexOf(u'\n', at) + 1;
        spot.end = text.indexOf(u'\n', spot.com);
        spot.hash = addressHash(Address::keyOf(text.sliced(at, spot.com - 1 - at)));
        spot.date = date;
        page.spots.append(spot);
        at = spot.end + 1;
    }
}

void PageScan::add(QByteArrayView url, QByteArrayView com, const QDateTime& date) {
    Q_ASSERT(m_size + url.size() + com.size() + 2 <= m_bytes.size());
    char* at = m_bytes.data() + m_size;
    std::memcpy(at, url.data(), static_cast<std::size_t>(url.size()));
    at += url.size();
    *at++ = '\n';
    std::memcpy(at, com.data(), static_cast<std::size_t>(com.size()));
    at += com.size();
    *at++ = '\n';
    m_size = at - m_bytes.data();
    m_dates.append(date);
}

bool PageScan::scan(QByteArrayView data) {
    static constexpr QByteArrayView kStart("<!--StartList-->");
    static constexpr QByteArrayView kEnd("<!--EndList-->");
    // The page's lines as the reader splits them; the bytes are not copied.
    LineReader in(QByteArray::fromRawData(data.data(), data.size()));
    for (;;) {
        if (in.atEnd())
            return false;
        if (in.readLineView() == kStart)
            break;
    }
    if (in.atEnd())
        return false;
    QByteArrayView line = in.readLineView();
    if (in.atEnd())
        return false;
    bool whole = true;
    while (line != kEnd) {
        if (keepsake::isEntryLine(line)) {
            bool dropped = false;
            QDateTime date;
            QByteArrayView url;
            QByteArrayView com;
            QByteArrayView comLine;
            const keepsake::Scan address = keepsake::scanAddress(line);
            if (address.length == 0) {
                dropped = true;
            } else {
                comLine = in.readLineView();
                if (comLine == kEnd || in.atEnd())
                    return false;
                qsizetype comStart = 0;
                const keepsake::Scan comment = keepsake::scanComment(comLine, &comStart);
                if (comment.length == 0 ||
                    keepsake::scanDate(comLine.sliced(comStart + comment.length + 3), &date) == 0) {
                    dropped = true;
                } else {
                    url = line.sliced(keepsake::kAddressStart, address.length);
                    com = comLine.sliced(comStart, comment.length);
                }
            }
            if (dropped) {
                whole = false;
                if (keepsake::isEntryLine(comLine)) {
                    line = comLine;
                    continue;
                }
            } else {
                add(url, com, date);
            }
        }
        line = in.readLineView();
        if (line == kEnd)
            break;
        if (in.atEnd())
            return false;
    }
    return whole;
}

}  // namespace search
