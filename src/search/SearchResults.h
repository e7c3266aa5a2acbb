// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "search/CollectionIndex.h"

#include <QAbstractTableModel>
#include <QList>

// The found entries as the search window shows them: comment, address, category (or
// "キープセイク" for a kept entry) and date, in the order the index finds them.
class SearchResults : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Comment, Address, Category, Date, ColumnCount };

    explicit SearchResults(const CollectionIndex& index, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_index(index) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Shows what the index finds for `query` now.
    void find(const QString& query);
    QString query() const { return m_query; }
    const CollectionIndex::Hit* hit(int row) const {
        return row >= 0 && row < m_hits.size() ? &m_hits[row] : nullptr;
    }

private:
    const CollectionIndex& m_index;
    QString m_query;
    QList<CollectionIndex::Hit> m_hits;
};
