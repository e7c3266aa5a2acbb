// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pages/KindPage.h"

#include "pages/PageFormat.h"
#include "pages/PageMarkup.h"
#include "platform/Cp932Codec.h"

namespace pages {

QByteArray composeKindPage(const QByteArray& head, const QString& title,
                           const QList<keepsake::Entry>& rows, const QByteArray& foot) {
    qsizetype size = head.size() + foot.size() + 2 * title.size() + 80;
    for (const keepsake::Entry& row : rows)
        size += 3 * row.url.size() + 2 * row.com.size() + 64;
    QByteArray bytes;
    bytes.reserve(size);
    bytes += head;
    bytes += charsetLine(head);
    // Each entry's lines are put together in one small text and encoded from there: a text
    // of the whole body would be twice the page's size, in memory touched only once.
    QString lines;
    if (!title.isEmpty()) {
        lines += titleLine(title);
        lines += keepsake::kCrLf;
        cp932::encodeAppend(lines, bytes);
    }
    for (const keepsake::Entry& row : rows) {
        lines.truncate(0);  // keeps its room
        keepsake::appendEntryLines(lines, row.url, row.com, row.date);
        cp932::encodeAppend(lines, bytes);
    }
    bytes += foot;
    return bytes;
}

}  // namespace pages
