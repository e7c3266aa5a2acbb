// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/ListRows.h"

#include <QSet>

#include <algorithm>

QString ListRows::text(int row) const {
    const QAbstractItemModel* model = m_selection->model();
    return model->data(model->index(row, 0), Qt::DisplayRole).toString();
}

int ListRows::data(int row) const {
    const QAbstractItemModel* model = m_selection->model();
    const QVariant value = model->data(model->index(row, 0), Qt::UserRole);
    return value.isValid() ? value.toInt() : -1;
}

bool ListRows::isSelected(int row) const {
    return m_selection->isRowSelected(row, QModelIndex());
}

QList<int> ListRows::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : m_selection->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ListRows::selectedRow() const {
    const QModelIndexList rows = m_selection->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int ListRows::selectedCurrentRow() const {
    const int row = currentRow();
    return row >= 0 && isSelected(row) ? row : -1;
}

void ListRows::setCurrentRow(int row) {
    const QModelIndex index = m_selection->model()->index(row, 0);
    if (!index.isValid()) {
        m_selection->clear();
        return;
    }
    m_selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void ListRows::setCurrentRowOnly(int row) {
    m_selection->setCurrentIndex(m_selection->model()->index(row, 0),
                                 QItemSelectionModel::NoUpdate);
}

void ListRows::selectAll() {
    const QAbstractItemModel* model = m_selection->model();
    const int rows = model->rowCount();
    if (rows == 0)
        return;
    m_selection->select(QItemSelection(model->index(0, 0), model->index(rows - 1, 0)),
                        QItemSelectionModel::Select);
}

void ListRows::select(int row) {
    m_selection->select(m_selection->model()->index(row, 0), QItemSelectionModel::Select);
}

void ListRows::keepingSelection(const std::function<void()>& change) {
    QSet<int> selected;
    for (int row : selectedRows())
        selected.insert(data(row));
    const int current = currentRow() >= 0 ? data(currentRow()) : -1;
    change();
    if (selected.isEmpty() && current < 0)
        return;
    const QAbstractItemModel* model = m_selection->model();
    QItemSelection rows;
    QModelIndex currentIndex;
    for (int row = 0; row < count(); ++row) {
        const int value = data(row);
        const QModelIndex index = model->index(row, 0);
        if (selected.contains(value))
            rows.select(index, index);
        if (value == current)
            currentIndex = index;
    }
    m_selection->setCurrentIndex(currentIndex, QItemSelectionModel::NoUpdate);
    m_selection->select(rows, QItemSelectionModel::ClearAndSelect);
}
