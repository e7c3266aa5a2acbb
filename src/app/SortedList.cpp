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

// An item that keeps its text and its item data (the user role) as plain members: lists of a
// hundred thousand entries need not carry two variants and a role table per item.
class DataItem : public QListWidgetItem {
public:
    DataItem(const QString& text, int data) : m_text(text), m_data(data) {}

    QVariant data(int role) const override {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_text;
        if (role == Qt::UserRole)
            return m_data;
        return QListWidgetItem::data(role);
    }
    void setData(int role, const QVariant& value) override {
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            m_text = value.toString();
        } else if (role == Qt::UserRole) {
            m_data = value.toInt();
        } else {
            QListWidgetItem::setData(role, value);
            return;
        }
        if (QListWidget* list = listWidget()) {
            const QModelIndex index = list->indexFromItem(this);
            emit list->model()->dataChanged(index, index);
        }
    }
    QListWidgetItem* clone() const override { return new DataItem(*this); }

    int value() const { return m_data; }

private:
    QString m_text;
    int m_data;
};

QListWidgetItem* makeItem(const QString& text, int data) {
    return new DataItem(text, data);
}

}  // namespace

int compare(const QString& a, const QString& b) {
    const int c = collator().compare(a, b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int itemData(const QListWidget* list, int row) {
    const QListWidgetItem* item = list->item(row);
    if (!item)
        return -1;
    if (const auto* fast = dynamic_cast<const DataItem*>(item))
        return fast->value();
    return item->data(Qt::UserRole).toInt();
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
    std::vector<qsizetype> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    {
        // The keys go before the items are made, so the two never take memory together.
        const QCollator& col = collator();
        std::vector<QCollatorSortKey> keys;
        keys.reserve(items.size());
        for (const Item& item : items)
            keys.push_back(col.sortKey(item.text));
        std::stable_sort(order.begin(), order.end(),
                         [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    }
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
