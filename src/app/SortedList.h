#pragma once

#include <QList>
#include <QString>

class QListWidget;

// The sorted lists of the window keep their items in the order of a Japanese,
// case-insensitive collation; an item joins after the items that compare equal to it.
namespace sortedlist {

// Adds one item at its sorted place with `data` in the user role; returns its row.
int add(QListWidget* list, const QString& text, int data);

struct Item {
    QString text;
    int data;
};
// Adds many items at once, each at the place add() would give it, without a quadratic
// insertion pattern.
void addAll(QListWidget* list, const QList<Item>& items);
// Appends items in the given order (for the unsorted list).
void appendAll(QListWidget* list, const QList<Item>& items);

int itemData(const QListWidget* list, int row);

// -1, 0 or 1, as the sorted lists compare two texts.
int compare(const QString& a, const QString& b);

}  // namespace sortedlist
