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

namespace {
// Inline: a page of a hundred thousand entries asks for each.
QStringView keyOf(const QString& address) {
    const QStringView all(address);
    return !all.isEmpty() && all.back() == u'/' ? all.chopped(1) : all;
}
}  // namespace

bool PageMarks::marked(int entry) const {
    return entry >= 0 && entry < m_countOf.size() && m_countOf[entry] > 1;
}

QString PageMarks::note(int entry) const {
    return marked(entry) ? kMsgSameAddress : QString();
}

size_t PageMarks::hashOf(const QString& url) {
    return qHash(keyOf(url));
}

template <class Key>
qsizetype PageMarks::slotOf(size_t hash, Key key) const {
    const auto mask = static_cast<size_t>(m_slots.size() - 1);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const auto slot = static_cast<qsizetype>(i);
        const int entry = m_slots[slot];
        if (entry < 0 ||
            (m_slotHashes[slot] == hash && entry < m_urls.size() && keyOf(m_urls[entry]) == key()))
            return slot;
    }
}

void PageMarks::count(const QList<int>& entries) {
    std::vector<size_t> hashes(static_cast<std::size_t>(m_urls.size()));
    for (int k : entries) {
        if (k >= 0 && k < m_urls.size())
            hashes[static_cast<std::size_t>(k)] = hashOf(m_urls[k]);
    }
    count(entries, hashes);
}

void PageMarks::count(const QList<int>& entries, const std::vector<size_t>& hashes) {
    qsizetype size = 16;
    while (size < 2 * entries.size())
        size *= 2;
    m_slots.fill(-1, size);
    m_slotHashes.fill(0, size);
    m_countOf.fill(0, m_urls.size());
    QList<int> firstOf;  // per counted entry, in order: the first entry of its address
    firstOf.reserve(entries.size());
    for (int k : entries) {
        if (k < 0 || k >= m_urls.size() || static_cast<std::size_t>(k) >= hashes.size())
            continue;
        // An address is read only when another has the same hash.
        const size_t hash = hashes[static_cast<std::size_t>(k)];
        const qsizetype slot = slotOf(hash, [&] { return keyOf(m_urls[k]); });
        if (m_slots[slot] < 0) {
            m_slots[slot] = k;
            m_slotHashes[slot] = hash;
        }
        firstOf.append(m_slots[slot]);
        ++m_countOf[m_slots[slot]];
    }
    qsizetype i = 0;
    for (int k : entries) {
        if (k >= 0 && k < m_urls.size() && static_cast<std::size_t>(k) < hashes.size())
            m_countOf[k] = m_countOf[firstOf[i++]];
    }
}

bool PageMarks::holds(const QString& url) const {
    if (m_slots.isEmpty())
        return false;
    const QStringView key = keyOf(url);
    return m_slots[slotOf(qHash(key), [key] { return key; })] >= 0;
}
