// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ListFileBytes.h"

#include "platform/Cp932Codec.h"

#include <QFile>
#include <QTest>

void ListFileBytes::writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ListFileBytes::readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

QByteArray ListFileBytes::page(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return cp932::encode(text);
}

QByteArray ListFileBytes::listFile(const QStringList& listLines, const QStringList& header,
                                   const QStringList& footer) {
    return page(header + QStringList{QStringLiteral("<!--StartList-->")} + listLines +
                QStringList{QStringLiteral("<!--EndList-->")} + footer);
}

namespace {
QString titleLine(const QString& title) {
    return QStringLiteral("<H3><I><B>～ %1 ～</B></I></H3>").arg(title);
}
}  // namespace

QByteArray ListFileBytes::categoryPage(const QString& title, const QStringList& listLines,
                                       const QStringList& header, const QStringList& footer) {
    return listFile(QStringList{titleLine(title)} + listLines, header, footer);
}

QByteArray ListFileBytes::writtenCategoryPage(const QString& title, const QStringList& listLines,
                                              const QStringList& header,
                                              const QStringList& footer) {
    return listFile(QStringList{charsetMeta(), titleLine(title)} + listLines, header, footer);
}

QStringList ListFileBytes::entry(const QString& url, const QString& comment, const QString& date) {
    return {QStringLiteral("<A HREF=\"http://%1\">%1</A><BR>").arg(url),
            QStringLiteral("《 %1 》%2<P>").arg(comment, date)};
}

QStringList ListFileBytes::written(const QString& url, const QString& comment,
                                   const QString& date) {
    return {QStringLiteral("<A HREF=\"http://%1\" TARGET=\"_top\">%1</A><BR>").arg(url),
            QStringLiteral("《 %1 》%2<P>").arg(comment, date)};
}
