// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pages/PageMarkup.h"

namespace pages {

namespace {

// How far into a file browsers look for a META charset.
constexpr qsizetype kCharsetScanBytes = 1024;

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

}  // namespace

QByteArray charsetMeta() {
    return QByteArrayLiteral(
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">");
}

bool declaresCharset(QByteArrayView bytes) {
    return QByteArray(bytes.data(), bytes.size()).toLower().contains("charset=");
}

QByteArray charsetLine(QByteArrayView before) {
    const QByteArray meta = charsetMeta();
    if (declaresCharset(before) || before.size() + meta.size() > kCharsetScanBytes)
        return {};
    return meta + "\r\n";
}

QByteArray withCharsetMeta(const QByteArray& head) {
    if (declaresCharset(head))
        return head;
    const QByteArray folded = head.toLower();
    for (qsizetype at = folded.indexOf("<head"); at >= 0; at = folded.indexOf("<head", at + 1)) {
        const qsizetype after = at + 5;
        // <HEADER> or <HEADING> is another tag.
        if (after < folded.size() && folded[after] != '>' && !isAsciiSpace(folded[after]))
            continue;
        const qsizetype close = folded.indexOf('>', after);
        if (close < 0)
            return head;
        return head.left(close + 1) + charsetMeta() + head.mid(close + 1);
    }
    return head;
}

QString htmlText(const QString& text) {
    if (!text.contains(u'&') && !text.contains(u'<') && !text.contains(u'>') &&
        !text.contains(u'"'))
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'&':
                out += QStringLiteral("&amp;");
                break;
            case u'<':
                out += QStringLiteral("&lt;");
                break;
            case u'>':
                out += QStringLiteral("&gt;");
                break;
            case u'"':
                out += QStringLiteral("&quot;");
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace pages
