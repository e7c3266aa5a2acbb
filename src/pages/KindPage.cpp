// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pages/KindPage.h"

#include "pages/PageFormat.h"
#include "pages/PageMarkup.h"
#include "platform/Cp932Codec.h"

namespace pages {

QByteArray composeKindPage(const QByteArray& head, const QString& title,
                           const QList<keepsake::Entry>& rows, const QByteArray& foot) {
    qsizetype size = title.size() + 40;
    for (const keepsake::Entry& row : rows)
        size += 2 * row.url.size() + row.com.size() + 64;
    QString body;
    body.reserve(size);
    if (!title.isEmpty()) {
        body += titleLine(title);
        body += keepsake::kCrLf;
    }
    for (const keepsake::Entry& row : rows)
        keepsake::appendEntryLines(body, row.url, row.com, row.date);

    QByteArray bytes;
    bytes.reserve(head.size() + body.size() * 2 + foot.size());
    bytes += head;
    bytes += charsetLine(head);
    cp932::encodeAppend(body, bytes);
    bytes += foot;
    return bytes;
}

}  // namespace pages
