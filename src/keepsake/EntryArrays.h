// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <algorithm>

// The kept entries and the loaded page's entries are held in three parallel, 1-based arrays
// that only grow (element 0 holds no entry). Appends entry number ++count and returns it.
inline int appendEntry(QList<QString>& urls, QList<QString>& coms, QList<QDateTime>& dates,
                       int& count, QString url, QString com, const QDateTime& date) {
    const int k = ++count;
    if (urls.size() <= k) {
        urls.resize(k + 1);
        coms.resize(k + 1);
        dates.resize(k + 1);
    }
    urls[k] = std::move(url);
    coms[k] = std::move(com);
    dates[k] = date;
    return k;
}

// Makes room for every entry a list file of these bytes can hold (each takes two lines) before
// it is read: arrays grown by doubling would hold their old and new storage at once, and
// keep up to half again of unused room.
inline void reserveEntries(QList<QString>& urls, QList<QString>& coms, QList<QDateTime>& dates,
                           const QByteArray& file) {
    const qsizetype room = std::count(file.begin(), file.end(), '\n') / 2 + 2;
    if (urls.capacity() >= room)
        return;
    urls.reserve(room);
    coms.reserve(room);
    dates.reserve(room);
}
