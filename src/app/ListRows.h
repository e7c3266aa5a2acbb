// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QItemSelectionModel>
#include <QList>
#include <QString>

#include <functional>

// One list of the window without its view: the rows (a model) and which of them are current
// and selected. The window's list control is a view over both, so what the user selects is
// what the commands see, and the commands run without a window.
class ListRows {
public:
    ListRows(QAbstractItemModel* model, QObject* parent)
        : m_selection(new QItemSelectionModel(model, parent)) {}

    QItemSelectionModel* selection() const { return m_selection; }

    int count() const { return m_selection->model()->rowCount(); }
    QString text(int row) const;
    // The item data (Qt::UserRole) of a row, or -1 outside the list.
    int data(int row) const;

    // -1 when no row is current.
    int currentRow() const { return m_selection->currentIndex().row(); }
    bool isSelected(int row) const;
    // The selected rows, top to bottom.
    QList<int> selectedRows() const;
    // The row the user selected in a list of single selection, or -1. The current row alone
    // does not count: a list takes one when it merely gets the focus.
    int selectedRow() const;
    // The current row when it is also selected, or -1: the row a command on "the selected
    // entry" acts on.
    int selectedCurrentRow() const;

    // Makes `row` current and the only selected row, as a click does; -1 clears both.
    void setCurrentRow(int row);
    // Makes `row` current and leaves the selection alone.
    void setCurrentRowOnly(int row);
    void clearSelection() { m_selection->clearSelection(); }
    // Adds `row` to the selection, as a Ctrl+click does, without moving the current row.
    void select(int row);
    void selectAll();

    // Runs `change`, which may reset the model, then selects again the rows whose item data
    // were selected and makes current the row whose item data was current.
    void keepingSelection(const std::function<void()>& change);

private:
    QItemSelectionModel* m_selection;
};

// A list together with its own kind of model.
template <class Model>
class ListOf : public ListRows {
public:
    ListOf(Model* model, QObject* parent) : ListRows(model, parent), m_model(model) {}
    Model& model() const { return *m_model; }

private:
    Model* m_model;
};
