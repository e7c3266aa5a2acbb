// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pages/IndexFormat.h"

#include "keepsake/KeepsakeFormat.h"
#include "pages/PageMarkup.h"
#include "platform/Cp932Codec.h"
#include "platform/LineReader.h"

#include <QStringList>

using keepsake::kCrLf;

namespace indexpage {

QByteArray standardHead() {
    return QStringList{
        QStringLiteral("<HTML><HEAD>") + QString::fromLatin1(pages::charsetMeta()) +
            QStringLiteral("<TITLE>URL_INDEX</TITLE></HEAD>"),
        QStringLiteral("<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#5157DD\"LINK=\"#E81B1B\" "
                       "VLINK=\"#8B0366\" ALINK=\"#FF8A1D\">"),
        QStringLiteral("<FONT SIZE=+2><I><B>- INDEX -</B></I></FONT>"),
        QStringLiteral("<hr><P>"),
        keepsake::kStartMarker,
    }
        .join(kCrLf)
        .toLatin1();
}

QByteArray standardFoot() {
    return (keepsake::kEndMarker + kCrLf + QStringLiteral("<hr></BODY></HTML>")).toLatin1();
}

QString indexLine(const QString& linkFileName, const QString& name) {
    return QStringLiteral("<FONT COLOR=\"BLUE\">● </FONT><A HREF=\"./") + linkFileName +
           QStringLiteral("\" TARGET=\"LIST\">") + pages::htmlText(name) +
           QStringLiteral("</A><P>");
}

QString framesetPage(const QString& indexFileName) {
    const QStringList lines = {
        QStringLiteral("<HTML><HEAD>") + QString::fromLatin1(pages::charsetMeta()) +
            QStringLiteral("<TITLE>キープセイク帖</TITLE></HEAD>"),
        QStringLiteral("<FRAMESET COLS=\"30%,*\">"),
        QStringLiteral("     <FRAME SRC=\"./") + indexFileName +
            QStringLiteral("\" NAME=\"INDEX\">"),
        QStringLiteral("     <FRAME NAME=\"LIST\">"),
        QStringLiteral("<NOFRAMES><BODY>フレーム対応でありませんね。<P>"),
        QStringLiteral("<A HREF=\"./") + indexFileName + QStringLiteral("\">こちら</A>へどうぞ。"),
        QStringLiteral("</BODY></NOFRAMES>"),
        QStringLiteral("</FRAMESET></HTML>"),
    };
    return lines.join(kCrLf) + kCrLf;
}

QByteArray linkIndexAs(const QByteArray& frame, const QString& indexFileName) {
    const QByteArray wanted = "\"./" + indexFileName.toLatin1() + '"';
    const QByteArray folded = frame.toLower();
    const QByteArray link = QByteArrayLiteral("\"./urlindex.html\"");
    QByteArray out;
    qsizetype done = 0;
    for (qsizetype at = folded.indexOf(link); at >= 0; at = folded.indexOf(link, done)) {
        out += QByteArrayView(frame).sliced(done, at - done);
        out += wanted;
        done = at + link.size();
    }
    out += QByteArrayView(frame).sliced(done);
    return out;
}

ReadResult read(const QByteArray& data) {
    constexpr QByteArrayView kStart("<!--StartList-->");
    constexpr QByteArrayView kEnd("<!--EndList-->");
    ReadResult result;
    LineReader in(data);
    QByteArray head;
    for (bool first = true;; first = false) {
        if (in.atEnd()) {
            result.missingMessage = keepsake::kMsgNoStartMarker;
            return result;
        }
        if (!first)
            head += "\r\n";
        const QByteArrayView line = in.readLineView();
        head += line;
        if (line == kStart)
            break;
    }
    for (;;) {
        if (in.atEnd()) {
            result.missingMessage = keepsake::kMsgNoEndMarker;
            return result;
        }
        if (in.readLineView() == kEnd)
            break;
    }
    QByteArray foot = kEnd.toByteArray();
    while (!in.atEnd()) {
        foot += "\r\n";
        foot += in.readLineView();
    }
    result.ok = true;
    result.head = std::move(head);
    result.foot = std::move(foot);
    return result;
}

QByteArray compose(const QByteArray& head, const QStringList& lines, const QByteArray& foot) {
    QByteArray page = head + "\r\n";
    page += pages::charsetLine(page);
    for (const QString& line : lines) {
        cp932::encodeAppend(line, page);
        page += "\r\n";
    }
    page += foot;
    page += "\r\n";
    return page;
}

}  // namespace indexpage
