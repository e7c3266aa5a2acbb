// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringView>

// The layout shared by the keepsake file and the category pages: the two marker lines, the
// entry line and the comment line, and the scanners that take an entry apart.
namespace keepsake {

inline const QString kStartMarker = QStringLiteral("<!--StartList-->");
inline const QString kEndMarker = QStringLiteral("<!--EndList-->");
// <A HREF="http://  — sixteen characters; the address starts right after it.
inline const QString kLinkPrefix = QStringLiteral("<A HREF=\"http://");
inline constexpr qsizetype kAddressStart = 16;  // 0-based index of the address
inline const QString kCrLf = QStringLiteral("\r\n");

// Messages of the scanners and readers.
inline const QString kMsgNoClosingQuote = QStringLiteral("終端のクォートが見つかりません。");
inline const QString kMsgEmptyAddress = QStringLiteral("ＵＲＬが空白です。");
inline const QString kMsgNoCommentLine = QStringLiteral("コメント行が見つかりません。");
inline const QString kMsgNoStartMarker = QStringLiteral("<!--StartList-->が見つかりません。");
inline const QString kMsgNoEndMarker = QStringLiteral("<!--EndList-->が見つかりません。");
inline const QString kMsgNoList = QStringLiteral("ＵＲＬリストが見つかりません。");
inline const QString kMsgNoComment = QStringLiteral("コメントが見つかりません。");
inline const QString kMsgContinue = QStringLiteral("次のデータから続行しますか？");

struct Entry {
    QString url;  // without "http://"
    QString com;
    QDateTime date;
};

// What a scanner found: the length of its piece, 0 on failure, and the message that the
// failure shows (empty when it shows none).
struct Scan {
    qsizetype length = 0;
    QString message;
};

// The scanners work on a line's own bytes. The markers, the link prefix, '"', " 》" and '<'
// are found on the bytes, which is exact because none of their bytes can be the second byte
// of a double-byte character; lengths and offsets are in bytes.
bool isEntryLine(QByteArrayView line);
// Length of the address in an entry line; it starts at byte kAddressStart.
Scan scanAddress(QByteArrayView line);
// Length of the comment in a comment line: the text from the third character up to " 》".
// *start receives the comment's first byte.
Scan scanComment(QByteArrayView line, qsizetype* start);
// Length of the date text before the first "<" of `rest`, when that text is a valid date;
// the date goes to *date. No message.
qsizetype scanDate(QByteArrayView rest, QDateTime* date);

// Date-times as the files hold them: "yy/mm/dd hh:nn:ss" (also four-digit years, the time
// and its seconds optional). Two-digit years fall in 1950-2049. Invalid dates give false.
bool parseDate(QStringView text, QDateTime* date);
bool parseDate(QByteArrayView ascii, QDateTime* date);
// "yy/mm/dd hh:nn:ss", the form the pages are written with; a year outside 1950-2029 is
// written with four digits, so that it reads back in its own century.
QString formatPageDate(const QDateTime& date);
// The general date-and-time form a Japanese desktop shows: "yyyy/mm/dd H:mm:ss", or only the
// date at midnight.
QString formatGeneralDate(const QDateTime& date);

// The two lines of one entry as the editor writes them, without line breaks. The address
// goes into HREF as stored (readers take it from there, up to the first quote); the link
// text shows it as typed, and TARGET="_top" opens it in the whole window, never inside the
// frame page, whose frames most sites refuse to be shown in.
QString entryLine(const QString& url);
QString commentLine(const QString& com, const QDateTime& date);
// Where an entry's link opens: the whole window (pages the editor writes), or where the
// browser chooses (the keepsake file, kept in the form the companion writes).
enum class LinkTarget { Top, AsCompanion };
// Both lines of an entry, each followed by CR LF, appended to `out`.
void appendEntryLines(QString& out, const QString& url, const QString& com, const QDateTime& date,
                      LinkTarget target = LinkTarget::Top);

// The standard keepsake file with an empty list, for a collection whose own file was never read
// whole: its header (every line through the start marker) and its footer (the end marker and
// what follows), each line followed by CR LF. A new keepsake file is the two together.
QByteArray standardHead();
QByteArray standardFoot();

// True when `com` cannot be read back from a comment line as it stands: an empty comment or
// one that holds " 》".
bool isUnreadableComment(const QString& com);

}  // namespace keepsake
