// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "search/CollectionIndex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>

namespace search {

// A page read for the index, without a box: the entries that readListFile reads from it, and
// whether it reads whole (to the end, with no message and no question). The addresses and
// comments are gathered as bytes and decoded in one go into the page's text.
class PageScan {
public:
    // Reads `data` as readListFile does, with every question answered OK, so that the rest of
    // a damaged page is still found. The tests hold the two alike.
    explicit PageScan(QByteArrayView data);

    bool whole() const { return m_whole; }

    // The entries read, into `page`.
    void fill(CollectionIndex::Page& page) const;

private:
    void add(QByteArrayView url, QByteArrayView com, const QDateTime& date);
    // readListFile's steps; where it shows a message and stops, this says the page is not
    // whole, and where it asks, it goes on.
    bool scan(QByteArrayView data);

    // About the bytes an entry's two lines take, to make room for the dates.
    static constexpr qsizetype kBytesPerEntry = 100;

    QByteArray m_bytes;  // the first m_size bytes are the entries'
    qsizetype m_size = 0;
    QList<QDateTime> m_dates;
    bool m_whole = false;
};

}  // namespace search
