// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/SearchResults.h"

#include "keepsake/KeepsakeFormat.h"

int SearchResults::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_hits.size());
}

int SearchResults::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResults::data(const QModelIndex& index, int role) const {
    const CollectionIndex::Hit* h = hit(index.row());
    if (!h || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    switch (index.column()) {
        case Comment:
            return h->com;
        case Address:
            return h->url;
        case Category:
            return h->page < 0 ? QStringLiteral("キープセイク") : m_index.categoryName(h->page);
        case Date:
            return keepsake::formatGeneralDate(h->date);
        default:
            return {};
    }
}

QVariant SearchResults::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
        case Comment:
            return QStringLiteral("コメント");
        case Address:
            return QStringLiteral("アドレス");
        case Category:
            return QStringLiteral("カテゴリ");
        case Date:
            return QStringLiteral("取得日付");
        default:
            return {};
    }
}

void SearchResults::find(const QString& query) {
    beginResetModel();
    m_query = query;
    m_hits = m_index.find(query);
    endResetModel();
}
