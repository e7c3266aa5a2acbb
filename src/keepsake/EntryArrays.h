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

// The line feeds in `bytes`, counted into one byte per run of 255 so that the compiler counts
// sixteen or more at once: std::count's wide counter takes ten times as long on a 14 MB file.
inline qsizetype lineFeeds(const QByteArray& bytes) {
    qsizetype count = 0;
    const char* at = bytes.constData();
    for (qsizetype left = bytes.size(); left > 0;) {
        const qsizetype run = std::min<qsizetype>(left, 255);
        unsigned char inRun = 0;
        for (qsizetype i = 0; i < run; ++i)
            inRun = static_cast<unsigned char>(inRun + (at[i] == '\n'));
        count += inRun;
        at += run;
        left -= run;
    }
    return count;
}

// Makes room for every entry a list file of these bytes can hold (each takes two lines) before
// it is read: arrays grown by doubling would hold their old and new storage at once, and
// keep up to half again of unused room.
inline void reserveEntries(QList<QString>& urls, QList<QString>& coms, QList<QDateTime>& dates,
                           const QByteArray& file) {
    const qsizetype room = lineFeeds(file) / 2 + 2;
    if (urls.capacity() >= room)
        return;
    urls.reserve(room);
    coms.reserve(room);
    dates.reserve(room);
}
