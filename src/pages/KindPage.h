// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "keepsake/KeepsakeFormat.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The bytes of a category page, composed without touching a file.
namespace pages {

// The page's header, the list block and its footer, in that order and nothing between them.
// The block opens with the META line when the header declares no charset (charsetLine).
// The header and footer go back as read; only the list block is encoded anew (CP932): the
// title line when `title` is not empty, then each row's entry and comment lines in the order
// given. With no title and no rows (a new page) the page is its header and footer alone.
QByteArray composeKindPage(const QByteArray& head, const QString& title,
                           const QList<keepsake::Entry>& rows, const QByteArray& foot);

}  // namespace pages
