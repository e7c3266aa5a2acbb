// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pages/PageFormat.h"

#include "keepsake/KeepsakeFormat.h"
#include "pages/PageMarkup.h"

namespace pages {

QString pageNumberText(int pageNumber) {
    return QString::number(pageNumber).rightJustified(4, u'0');
}

QString pageFileName(const QString& pageNumberText) {
    return QStringLiteral("URL_") + pageNumberText + QStringLiteral(".html");
}

QString titleLine(const QString& name) {
    return QStringLiteral("<H3><I><B>～ ") + htmlText(name) + QStringLiteral(" ～</B></I></H3>");
}

QByteArray skeletonHead(const QByteArray& keepHead) {
    if (keepHead.isEmpty())
        return keepsake::standardHead();
    const QByteArray marker = keepsake::kStartMarker.toLatin1() + "\r\n";
    if (keepHead == marker || keepHead.endsWith("\r\n" + marker))
        return keepHead;
    return keepHead + marker;
}

QByteArray skeletonFoot(const QByteArray& keepFoot) {
    if (keepFoot.isEmpty())
        return keepsake::standardFoot();
    const QByteArray marker = keepsake::kEndMarker.toLatin1() + "\r\n";
    if (keepFoot.startsWith(marker))
        return keepFoot;
    return marker + keepFoot;
}

QString writeFailedMessage(const QString& path, const QString& reason) {
    return QStringLiteral("[") + path + QStringLiteral("]を書き込めませんでした。\n") + reason;
}

QString incompletePageMessage(const QString& path) {
    return QStringLiteral("[") + path +
           QStringLiteral("]は最後まで読み込めなかったため、書き出しませんでした。");
}

}  // namespace pages
