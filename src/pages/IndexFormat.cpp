#include "pages/IndexFormat.h"

#include "keepsake/KeepsakeFormat.h"
#include "platform/LineReader.h"

#include <QStringList>

using keepsake::kCrLf;

namespace indexpage {

QString standardHead() {
    return QStringList{
        QStringLiteral("<HTML><HEAD><TITLE>URL_INDEX</TITLE></HEAD>"),
        QStringLiteral("<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#5157DD\"LINK=\"#E81B1B\" "
                       "VLINK=\"#8B0366\" ALINK=\"#FF8A1D\">"),
        QStringLiteral("<FONT SIZE=+2><I><B>- INDEX -</B></I></FONT>"),
        QStringLiteral("<hr><P>"),
        keepsake::kStartMarker,
    }
        .join(kCrLf);
}

QString standardFoot() {
    return keepsake::kEndMarker + kCrLf + QStringLiteral("<hr></BODY></HTML>");
}

QString indexLine(const QString& linkFileName, const QString& name) {
    return QStringLiteral("<FONT COLOR=\"BLUE\">● </FONT><A HREF=\"./") + linkFileName +
           QStringLiteral("\" TARGET=\"LIST\">") + name + QStringLiteral("</A><P>");
}

QString framesetPage(const QString& indexFileName) {
    const QStringList lines = {
        QStringLiteral("<HTML><HEAD><TITLE>キープセイク帖</TITLE></HEAD>"),
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

ReadResult read(const QByteArray& data) {
    ReadResult result;
    LineReader in(data);
    QStringList head;
    for (;;) {
        if (in.atEnd()) {
            result.missingMessage = keepsake::kMsgNoStartMarker;
            return result;
        }
        head << in.readLine();
        if (head.last() == keepsake::kStartMarker)
            break;
    }
    for (;;) {
        if (in.atEnd()) {
            result.missingMessage = keepsake::kMsgNoEndMarker;
            return result;
        }
        if (in.readLine() == keepsake::kEndMarker)
            break;
    }
    QStringList foot{keepsake::kEndMarker};
    while (!in.atEnd())
        foot << in.readLine();
    result.ok = true;
    result.head = head.join(kCrLf);
    result.foot = foot.join(kCrLf);
    return result;
}

QString compose(const QString& head, const QStringList& lines, const QString& foot) {
    QString page = head + kCrLf;
    for (const QString& line : lines) {
        page += line;
        page += kCrLf;
    }
    page += foot;
    page += kCrLf;
    return page;
}

}  // namespace indexpage
