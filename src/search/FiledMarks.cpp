// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/FiledMarks.h"

#include "search/CollectionIndex.h"
#include "search/TextFolding.h"

bool KeptMarks::marked(int entry) const {
    if (entry < 0 || entry >= m_urls.size())
        return false;
    return m_index.isKeptFiled(entry, m_urls[entry]);
}

QString KeptMarks::note(int entry) const {
    if (!marked(entry))
        return {};
    return QStringLiteral("整理済み: ") +
           m_index.categoriesHolding(m_urls[entry]).join(QStringLiteral(", "));
}

bool PageMarks::marked(int entry) const {
    return entry >= 0 && entry < m_urls.size() &&
           m_counts.value(search::addressKey(m_urls[entry])) > 1;
}

QString PageMarks::note(int entry) const {
    return marked(entry) ? kMsgSameAddress : QString();
}

void PageMarks::count(const QList<int>& entries) {
    m_counts.clear();
    for (int k : entries) {
        if (k >= 0 && k < m_urls.size())
            ++m_counts[search::addressKey(m_urls[k])];
    }
}

bool PageMarks::holds(const QString& url) const {
    return m_counts.contains(search::addressKey(url));
}
