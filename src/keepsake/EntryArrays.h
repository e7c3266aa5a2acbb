#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

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
