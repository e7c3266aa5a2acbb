// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/KeepsakeFormat.h"

#include "pages/PageMarkup.h"
#include "platform/Cp932Codec.h"

#include <cstring>

namespace keepsake {
namespace {

const QString kCommentEnd = QStringLiteral(" 》");

int code(QChar c) {
    return c.unicode();
}
int code(char c) {
    return static_cast<unsigned char>(c);
}

// Reads 1..maxDigits decimal digits at text[*pos]; false if there are none.
template <typename Text>
bool readNumber(const Text& text, qsizetype* pos, int maxDigits, int* value, int* digits) {
    int v = 0;
    int n = 0;
    while (*pos < text.size() && n < maxDigits && code(text[*pos]) >= '0' &&
           code(text[*pos]) <= '9') {
        v = v * 10 + (code(text[*pos]) - '0');
        ++*pos;
        ++n;
    }
    *value = v;
    *digits = n;
    return n > 0;
}

template <typename Text>
bool expect(const Text& text, qsizetype* pos, char c) {
    if (*pos < text.size() && code(text[*pos]) == c) {
        ++*pos;
        return true;
    }
    return false;
}

// The date parser over any text of characters that compare with char: decoded text or the
// file's own bytes (a date is ASCII).
template <typename Text>
bool parseDateText(Text text, QDateTime* date) {
    const auto isBlank = [](auto c) { return code(c) == ' ' || code(c) == '\t'; };
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    qsizetype pos = 0;
    int year = 0, month = 0, day = 0, digits = 0, unused = 0;
    if (!readNumber(text, &pos, 4, &year, &digits) || (digits != 2 && digits != 4))
        return false;
    if (digits == 2)
        year += year < 50 ? 2000 : 1900;
    if (!expect(text, &pos, '/') || !readNumber(text, &pos, 2, &month, &unused) ||
        !expect(text, &pos, '/') || !readNumber(text, &pos, 2, &day, &unused)) {
        return false;
    }
    int hour = 0, minute = 0, second = 0;
    if (pos < text.size()) {
        if (!expect(text, &pos, ' '))
            return false;
        while (pos < text.size() && code(text[pos]) == ' ')
            ++pos;
        if (!readNumber(text, &pos, 2, &hour, &unused) || !expect(text, &pos, ':') ||
            !readNumber(text, &pos, 2, &minute, &unused)) {
            return false;
        }
        if (expect(text, &pos, ':') && !readNumber(text, &pos, 2, &second, &unused))
            return false;
        if (pos != text.size())
            return false;
    }
    const QDate d(year, month, day);
    if (!d.isValid() || hour > 23 || minute > 59 || second > 59)
        return false;
    if (date)
        *date = QDateTime(d, QTime(hour, minute, second), Qt::UTC);
    return true;
}

QString twoDigits(int v) {
    return QString::number(v).rightJustified(2, u'0');
}

}  // namespace

bool isEntryLine(QByteArrayView line) {
    static constexpr QByteArrayView kPrefix("<A HREF=\"http://");
    return line.startsWith(kPrefix);
}

Scan scanAddress(QByteArrayView line) {
    const qsizetype quote = line.indexOf('"', kAddressStart);
    if (quote < 0)
        return {0, kMsgNoClosingQuote};
    if (quote == kAddressStart)
        return {0, kMsgEmptyAddress};
    return {quote - kAddressStart, {}};
}

Scan scanComment(QByteArrayView line, qsizetype* start) {
    static constexpr QByteArrayView kEnd("\x20\x81\x74");  // " 》"
    qsizetype pos = 0;
    for (int chars = 0; chars < 2 && pos < line.size(); ++chars)
        pos += cp932::charLength(line, pos);
    *start = pos;
    // Qt's search for a short needle hashes every byte; a space is rare in a comment and is
    // never the second byte of a character, so the search goes from space to space.
    qsizetype end = -1;
    for (qsizetype at = pos; at + kEnd.size() <= line.size(); ++at) {
        const void* space = std::memchr(line.data() + at, ' ', line.size() - at);
        if (!space)
            break;
        at = static_cast<const char*>(space) - line.data();
        if (line.sliced(at).startsWith(kEnd)) {
            end = at;
            break;
        }
    }
    if (end <= pos)
        return {0, kMsgNoCommentLine};
    return {end - pos, {}};
}

qsizetype scanDate(QByteArrayView rest, QDateTime* date) {
    const qsizetype lt = rest.indexOf('<');
    if (lt <= 0 || !parseDate(rest.first(lt), date))
        return 0;
    return lt;
}

bool parseDate(QStringView text, QDateTime* date) {
    return parseDateText(text, date);
}

bool parseDate(QByteArrayView ascii, QDateTime* date) {
    return parseDateText(ascii, date);
}

namespace {
// Two-digit years are read as 1950-2049 here and as 1930-2029 by a Windows reader; only the
// years both read alike are written with two digits, every other year with four.
bool writesTwoDigitYear(int year) {
    return year >= 1950 && year <= 2029;
}

void appendDigits(QString& out, int value, int digits) {
    const int v = value < 0 ? -value : value;
    int scale = 1;
    for (int i = 1; i < digits; ++i)
        scale *= 10;
    for (; scale > 0; scale /= 10)
        out += static_cast<char16_t>(u'0' + v / scale % 10);
}

// "yy/mm/dd hh:nn:ss", or "yyyy/mm/dd hh:nn:ss" for a year outside 1950-2029.
void appendPageDate(QString& out, const QDateTime& date) {
    const QDate d = date.date();
    const QTime t = date.time();
    if (writesTwoDigitYear(d.year()))
        appendDigits(out, d.year() % 100, 2);
    else
        appendDigits(out, d.year(), 4);
    const int parts[5] = {d.month(), d.day(), t.hour(), t.minute(), t.second()};
    const char16_t separators[5] = {u'/', u'/', u' ', u':', u':'};
    for (int i = 0; i < 5; ++i) {
        out += separators[i];
        appendDigits(out, parts[i], 2);
    }
}
}  // namespace

QString formatPageDate(const QDateTime& date) {
    QString text;
    text.reserve(19);
    appendPageDate(text, date);
    return text;
}

void appendEntryLines(QString& out, const QString& url, const QString& com, const QDateTime& date,
                      LinkTarget target) {
    static const QString kLinkTop = QStringLiteral("\" TARGET=\"_top\">");
    static const QString kLinkPlain = QStringLiteral("\">");
    static const QString kLinkEnd = QStringLiteral("</A><BR>\r\n");
    static const QString kCommentStart = QStringLiteral("《 ");
    static const QString kCommentTail = QStringLiteral("<P>\r\n");
    out += kLinkPrefix;
    out += url;
    out += target == LinkTarget::Top ? kLinkTop : kLinkPlain;
    out += pages::htmlText(url);
    out += kLinkEnd;
    out += kCommentStart;
    out += com;
    out += kCommentEnd;
    appendPageDate(out, date);
    out += kCommentTail;
}

QString formatGeneralDate(const QDateTime& date) {
    const QDate d = date.date();
    const QTime t = date.time();
    QString text = QString::number(d.year()).rightJustified(4, u'0') + u'/' + twoDigits(d.month()) +
                   u'/' + twoDigits(d.day());
    if (t.hour() != 0 || t.minute() != 0 || t.second() != 0) {
        text += u' ' + QString::number(t.hour()) + u':' + twoDigits(t.minute()) + u':' +
                twoDigits(t.second());
    }
    return text;
}

QString entryLine(const QString& url) {
    return kLinkPrefix + url + QStringLiteral("\" TARGET=\"_top\">") + pages::htmlText(url) +
           QStringLiteral("</A><BR>");
}

QString commentLine(const QString& com, const QDateTime& date) {
    return QStringLiteral("《 ") + com + kCommentEnd + formatPageDate(date) + QStringLiteral("<P>");
}

bool isUnreadableComment(const QString& com) {
    return com.isEmpty() || com.contains(kCommentEnd);
}

QByteArray standardHead() {
    return "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
           "charset=Shift_JIS\"><TITLE>KEEPSAKE</TITLE></HEAD>\r\n"
           "<BODY>\r\n" +
           kStartMarker.toLatin1() + "\r\n";
}

QByteArray standardFoot() {
    return kEndMarker.toLatin1() + "\r\n</BODY></HTML>\r\n";
}

}  // namespace keepsake
