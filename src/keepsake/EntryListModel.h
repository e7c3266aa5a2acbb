// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

// What a list tells about an entry besides its text: whether it is marked (shown dimmed),
// and the note its tooltip gives.
class EntryMarks {
public:
    virtual ~EntryMarks() = default;
    virtual bool marked(int entry) const = 0;
    virtual QString note(int entry) const = 0;
    // Every entry is about to be asked for: marks that are dear to work out one at a time may
    // work them all out now.
    virtual void prepareAll() const {}
};

// A list of entry numbers shown with their texts: the kept entries' addresses or comments, or
// the loaded page's comments. The texts stay in the editor's entry arrays; a row holds only
// its entry number, which is also the row's item data (Qt::UserRole).
//
// A sorted list keeps the collation order and puts a new entry after the entries whose texts
// compare equal to it. A text changed in place keeps its row: the list is not sorted again.
class EntryListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum class Order { Sorted, AsAdded };
    // True for a marked row.
    static constexpr int MarkedRole = Qt::UserRole + 1;

    // `texts` is indexed by entry number and must outlive the model.
    EntryListModel(const QList<QString>& texts, Order order, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The entry number of a row, or -1 outside the list.
    int entryAt(int row) const {
        ensureSorted();
        return row >= 0 && row < m_rows.size() ? m_rows[row] : -1;
    }
    const QList<int>& entries() const {
        ensureSorted();
        return m_rows;
    }

    // Every entry, hidden ones too, in the list's order; nothing while the rows wait to be
    // sorted.
    std::optional<QList<int>> order() const;
    // Fills the empty list with `entries`, which are in the list's order already.
    void setOrdered(const QList<int>& entries);

    // A sorted list filled anew while nobody looks at it (a list behind another) sorts its
    // rows only when they are first asked for: until then a view has nothing to show of it.
    void setSortWhenAsked(bool later) { m_sortWhenAsked = later; }

    // Adds one entry at its place; returns its row.
    int add(int entry);
    // Adds many entries, each at the place add() would give it, computing each text's
    // collation key once.
    void addAll(const QList<int>& entries);
    void removeAt(int row);
    void clear();
    // The entry's text has changed in place; the row shows the new text where it is.
    void textChanged(int row);

    // Marked rows show `dimmed` as their foreground and the marks' note as their tooltip.
    // `marks` must outlive the model.
    void setMarks(const EntryMarks* marks, const QVariant& dimmed = {});
    void setDimmedForeground(const QVariant& dimmed);
    // Leaves marked entries out of the rows, or brings them back at their places.
    void setHideMarked(bool hide);
    bool hidesMarked() const { return m_all.has_value(); }
    // The marks have changed: the rows are told, or, while marked rows are hidden, chosen
    // again.
    void marksChanged();

private:
    void ensureSorted() const;
    QList<int> sortedEntries(const QList<int>& entries) const;
    QList<int> shownOf(const QList<int>& all) const;
    QList<int> mergedInto(const QList<int>& rows, const QList<int>& sorted) const;

    QString textOf(int entry) const { return m_texts.value(entry); }

    const QList<QString>& m_texts;
    Order m_order;
    // Sorting the rows when first asked for changes no row anybody has seen.
    mutable QList<int> m_rows;
    // While marked entries are hidden: every entry, in order; m_rows holds those shown.
    mutable std::optional<QList<int>> m_all;
    bool m_sortWhenAsked = false;
    mutable bool m_unsorted = false;  // the rows wait to be sorted
    const EntryMarks* m_marks = nullptr;
    QVariant m_dimmed;
};
