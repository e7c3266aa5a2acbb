// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pages/CategoryListModel.h"

#include "keepsake/Collation.h"

int CategoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant CategoryListModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (row < 0 || row >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_kinds[row].name;
    if (role == Qt::UserRole)
        return m_kinds[row].page;
    return {};
}

void CategoryListModel::load(const QList<Kind>& kinds) {
    QList<QString> names;
    names.reserve(kinds.size());
    for (const Kind& kind : kinds)
        names.append(kind.name);
    QList<Kind> sorted;
    sorted.reserve(kinds.size());
    for (qsizetype i : collation::stableOrder(names))
        sorted.append(kinds[i]);
    beginResetModel();
    m_kinds = std::move(sorted);
    endResetModel();
}

int CategoryListModel::add(const QString& name, int page) {
    const int row = collation::upperBound(count(), name, [this](int r) { return m_kinds[r].name; });
    beginInsertRows(QModelIndex(), row, row);
    m_kinds.insert(row, {name, page});
    endInsertRows();
    return row;
}

void CategoryListModel::rename(int row, const QString& name) {
    if (row < 0 || row >= count())
        return;
    m_kinds[row].name = name;
    m_kinds[row].cut = false;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}
