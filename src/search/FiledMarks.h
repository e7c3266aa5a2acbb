// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "keepsake/EntryListModel.h"

#include <QHash>
#include <QList>
#include <QString>

#include <vector>

class CollectionIndex;

// Kept entries whose address some category page already holds: dimmed, with a tooltip that
// names the categories. The index works every entry's answer out on its worker whenever the
// pages or the kept entries change, so a list only reads a bit per entry.
class KeptMarks : public EntryMarks {
public:
    KeptMarks(const QList<QString>& urls, const CollectionIndex& index)
        : m_urls(urls), m_index(index) {}

    bool marked(int entry) const override;
    QString note(int entry) const override;
    // Asks the index for every entry in turn, in entry order, and keeps the answers: a list
    // that hides filed entries asks for all of them in its own order, and three lists do.
    void prepareAll() const override;
    // The kept entries are being read again, or what is filed has changed.
    void forget() { m_answers.clear(); }

private:
    const QList<QString>& m_urls;
    const CollectionIndex& m_index;
    mutable std::vector<char> m_answers;  // by entry, once prepared: filed or not
};

// Entries of the loaded page whose address occurs more than once in it.
class PageMarks : public EntryMarks {
public:
    explicit PageMarks(const QList<QString>& urls) : m_urls(urls) {}

    bool marked(int entry) const override;
    QString note(int entry) const override;
    // Counts the addresses of these entries; with `hashes`, each entry k's address has hash
    // (*hashes)[k], as hashOf() gives it.
    void count(const QList<int>& entries, const std::vector<size_t>* hashes = nullptr);
    // The hash of an address as the marks compare addresses.
    static size_t hashOf(QStringView url);
    // True when an entry of this address is among those counted.
    bool holds(const QString& url) const;

private:
    // The slot of the entry whose address has this hash and `key()`, or of the empty slot
    // where it would go; `key` is asked for only when another address has the same hash.
    template <class Key>
    qsizetype slotOf(size_t hash, Key key) const;

    const QList<QString>& m_urls;
    // A table of the counted entries by address, one entry per address; the addresses are
    // read from the entry arrays, so the table holds no copy of them. Each slot holds the
    // high half of its address's hash beside the entry, so that a probe reads one place.
    struct Slot {
        quint32 check = 0;  // hash >> 32
        qint32 entry = -1;  // -1 where empty
    };
    QList<Slot> m_slots;
    QList<int> m_countOf;  // per entry number: the entries of its address, 0 if not counted
};

// Said when "↓" adds an entry whose address the loaded page holds already, and the tooltip
// of such entries in the page.
inline const QString kMsgSameAddress = QStringLiteral("この項目には同じアドレスがあります。");
