#include "keepsake/EntryListModel.h"

#include "keepsake/Collation.h"

EntryListModel::EntryListModel(const QList<QString>& texts, Order order, QObject* parent)
    : QAbstractListModel(parent), m_texts(texts), m_order(order) {}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    const int entry = entryAt(index.row());
    if (entry < 0)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return textOf(entry);
    if (role == Qt::UserRole)
        return entry;
    return {};
}

int EntryListModel::add(int entry) {
    int row = static_cast<int>(m_rows.size());
    if (m_order == Order::Sorted)
        row =
            collation::upperBound(row, textOf(entry), [this](int r) { return textOf(m_rows[r]); });
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(row, entry);
    endInsertRows();
    return row;
}

void EntryListModel::addAll(const QList<int>& entries) {
    if (entries.isEmpty())
        return;
    if (m_order == Order::AsAdded) {
        beginInsertRows(QModelIndex(), static_cast<int>(m_rows.size()),
                        static_cast<int>(m_rows.size() + entries.size() - 1));
        m_rows.append(entries);
        endInsertRows();
        return;
    }
    QList<int> sorted;
    sorted.reserve(entries.size());
    {
        QList<QString> texts;
        texts.reserve(entries.size());
        for (int entry : entries)
            texts.append(textOf(entry));
        for (qsizetype i : collation::stableOrder(texts))
            sorted.append(entries[i]);
    }
    if (m_rows.isEmpty()) {
        beginResetModel();
        m_rows = std::move(sorted);
        endResetModel();
        return;
    }
    // Rows already listed come before new ones that compare equal to them.
    QList<int> merged;
    merged.reserve(m_rows.size() + sorted.size());
    qsizetype a = 0;
    qsizetype b = 0;
    while (a < m_rows.size() && b < sorted.size()) {
        if (collation::compare(textOf(m_rows[a]), textOf(sorted[b])) <= 0) {
            merged.append(m_rows[a++]);
        } else {
            merged.append(sorted[b++]);
        }
    }
    merged.append(m_rows.mid(a));
    merged.append(sorted.mid(b));
    beginResetModel();
    m_rows = std::move(merged);
    endResetModel();
}

void EntryListModel::removeAt(int row) {
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void EntryListModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_rows.squeeze();
    endResetModel();
}

void EntryListModel::textChanged(int row) {
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}
