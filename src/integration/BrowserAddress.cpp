// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "integration/BrowserAddress.h"

namespace browseraddress {

QString absolute(const QString& caption) {
    if (caption.isEmpty())
        return {};
    for (const QLatin1StringView scheme :
         {QLatin1StringView("http://"), QLatin1StringView("https://"),
          QLatin1StringView("file://")}) {
        if (caption.startsWith(scheme, Qt::CaseInsensitive))
            return caption;
    }
    return QStringLiteral("http://") + caption;
}

bool isBrowserTitle(const QString& title) {
    static const QString kNetscape = QStringLiteral("Netscape");
    return title.left(kNetscape.size()).toUpper() == kNetscape.toUpper();
}

}  // namespace browseraddress
