#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

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

    // `texts` is indexed by entry number and must outlive the model.
    EntryListModel(const QList<QString>& texts, Order order, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The entry number of a row, or -1 outside the list.
    int entryAt(int row) const { return row >= 0 && row < m_rows.size() ? m_rows[row] : -1; }
    const QList<int>& entries() const { return m_rows; }

    // Adds one entry at its place; returns its row.
    int add(int entry);
    // Adds many entries, each at the place add() would give it, computing each text's
    // collation key once.
    void addAll(const QList<int>& entries);
    void removeAt(int row);
    void clear();
    // The entry's text has changed in place; the row shows the new text where it is.
    void textChanged(int row);

private:
    QString textOf(int entry) const { return m_texts.value(entry); }

    const QList<QString>& m_texts;
    Order m_order;
    QList<int> m_rows;
};
