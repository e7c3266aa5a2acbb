// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

// The category list: each row a category's name and the number of its page, which is also
// the row's item data (Qt::UserRole). Rows are kept in the collation order of their names; a
// new name goes after the names that compare equal to it, and a renamed row keeps its place.
class CategoryListModel : public QAbstractListModel {
    Q_OBJECT

public:
    struct Kind {
        QString name;
        int page = 0;
        // The name came back cut from the settings file, which holds it whole: it is never
        // written back.
        bool cut = false;
    };

    explicit CategoryListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int count() const { return static_cast<int>(m_kinds.size()); }
    QString name(int row) const {
        return row >= 0 && row < count() ? m_kinds[row].name : QString();
    }
    // The page number of a row, or -1 outside the list.
    int page(int row) const { return row >= 0 && row < count() ? m_kinds[row].page : -1; }
    bool cut(int row) const { return row >= 0 && row < count() && m_kinds[row].cut; }

    // Replaces the list with these categories, sorted.
    void load(const QList<Kind>& kinds);
    // Adds a category at its place; returns its row.
    int add(const QString& name, int page);
    // A new name, as stored: it is no longer cut.
    void rename(int row, const QString& name);

private:
    QList<Kind> m_kinds;
};
