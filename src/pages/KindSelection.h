#pragma once

#include <QItemSelectionModel>
#include <QListWidget>

// The row of the category the user selected in the category list, or -1. The list's current
// row alone does not count: the list takes one when it merely gets the focus.
inline int selectedKindRow(const QListWidget* list) {
    const QModelIndexList rows = list->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}
