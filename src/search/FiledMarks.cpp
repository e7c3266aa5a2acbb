// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/FiledMarks.h"

#include "search/AddressHash.h"
#include "search/CollectionIndex.h"
#include "search/TextFolding.h"

bool KeptMarks::marked(int entry) const {
    if (entry < 0 || entry >= m_urls.size())
        return false;
    if (static_cast<std::size_t>(entry) < m_answers.size())
        return m_answers[static_cast<std::size_t>(entry)] != 0;
    return m_index.isKeptFiled(entry, m_urls[entry]);
}

void KeptMarks::prepareAll() const {
    if (!m_answers.empty())
        return;
    m_answers.resize(static_cast<std::size_t>(m_urls.size()));
    for (int k = 1; k < m_urls.size(); ++k)
        m_answers[static_cast<std::size_t>(k)] = m_index.isKeptFiled(k, m_urls[k]) ? 1 : 0;
}

QString KeptMarks::note(int entry) const {
    if (!marked(entry))
        return {};
    return QStringLiteral("整理済み: ") +
           m_index.categoriesHolding(m_urls[entry]).join(QStringLiteral(", "));
}

namespace {
// Inline: a page of a hundred thousand entries asks for each.
QStringView keyOf(QStringView address) {
    return !address.isEmpty() && address.back() == u'/' ? address.chopped(1) : address;
}
}  // namespace

bool PageMarks::marked(int entry) const {
    return entry >= 0 && entry < m_countOf.size() && m_countOf[entry] > 1;
}

QString PageMarks::note(int entry) const {
    return marked(entry) ? kMsgSameAddress : QString();
}

size_t PageMarks::hashOf(QStringView url) {
    return addressHash(keyOf(url));
}

template <class Key>
qsizetype PageMarks::slotOf(size_t hash, Key key) const {
    const auto mask = static_cast<size_t>(m_slots.size() - 1);
    const auto check = static_cast<quint32>(static_cast<quint64>(hash) >> 32);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const auto slot = static_cast<qsizetype>(i);
        const Slot& s = m_slots[slot];
        if (s.entry < 0 ||
            (s.check == check && s.entry < m_urls.size() && keyOf(m_urls[s.entry]) == key()))
            return slot;
    }
}

void PageMarks::count(const QList<int>& entries, const std::vector<size_t>* given) {
    const auto counted = [&](int k) { return k >= 0 && k < m_urls.size(); };
    std::vector<size_t> made;
    if (!given || given->size() < static_cast<std::size_t>(m_urls.size())) {
        made.resize(static_cast<std::size_t>(m_urls.size()));
        for (int k : entries) {
            if (counted(k))
                made[static_cast<std::size_t>(k)] = hashOf(m_urls[k]);
        }
        given = &made;
    }
    const std::vector<size_t>& hashes = *given;
    qsizetype size = 16;
    while (size < 2 * entries.size())
        size *= 2;
    m_slots.fill(Slot{}, size);
    m_countOf.fill(0, m_urls.size());
    const auto mask = static_cast<size_t>(size - 1);
    QList<int> firstOf;  // per counted entry, in order: the first entry of its address
    firstOf.reserve(entries.size());
    constexpr qsizetype kAhead = 8;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        // The slots are far apart in a large table: the one wanted a few entries on is
        // fetched while this one is looked at.
        if (i + kAhead < entries.size() && counted(entries[i + kAhead])) {
            const size_t ahead = hashes[static_cast<std::size_t>(entries[i + kAhead])];
            __builtin_prefetch(m_slots.constData() + (ahead & mask));
        }
        const int k = entries[i];
        if (!counted(k))
            continue;
        // An address is read only when another has the same hash.
        const size_t hash = hashes[static_cast<std::size_t>(k)];
        const qsizetype slot = slotOf(hash, [&] { return keyOf(m_urls[k]); });
        Slot& s = m_slots[slot];
        if (s.entry < 0) {
            s.entry = k;
            s.check = static_cast<quint32>(static_cast<quint64>(hash) >> 32);
        }
        firstOf.append(s.entry);
        ++m_countOf[s.entry];
    }
    qsizetype i = 0;
    for (int k : entries) {
        if (counted(k))
            m_countOf[k] = m_countOf[firstOf[i++]];
    }
}

bool PageMarks::holds(const QString& url) const {
    if (m_slots.isEmpty())
        return false;
    const QStringView key = keyOf(url);
    return m_slots[slotOf(addressHash(key), [key] { return key; })].entry >= 0;
}
