// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>

// Page numbers of the stored category list (section "Books" of the settings file).
namespace kindnumbers {

// The "Books" section of the settings file at iniPath, each value under its folded key;
// empty when the file or the section is missing or cannot be read.
QHash<QByteArray, QByteArray> readBooks(const QString& iniPath);

// The name stored under page number n, or empty when the key is missing or empty.
QByteArray storedName(const QHash<QByteArray, QByteArray>& books, int n);

struct NewPage {
    int page = -1;     // the page number a new category takes
    int blocked = -1;  // or, when >= 0, the number whose empty key would end the list before it
};

// The page number for a new category: the lowest n, not below `listed` (the categories
// shown), whose key is missing or empty and whose page file does not exist. When a key below
// that n is missing or empty, the list would end there and never reach the new category:
// `blocked` names the first such number instead.
NewPage newPageNumber(const QHash<QByteArray, QByteArray>& books, int listed,
                      const std::function<bool(int)>& pageExists);

}  // namespace kindnumbers
