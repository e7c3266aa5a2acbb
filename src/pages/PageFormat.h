// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Category pages: their file names, title line and list block.
namespace pages {

// "0000" for page number 0, "0012" for 12; more digits when needed.
QString pageNumberText(int pageNumber);
// "URL_" + page number text + ".html"
QString pageFileName(const QString& pageNumberText);
// "<H3><I><B>～ " + name + " ～</B></I></H3>", the name shown as typed (htmlText)
QString titleLine(const QString& name);

// A new page's header and footer from the keepsake file's skeleton (its header and footer of the
// last complete read), with the marker lines supplied where the skeleton lacks them, so that
// the page can always be read back. With no skeleton (the file was never read whole) they are
// the standard keepsake file's.
QByteArray skeletonHead(const QByteArray& keepHead);
QByteArray skeletonFoot(const QByteArray& keepFoot);

// Messages about writing pages.
QString writeFailedMessage(const QString& path, const QString& reason);
QString incompletePageMessage(const QString& path);

}  // namespace pages
