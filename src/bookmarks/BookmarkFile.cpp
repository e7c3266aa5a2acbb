// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bookmarks/BookmarkFile.h"

#include "pages/PageMarkup.h"

#include "platform/Cp932Codec.h"

#include <QStringDecoder>

namespace bookmarks {
namespace {

// The charset a META line (or an XML declaration) names in the first 1,024 bytes, in lower
// case, or empty.
QByteArray declaredCharset(QByteArrayView bytes) {
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 1024)).toByteArray();
    const QByteArray lower = head.toLower();
    const qsizetype at = lower.indexOf("charset=");
    if (at < 0)
        return {};
    qsizetype pos = at + 8;
    while (pos < lower.size() && (lower[pos] == '"' || lower[pos] == '\'' || lower[pos] == ' '))
        ++pos;
    qsizetype end = pos;
    while (end < lower.size() &&
           (std::isalnum(static_cast<unsigned char>(lower[end])) || lower[end] == '-' ||
            lower[end] == '_' || lower[end] == '.' || lower[end] == ':'))
        ++end;
    return lower.sliced(pos, end - pos);
}

bool isCodePage932(const QByteArray& name) {
    return name == "shift_jis" || name == "shift-jis" || name == "sjis" || name == "x-sjis" ||
           name == "windows-31j" || name == "cp932" || name == "ms932" || name == "ms_kanji" ||
           name == "csshiftjis" || name == "windows-932";
}

QString withoutBom(QString text) {
    if (text.startsWith(u'\uFEFF'))
        text.remove(0, 1);
    return text;
}

bool startsWithWord(const QString& text, qsizetype pos, QStringView word) {
    return QStringView(text).sliced(pos).startsWith(word, Qt::CaseInsensitive);
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u':';
}

QString decodeEntities(QStringView text) {
    if (!text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        const qsizetype semi = text.indexOf(u';', i + 1);
        if (semi < 0 || semi - i > 10) {
            out += text[i];
            continue;
        }
        const QStringView name = text.sliced(i + 1, semi - i - 1);
        char32_t code = 0;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            const uint value = name.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && value > 0 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF))
                code = value;
        } else if (name == u"amp") {
            code = u'&';
        } else if (name == u"lt") {
            code = u'<';
        } else if (name == u"gt") {
            code = u'>';
        } else if (name == u"quot") {
            code = u'"';
        } else if (name == u"apos") {
            code = u'\'';
        } else if (name == u"nbsp") {
            code = u' ';
        }
        if (code == 0) {
            out += text[i];
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semi;
    }
    return out;
}

// The value of attribute `name` in the attributes of one tag, entities decoded; *found says
// whether the tag has it.
QString attribute(QStringView tag, QStringView name, bool* found) {
    *found = false;
    qsizetype pos = 0;
    while (pos < tag.size()) {
        while (pos < tag.size() && !isNameChar(tag[pos]))
            ++pos;
        const qsizetype start = pos;
        while (pos < tag.size() && isNameChar(tag[pos]))
            ++pos;
        const QStringView attr = tag.sliced(start, pos - start);
        while (pos < tag.size() && tag[pos].isSpace())
            ++pos;
        QStringView value;
        if (pos < tag.size() && tag[pos] == u'=') {
            ++pos;
            while (pos < tag.size() && tag[pos].isSpace())
                ++pos;
            if (pos < tag.size() && (tag[pos] == u'"' || tag[pos] == u'\'')) {
                const QChar quote = tag[pos];
                const qsizetype end = tag.indexOf(quote, pos + 1);
                const qsizetype stop = end < 0 ? tag.size() : end;
                value = tag.sliced(pos + 1, stop - pos - 1);
                pos = stop + 1;
            } else {
                const qsizetype vstart = pos;
                while (pos < tag.size() && !tag[pos].isSpace())
                    ++pos;
                value = tag.sliced(vstart, pos - vstart);
            }
        }
        if (!attr.isEmpty() && attr.compare(name, Qt::CaseInsensitive) == 0) {
            *found = true;
            return decodeEntities(value);
        }
    }
    return {};
}

// The text of an element's content without the tags inside it.
QString plainText(QStringView html) {
    QString out;
    qsizetype pos = 0;
    while (pos < html.size()) {
        const qsizetype lt = html.indexOf(u'<', pos);
        if (lt < 0) {
            out += html.sliced(pos);
            break;
        }
        out += html.sliced(pos, lt - pos);
        const qsizetype gt = html.indexOf(u'>', lt);
        if (gt < 0)
            break;
        pos = gt + 1;
    }
    return decodeEntities(out);
}

// Counts line breaks as the parser walks forward.
class LineCounter {
public:
    explicit LineCounter(const QString& text) : m_text(text) {}
    int lineAt(qsizetype pos) {
        for (; m_pos < pos && m_pos < m_text.size(); ++m_pos) {
            if (m_text[m_pos] == u'\n')
                ++m_line;
        }
        return m_line;
    }

private:
    const QString& m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};

}  // namespace

QString decodeBookmarkFile(QByteArrayView bytes) {
    const QByteArray charset = declaredCharset(bytes);
    if (isCodePage932(charset))
        return cp932::decode(bytes);
    if (charset == "utf-8" || charset == "utf8")
        return withoutBom(QString::fromUtf8(bytes));
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return withoutBom(decoder.decode(bytes));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return withoutBom(std::move(text));
    return cp932::decode(bytes);
}

qint64 addDateSeconds(QStringView value) {
    bool ok = false;
    qint64 n = value.trimmed().toLongLong(&ok);
    if (!ok || n < 0)
        return -1;
    if (n > 100'000'000'000LL)
        n /= 1'000'000;
    const QDateTime date = QDateTime::fromSecsSinceEpoch(n);
    if (!date.isValid() || date.date().year() < 1900 || date.date().year() > 9999)
        return -1;
    return n;
}

ParsedFile parseBookmarkFile(QByteArrayView bytes) {
    const QString text = decodeBookmarkFile(bytes);
    ParsedFile result;
    LineCounter lines(text);
    // The bookmark that a <DD> right after it describes.
    Bookmark* last = nullptr;
    qsizetype pos = 0;
    while (true) {
        const qsizetype lt = text.indexOf(u'<', pos);
        if (lt < 0)
            break;
        if (startsWithWord(text, lt, u"<!--")) {
            const qsizetype end = text.indexOf(QStringLiteral("-->"), lt + 4);
            pos = end < 0 ? text.size() : end + 3;
            continue;
        }
        const qsizetype gt = text.indexOf(u'>', lt);
        const bool anchor = startsWithWord(text, lt, u"<A") && lt + 2 < text.size() &&
                            (text[lt + 2].isSpace() || text[lt + 2] == u'>');
        if (anchor) {
            last = nullptr;
            const int line = lines.lineAt(lt);
            // The next tag that opens another item ends a link left open.
            qsizetype next = text.indexOf(u'<', lt + 1);
            while (next >= 0 &&
                   !(startsWithWord(text, next, u"<DT") || startsWithWord(text, next, u"<DL") ||
                     startsWithWord(text, next, u"</DL") || startsWithWord(text, next, u"</A") ||
                     startsWithWord(text, next, u"<A ") || startsWithWord(text, next, u"<H3")))
                next = text.indexOf(u'<', next + 1);
            if (gt < 0 || (next >= 0 && gt > next)) {
                result.malformed.append({line, QStringLiteral("<A>のタグが閉じていません。")});
                pos = next < 0 ? text.size() : next;
                continue;
            }
            if (next < 0 || !startsWithWord(text, next, u"</A")) {
                result.malformed.append({line, QStringLiteral("</A>がありません。")});
                pos = next < 0 ? text.size() : next;
                continue;
            }
            const QStringView tag = QStringView(text).sliced(lt + 2, gt - lt - 2);
            bool hasHref = false;
            Bookmark b;
            b.line = line;
            b.url = attribute(tag, u"HREF", &hasHref).trimmed();
            bool hasDate = false;
            const QString date = attribute(tag, u"ADD_DATE", &hasDate);
            b.addDate = hasDate ? addDateSeconds(date) : -1;
            b.title = plainText(QStringView(text).sliced(gt + 1, next - gt - 1));
            const qsizetype close = text.indexOf(u'>', next);
            pos = close < 0 ? text.size() : close + 1;
            if (!hasHref || b.url.isEmpty()) {
                result.malformed.append({line, QStringLiteral("HREFがありません。")});
                continue;
            }
            result.bookmarks.append(std::move(b));
            last = &result.bookmarks.last();
            continue;
        }
        if (gt < 0)
            break;
        if (startsWithWord(text, lt, u"<DD") && last) {
            qsizetype end = text.indexOf(u'<', gt + 1);
            if (end < 0)
                end = text.size();
            last->description = plainText(QStringView(text).sliced(gt + 1, end - gt - 1));
            last = nullptr;
            pos = end;
            continue;
        }
        if (startsWithWord(text, lt, u"<H3") &&
            (lt + 3 >= text.size() || !isNameChar(text[lt + 3])))
            ++result.folders;
        if (!startsWithWord(text, lt, u"<p") && !startsWithWord(text, lt, u"<DT"))
            last = nullptr;
        pos = gt + 1;
    }
    return result;
}

QString exportableUrl(const QString& url) {
    QString out;
    out.reserve(url.size());
    for (qsizetype i = 0; i < url.size(); ++i) {
        const QChar c = url[i];
        if (c.isHighSurrogate() && i + 1 < url.size() && url[i + 1].isLowSurrogate()) {
            out += c;
            out += url[++i];
        } else if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF) {
            out += u'%' + QString::number(c.unicode() - 0xDC00, 16).toUpper();
        } else if (c.isSurrogate()) {
            out += QChar(0xFFFD);
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray writeBookmarkFile(const QList<ExportFolder>& folders) {
    // Firefox's own header, byte for byte, so that every reader that takes Firefox's files
    // takes this one.
    QString out = QStringLiteral(
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is an automatically generated file.\n"
        "     It will be read and overwritten.\n"
        "     DO NOT EDIT! -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\"\n"
        "      content=\"default-src 'self'; script-src 'none'; img-src data: *; object-src "
        "'none'\"></meta>\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks Menu</H1>\n"
        "\n"
        "<DL><p>\n");
    for (const ExportFolder& folder : folders) {
        out += QStringLiteral("    <DT><H3>") + pages::htmlText(folder.name) +
               QStringLiteral("</H3>\n    <DL><p>\n");
        for (const ExportEntry& e : folder.entries) {
            const QString title = pages::htmlText(e.title);
            out += QStringLiteral("        <DT><A HREF=\"") +
                   pages::htmlText(exportableUrl(e.url)) + u'"';
            if (e.date.isValid())
                out += QStringLiteral(" ADD_DATE=\"%1\"").arg(e.date.toSecsSinceEpoch());
            out += u'>' + title + QStringLiteral("</A>\n        <DD>") + title + u'\n';
        }
        out += QStringLiteral("    </DL><p>\n");
    }
    out += QStringLiteral("</DL>\n");
    return out.toUtf8();
}

}  // namespace bookmarks
