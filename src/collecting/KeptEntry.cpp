// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "collecting/KeptEntry.h"

#include "platform/Cp932Codec.h"

#include <QUrl>

namespace collecting {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

QString trimmedBlanks(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text[start]))
        ++start;
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

// The scheme of `address` in lower case, or empty when it has none. "localhost:8080/" is a
// host and port, not a scheme.
QString schemeOf(const QString& address) {
    const qsizetype colon = address.indexOf(u':');
    if (colon <= 0)
        return {};
    for (qsizetype i = 0; i < colon; ++i) {
        const char16_t c = address[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        const bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (!(letter || (i > 0 && other)))
            return {};
    }
    qsizetype digitsEnd = colon + 1;
    while (digitsEnd < address.size() && address[digitsEnd].isDigit())
        ++digitsEnd;
    if (digitsEnd > colon + 1 && (digitsEnd == address.size() || address[digitsEnd] == u'/'))
        return {};
    return address.first(colon).toLower();
}

// An entry line ends its address at the first double quote and is one line of code page 932
// text: whatever would break either is percent-encoded as a browser does, so the address reads
// back exactly.
QString storableAddress(const QString& address) {
    QString out;
    out.reserve(address.size());
    for (const char16_t c : address.toStdU16String()) {
        if (c > 0x20 && c < 0x7F && c != u'"' && c != u'<' && c != u'>') {
            out += QChar(c);
            continue;
        }
        QString one = QString(QChar(c));
        if (QChar::isSurrogate(c))
            one = QStringLiteral("?");
        for (const char byte : one.toUtf8())
            out += QStringLiteral("%%1")
                       .arg(static_cast<unsigned char>(byte), 2, 16, QChar(u'0'))
                       .toUpper();
    }
    return out;
}

}  // namespace

KeptEntry prepareAddress(const QString& address) {
    KeptEntry entry;
    QString text = trimmedBlanks(address);
    // A surrogate pair is one character: keep it together for the encoding below.
    const QString scheme = schemeOf(text);
    if (scheme == u"http") {
        text = text.mid(5);
        if (text.startsWith(u"//"))
            text = text.mid(2);
    } else if (scheme == u"https") {
        const QUrl url(text);
        const int port = url.port();
        if (port != -1 && port != 443) {
            entry.error =
                QStringLiteral(
                    "ポート番号%1のhttpsのアドレスはキープできません。キープセイクファイルには"
                    "http://のアドレスだけが入り、このアドレスはhttp://では開けません。")
                    .arg(port);
            return entry;
        }
        text = text.mid(6);
        if (text.startsWith(u"//"))
            text = text.mid(2);
        if (port == 443) {
            // Only the default port may be dropped with the scheme.
            const qsizetype hostEnd = text.indexOf(u'/');
            QString authority = hostEnd < 0 ? text : text.first(hostEnd);
            if (authority.endsWith(u":443"))
                text.remove(authority.size() - 4, 4);
        }
    } else if (!scheme.isEmpty()) {
        entry.error = QStringLiteral(
                          "%1:のアドレスはキープできません。キープできるのはhttp://と"
                          "https://のアドレスです。")
                          .arg(scheme);
        return entry;
    }
    entry.url = storableAddress(text);
    if (entry.url.isEmpty())
        entry.error = QStringLiteral("アドレスが空です。");
    return entry;
}

QString prepareComment(const QString& comment) {
    QString text;
    text.reserve(comment.size());
    const QString raw = comment;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c.isHighSurrogate() && i + 1 < raw.size() && raw[i + 1].isLowSurrogate()) {
            // One character the code page lacks.
            text += u'?';
            ++i;
        } else if (c.isSurrogate()) {
            // A lone half, or what would encode as a raw byte: no character of the code page.
            text += u'?';
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == u'\u2028' || c == u'\u2029' ||
                   c == u'\u0085') {
            text += u' ';
        } else {
            text += c;
        }
    }
    // What the file will give back.
    text = cp932::decode(cp932::encode(text));
    static const QString kCommentEnd = QStringLiteral(" 》");
    while (text.contains(kCommentEnd))
        text.replace(kCommentEnd, QStringLiteral("》"));
    return trimmedBlanks(text);
}

KeptEntry prepareEntry(const QString& address, const QString& comment, const QString& title) {
    KeptEntry entry = prepareAddress(address);
    if (!entry.ok())
        return entry;
    entry.com = prepareComment(comment);
    if (entry.com.isEmpty())
        entry.com = prepareComment(title);
    if (entry.com.isEmpty())
        entry.com = prepareComment(entry.url);
    return entry;
}

}  // namespace collecting
