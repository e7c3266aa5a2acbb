#include "app/SortedList.h"

#include <QCollator>
#include <QListWidget>

#include <algorithm>
#include <numeric>

namespace sortedlist {
namespace {

const QCollator& collator() {
    static const QCollator c = [] {
        QCollator col(QLocale(QLocale::Japanese, QLocale::Japan));
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setNumericMode(false);
        return col;
    }();
    return c;
}

QListWidgetItem* makeItem(const QString& text, int data) {
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, data);
    return item;
}

}  // namespace

int compare(const QString& a, const QString& b) {
    const int c = collator().compare(a, b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int itemData(const QListWidget* list, int row) {
    const QListWidgetItem* item = list->item(row);
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

int add(QListWidget* list, const QString& text, int data) {
    // Upper bound: the first row whose text sorts after `text`.
    int lo = 0;
    int hi = list->count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (compare(list->item(mid)->text(), text) <= 0) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    list->insertItem(lo, makeItem(text, data));
    return lo;
}

void addAll(QListWidget* list, const QList<Item>& items) {
    if (list->count() > 0) {
        for (const Item& item : items)
            add(list, item.text, item.data);
        return;
    }
    // A stable sort keeps items that compare equal in the order they came, which is where
    // one-by-one insertion after equal items would put them.
    const QCollator& col = collator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(items.size());
    for (const Item& item : items)
        keys.push_back(col.sortKey(item.text));
    std::vector<qsizetype> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    list->setUpdatesEnabled(false);
    for (qsizetype i : order)
        list->addItem(makeItem(items[i].text, items[i].data));
    list->setUpdatesEnabled(true);
}

void appendAll(QListWidget* list, const QList<Item>& items) {
    list->setUpdatesEnabled(false);
    for (const Item& item : items)
        list->addItem(makeItem(item.text, item.data));
    list->setUpdatesEnabled(true);
}

}  // namespace sortedlist
