// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/EntryListModel.h"

#include "keepsake/Collation.h"

EntryListModel::EntryListModel(const QList<QString>& texts, Order order, QObject* parent)
    : QAbstractListModel(parent), m_texts(texts), m_order(order) {}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    ensureSorted();
    const int entry = entryAt(index.row());
    if (entry < 0)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return textOf(entry);
    if (role == Qt::UserRole)
        return entry;
    if (m_marks && (role == MarkedRole || role == Qt::ForegroundRole || role == Qt::ToolTipRole)) {
        const bool marked = m_marks->marked(entry);
        if (role == MarkedRole)
            return marked;
        if (!marked)
            return {};
        return role == Qt::ForegroundRole ? m_dimmed : QVariant(m_marks->note(entry));
    }
    return {};
}

int EntryListModel::add(int entry) {
    ensureSorted();
    if (m_all) {
        const int at = static_cast<int>(m_all->size());
        m_all->insert(m_order == Order::Sorted
                          ? collation::upperBound(at, textOf(entry),
                                                  [this](int r) { return textOf((*m_all)[r]); })
                          : at,
                      entry);
        if (m_marks && m_marks->marked(entry))
            return -1;
    }
    int row = static_cast<int>(m_rows.size());
    if (m_order == Order::Sorted)
        row =
            collation::upperBound(row, textOf(entry), [this](int r) { return textOf(m_rows[r]); });
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(row, entry);
    endInsertRows();
    return row;
}

void EntryListModel::ensureSorted() const {
    if (!m_unsorted)
        return;
    m_unsorted = false;
    if (m_all) {
        *m_all = sortedEntries(*m_all);
        m_rows = shownOf(*m_all);
    } else {
        m_rows = sortedEntries(m_rows);
    }
}

QList<int> EntryListModel::sortedEntries(const QList<int>& entries) const {
    static const QString kNone;
    QList<int> sorted;
    sorted.reserve(entries.size());
    const auto textAt = [&](qsizetype i) {
        const int entry = entries[i];
        return QStringView(entry >= 0 && entry < m_texts.size() ? m_texts[entry] : kNone);
    };
    for (qsizetype i : collation::stableOrder(entries.size(), textAt))
        sorted.append(entries[i]);
    return sorted;
}

std::optional<QList<int>> EntryListModel::order() const {
    if (m_unsorted)
        return std::nullopt;
    return m_all ? *m_all : m_rows;
}

void EntryListModel::setOrdered(const QList<int>& entries) {
    beginResetModel();
    m_unsorted = false;
    if (m_all) {
        *m_all = entries;
        m_rows = shownOf(*m_all);
    } else {
        m_rows = entries;
    }
    endResetModel();
}

void EntryListModel::addAll(const QList<int>& entries) {
    if (entries.isEmpty())
        return;
    ensureSorted();
    if (m_sortWhenAsked && m_order == Order::Sorted && m_rows.isEmpty() &&
        (!m_all || m_all->isEmpty())) {
        beginResetModel();
        if (m_all) {
            *m_all = entries;
            m_rows = shownOf(*m_all);
        } else {
            m_rows = entries;
        }
        m_unsorted = true;
        endResetModel();
        return;
    }
    if (m_all) {
        QList<int> sorted = entries;
        if (m_order == Order::Sorted) {
            sorted = sortedEntries(entries);
            *m_all = m_all->isEmpty() ? std::move(sorted) : mergedInto(*m_all, sorted);
        } else {
            m_all->append(sorted);
        }
        beginResetModel();
        m_rows = shownOf(*m_all);
        endResetModel();
        return;
    }
    if (m_order == Order::AsAdded) {
        beginInsertRows(QModelIndex(), static_cast<int>(m_rows.size()),
                        static_cast<int>(m_rows.size() + entries.size() - 1));
        m_rows.append(entries);
        endInsertRows();
        return;
    }
    QList<int> sorted = sortedEntries(entries);
    if (m_rows.isEmpty()) {
        beginResetModel();
        m_rows = std::move(sorted);
        endResetModel();
        return;
    }
    QList<int> merged = mergedInto(m_rows, sorted);
    beginResetModel();
    m_rows = std::move(merged);
    endResetModel();
}

QList<int> EntryListModel::mergedInto(const QList<int>& rows, const QList<int>& sorted) const {
    // Rows already listed come before new ones that compare equal to them. A few new rows
    // (what a reload finds added) are placed by searching for each; many are merged in
    // one pass.
    QList<int> merged;
    merged.reserve(rows.size() + sorted.size());
    qsizetype a = 0;
    const bool few = sorted.size() * 32 < rows.size();
    for (qsizetype b = 0; b < sorted.size(); ++b) {
        const QString text = textOf(sorted[b]);
        qsizetype to = a;
        if (few) {
            to = a + collation::upperBound(static_cast<int>(rows.size() - a), text,
                                           [&](int r) { return textOf(rows[a + r]); });
        } else {
            while (to < rows.size() && collation::compare(textOf(rows[to]), text) <= 0)
                ++to;
        }
        merged.append(rows.mid(a, to - a));
        merged.append(sorted[b]);
        a = to;
    }
    merged.append(rows.mid(a));
    return merged;
}

void EntryListModel::removeAt(int row) {
    ensureSorted();
    if (row < 0 || row >= m_rows.size())
        return;
    if (m_all)
        m_all->removeOne(m_rows[row]);
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void EntryListModel::clear() {
    beginResetModel();
    m_unsorted = false;
    m_rows.clear();
    m_rows.squeeze();
    if (m_all)
        m_all = QList<int>();
    endResetModel();
}

void EntryListModel::textChanged(int row) {
    ensureSorted();
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void EntryListModel::setMarks(const EntryMarks* marks, const QVariant& dimmed) {
    m_marks = marks;
    m_dimmed = dimmed;
    marksChanged();
}

void EntryListModel::setDimmedForeground(const QVariant& dimmed) {
    m_dimmed = dimmed;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(static_cast<int>(m_rows.size() - 1)),
                         {Qt::ForegroundRole});
}

QList<int> EntryListModel::shownOf(const QList<int>& all) const {
    if (!m_marks)
        return all;
    m_marks->prepareAll();
    QList<int> shown;
    shown.reserve(all.size());
    for (int entry : all) {
        if (!m_marks->marked(entry))
            shown.append(entry);
    }
    return shown;
}

void EntryListModel::setHideMarked(bool hide) {
    if (hide == hidesMarked())
        return;
    beginResetModel();
    if (hide) {
        m_all = m_rows;
        m_rows = shownOf(*m_all);
    } else {
        m_rows = std::move(*m_all);
        m_all.reset();
    }
    endResetModel();
}

void EntryListModel::marksChanged() {
    if (m_all) {
        QList<int> shown = shownOf(*m_all);
        if (shown == m_rows)
            return;
        beginResetModel();
        m_rows = std::move(shown);
        endResetModel();
        return;
    }
    if (!m_rows.isEmpty()) {
        emit dataChanged(index(0), index(static_cast<int>(m_rows.size() - 1)),
                         {MarkedRole, Qt::ForegroundRole, Qt::ToolTipRole});
    }
}
