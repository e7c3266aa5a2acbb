// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// The index page "URLINDEX.HTML" and the frameset page "URLFRAME.HTML".
namespace indexpage {

inline const QString kIndexFile = QStringLiteral("URLINDEX.HTML");
inline const QString kFrameFile = QStringLiteral("URLFRAME.HTML");
inline const QString kPageZeroFile = QStringLiteral("URL_0000.HTML");

// The five lines of a new index page's head and its two foot lines, joined by CR LF, with no
// line break at the end. Head and foot are held as bytes: an existing page's are written back
// exactly as read.
QByteArray standardHead();
QByteArray standardFoot();

// The index line of one category, linking `linkFileName` (e.g. "URL_0003.HTML"); the name
// is shown as typed (pages::htmlText).
QString indexLine(const QString& linkFileName, const QString& name);

// The frameset page, eight lines, each ending in CR LF; its frames link the index page
// under `indexFileName`.
QString framesetPage(const QString& indexFileName = kIndexFile);

// `frame` (a frameset page's bytes) with each "./URLINDEX.HTML" link, quotes included and
// matched in any ASCII case, naming the index as `indexFileName` (a spelling of the same
// name, as it is on disk); every other byte as it was. A page copied from Windows may link
// the index in a case that a case-sensitive file system does not find.
QByteArray linkIndexAs(const QByteArray& frame, const QString& indexFileName);

// What reading an index page gave: its head and foot (joined by CR LF, no break at the end),
// or, when a marker was missing, the message to show.
struct ReadResult {
    bool ok = false;
    QByteArray head;
    QByteArray foot;
    QString missingMessage;
};
ReadResult read(const QByteArray& data);

// The whole index page in CP932: head, one line per category, foot. A head that declares
// no charset is followed by the META line (pages::charsetLine) where it still counts.
QByteArray compose(const QByteArray& head, const QStringList& lines, const QByteArray& foot);

}  // namespace indexpage
