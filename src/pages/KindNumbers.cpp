// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pages/KindNumbers.h"

#include "pages/PageFormat.h"
#include "platform/Cp932Codec.h"
#include "platform/TextFile.h"
#include "settings/ProfileFormat.h"

namespace kindnumbers {

QHash<QByteArray, QByteArray> readBooks(const QString& iniPath) {
    QByteArray file;
    if (!textfile::readAll(iniPath, &file))
        return {};
    return profileReadSection(file, cp932::encode(QStringLiteral("Books")));
}

QByteArray storedName(const QHash<QByteArray, QByteArray>& books, int n) {
    return books.value(profileFoldName(pages::pageNumberText(n).toLatin1()));
}

NewPage newPageNumber(const QHash<QByteArray, QByteArray>& books, int listed,
                      const std::function<bool(int)>& pageExists) {
    int n = listed;
    while (!storedName(books, n).isEmpty() || pageExists(n))
        ++n;
    for (int k = 0; k < n; ++k) {
        if (storedName(books, k).isEmpty())
            return {-1, k};
    }
    return {n, -1};
}

}  // namespace kindnumbers
