// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/PageScan.h"

#include "keepsake/KeepsakeFormat.h"
#include "platform/Cp932Codec.h"

#include <QLatin1StringView>

#include <algorithm>
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

// A page's lines as the reader splits them (a line ends at CR LF, a lone CR or a lone LF; a
// line break at the very end starts no other line), found with memchr: the index splits the
// lines of a thousand pages.
class PageLines {
public:
    explicit PageLines(QByteArrayView data) : m_data(data) {}

    bool atEnd() const { return m_pos >= m_data.size(); }

    QByteArrayView next() {
        const qsizetype size = m_data.size();
        if (m_pos >= size)
            return {};
        if (m_cr < m_pos)
            m_cr = find('\r');
        if (m_lf < m_pos)
            m_lf = find('\n');
        const qsizetype start = m_pos;
        const qsizetype end = std::min(m_cr, m_lf);
        m_pos = end;
        if (m_pos < size && m_data[m_pos] == '\r') {
            ++m_pos;
            if (m_pos < size && m_data[m_pos] == '\n')
                ++m_pos;
        } else if (m_pos < size) {
            ++m_pos;
        }
        return m_data.sliced(start, end - start);
    }

private:
    // Where the next `c` at or after the current line lies, or the end.
    qsizetype find(char c) const {
        const auto* at = static_cast<const char*>(
            std::memchr(m_data.data() + m_pos, c, static_cast<std::size_t>(m_data.size() - m_pos)));
        return at ? at - m_data.data() : m_data.size();
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    qsizetype m_cr = -1;  // the next CR, once looked for
    qsizetype m_lf = -1;
};

}  // namespace

PageScan::PageScan(QByteArrayView data) {
    m_bytes.reserve(data.size() / 2);
    m_whole = scan(data);
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
        spot.hash = qHash(Address::keyOf(text.sliced(at, spot.com - 1 - at)));
        spot.date = date;
        page.spots.append(spot);
        at = spot.end + 1;
    }
}

void PageScan::add(QByteArrayView url, QByteArrayView com, const QDateTime& date) {
    m_bytes += url;
    m_bytes += '\n';
    m_bytes += com;
    m_bytes += '\n';
    m_dates.append(date);
}

bool PageScan::scan(QByteArrayView data) {
    static constexpr QByteArrayView kStart("<!--StartList-->");
    static constexpr QByteArrayView kEnd("<!--EndList-->");
    PageLines in(data);
    for (;;) {
        if (in.atEnd())
            return false;
        if (in.next() == kStart)
            break;
    }
    if (in.atEnd())
        return false;
    QByteArrayView line = in.next();
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
                comLine = in.next();
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
        line = in.next();
        if (line == kEnd)
            break;
        if (in.atEnd())
            return false;
    }
    return whole;
}

}  // namespace search
