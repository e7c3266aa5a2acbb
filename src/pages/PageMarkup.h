// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// What the pages tell a browser beyond the list itself: their encoding, and text that must
// show as typed rather than be taken for markup.
namespace pages {

// <META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=Shift_JIS">
QByteArray charsetMeta();

// True when `bytes` say "charset=" anywhere, in any ASCII case.
bool declaresCharset(QByteArrayView bytes);

// The line to open a regenerated list block with, so that a browser reads the page as
// Shift_JIS: the META and CR LF, when `before` (every byte of the file ahead of the block)
// declares no charset and the META would end within the bytes browsers scan for one (1,024).
// Otherwise nothing.
QByteArray charsetLine(QByteArrayView before);

// A new page's head: the META directly after its first <HEAD> tag (any ASCII case, with or
// without attributes), unless it declares a charset already. A head without such a tag comes
// back as it is; its page gets the META from charsetLine.
QByteArray withCharsetMeta(const QByteArray& head);

// `text` with & < > " written as character references.
QString htmlText(const QString& text);

}  // namespace pages
