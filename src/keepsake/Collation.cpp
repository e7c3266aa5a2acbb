#include "keepsake/Collation.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace collation {
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

}  // namespace

int compare(const QString& a, const QString& b) {
    const int c = collator().compare(a, b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::vector<qsizetype> stableOrder(const QList<QString>& texts) {
    std::vector<qsizetype> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    const QCollator& col = collator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const QString& text : texts)
        keys.push_back(col.sortKey(text));
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

}  // namespace collation
