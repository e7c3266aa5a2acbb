// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/ProfileFile.h"

#include "platform/Cp932Codec.h"
#include "platform/TextFile.h"
#include "settings/ProfileFormat.h"

#include <QFileInfo>

QString readProfileString(const QString& iniPath, const QString& section, const QString& key,
                          bool* cut) {
    if (cut)
        *cut = false;
    QByteArray bytes;
    if (!textfile::readAll(iniPath, &bytes))
        return {};
    return cp932::decode(profileRead(bytes, cp932::encode(section), cp932::encode(key), cut));
}

QString cutValueMessage(const QString& iniPath, const QString& section, const QString& key) {
    return QStringLiteral("[") + iniPath + QStringLiteral("]の[") + section +
           QStringLiteral("]にある") + key +
           QStringLiteral(
               "の値は長すぎて（Shift_JISで1,023バイトを超えています）、最後まで"
               "読み込めません。この値は使わず、書き換えもしません。");
}

bool writeProfileString(const QString& iniPath, const QString& section, const QString& key,
                        const QString& value, QString* error) {
    // A file that is there must be read in full first: what cannot be read is never replaced.
    QByteArray current;
    const QFileInfo info(iniPath);
    if ((info.exists() || info.isSymLink()) && !textfile::readAll(iniPath, &current, error)) {
        return false;
    }
    const QByteArray updated =
        profileWrite(current, cp932::encode(section), cp932::encode(key), cp932::encode(value));
    return textfile::replace(iniPath, updated, error);
}
