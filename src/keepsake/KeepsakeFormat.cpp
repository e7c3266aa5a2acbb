#include "keepsake/KeepsakeFormat.h"

namespace keepsake {
namespace {

const QString kCommentEnd = QStringLiteral(" 》");

// Reads 1..maxDigits decimal digits at text[*pos]; false if there are none.
bool readNumber(QStringView text, qsizetype* pos, int maxDigits, int* value, int* digits) {
    int v = 0;
    int n = 0;
    while (*pos < text.size() && n < maxDigits && text[*pos].unicode() >= '0' &&
           text[*pos].unicode() <= '9') {
        v = v * 10 + (text[*pos].unicode() - '0');
        ++*pos;
        ++n;
    }
    *value = v;
    *digits = n;
    return n > 0;
}

bool expect(QStringView text, qsizetype* pos, char16_t c) {
    if (*pos < text.size() && text[*pos].unicode() == c) {
        ++*pos;
        return true;
    }
    return false;
}

QString twoDigits(int v) {
    return QString::number(v).rightJustified(2, u'0');
}

}  // namespace

bool isEntryLine(QStringView line) {
    return line.startsWith(kLinkPrefix);
}

Scan scanAddress(QStringView line) {
    const qsizetype quote = line.indexOf(u'"', kAddressStart);
    if (quote < 0)
        return {0, kMsgNoClosingQuote};
    if (quote == kAddressStart)
        return {0, kMsgEmptyAddress};
    return {quote - kAddressStart, {}};
}

Scan scanComment(QStringView line) {
    const qsizetype end = line.size() < 2 ? -1 : line.indexOf(kCommentEnd, 2);
    if (end <= 2)
        return {0, kMsgNoCommentLine};
    return {end - 2, {}};
}

qsizetype scanDate(QStringView rest, QDateTime* date) {
    const qsizetype lt = rest.indexOf(u'<');
    if (lt <= 0)
        return 0;
    if (!parseDate(rest.left(lt), date))
        return 0;
    return lt;
}

bool parseDate(QStringView text, QDateTime* date) {
    text = text.trimmed();
    qsizetype pos = 0;
    int year = 0, month = 0, day = 0, digits = 0, unused = 0;
    if (!readNumber(text, &pos, 4, &year, &digits) || (digits != 2 && digits != 4))
        return false;
    if (digits == 2)
        year += year < 50 ? 2000 : 1900;
    if (!expect(text, &pos, u'/') || !readNumber(text, &pos, 2, &month, &unused) ||
        !expect(text, &pos, u'/') || !readNumber(text, &pos, 2, &day, &unused)) {
        return false;
    }
    int hour = 0, minute = 0, second = 0;
    if (pos < text.size()) {
        if (!expect(text, &pos, u' '))
            return false;
        while (pos < text.size() && text[pos] == u' ')
            ++pos;
        if (!readNumber(text, &pos, 2, &hour, &unused) || !expect(text, &pos, u':') ||
            !readNumber(text, &pos, 2, &minute, &unused)) {
            return false;
        }
        if (expect(text, &pos, u':') && !readNumber(text, &pos, 2, &second, &unused)) {
            return false;
        }
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

QString formatPageDate(const QDateTime& date) {
    const QDate d = date.date();
    const QTime t = date.time();
    return twoDigits(d.year() % 100) + u'/' + twoDigits(d.month()) + u'/' + twoDigits(d.day()) +
           u' ' + twoDigits(t.hour()) + u':' + twoDigits(t.minute()) + u':' + twoDigits(t.second());
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
    return kLinkPrefix + url + QStringLiteral("\">") + url + QStringLiteral("</A><BR>");
}

QString commentLine(const QString& com, const QDateTime& date) {
    return QStringLiteral("《 ") + com + kCommentEnd + formatPageDate(date) + QStringLiteral("<P>");
}

bool isUnreadableComment(const QString& com) {
    return com.isEmpty() || com.contains(kCommentEnd);
}

}  // namespace keepsake
