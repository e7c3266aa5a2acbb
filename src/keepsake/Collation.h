#pragma once

#include <QList>
#include <QString>

#include <vector>

// The sorted lists keep their rows in the order of a Japanese, case-insensitive collation.
namespace collation {

// -1, 0 or 1, as the sorted lists compare two texts.
int compare(const QString& a, const QString& b);

// The indexes of `texts` in sorted order; texts that compare equal keep the order they came
// in, which is where one-by-one insertion after equal texts would put them. Each text's
// collation key is computed once.
std::vector<qsizetype> stableOrder(const QList<QString>& texts);

}  // namespace collation
