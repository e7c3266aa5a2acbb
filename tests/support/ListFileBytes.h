// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The bytes of list files as the companion writes them: text given as Unicode, stored as CP932
// with CR LF line ends. Needs no window, so the format tests use it as the editor's do.
class ListFileBytes {
public:
    // Writes a file's bytes; the test fails when it cannot.
    static void writeFile(const QString& path, const QByteArray& bytes);
    // A file's bytes, or "<missing>" when it cannot be read.
    static QByteArray readFile(const QString& path);
    // Lines joined with CR LF, a CR LF after the last, in CP932.
    static QByteArray page(const QStringList& lines);
    // The keepsake layout: header lines, the start marker, list lines, the end marker, footer.
    static QByteArray listFile(const QStringList& listLines,
                               const QStringList& header = {QStringLiteral("<HTML><BODY>")},
                               const QStringList& footer = {QStringLiteral("</BODY></HTML>")});
    // A category's page: the list opens with the category's title line.
    static QByteArray categoryPage(const QString& title, const QStringList& listLines,
                                   const QStringList& header = {QStringLiteral("<HTML><BODY>")},
                                   const QStringList& footer = {QStringLiteral("</BODY></HTML>")});
    // The same page as the editor writes it: its head declares no charset, so the list opens
    // with the charset line.
    static QByteArray writtenCategoryPage(
        const QString& title, const QStringList& listLines,
        const QStringList& header = {QStringLiteral("<HTML><BODY>")},
        const QStringList& footer = {QStringLiteral("</BODY></HTML>")});
    // The two lines of an entry, as the companion writes them.
    static QStringList entry(const QString& url, const QString& comment,
                             const QString& date = QStringLiteral("97/09/15 08:05:00"));
    // The same entry as the editor writes it, opened at the top (an address without & < > ").
    static QStringList written(const QString& url, const QString& comment,
                               const QString& date = QStringLiteral("97/09/15 08:05:00"));
    // The line that tells a browser the page is Shift_JIS.
    static QString charsetMeta() {
        return QStringLiteral(
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">");
    }
};
