// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/EditorPreferences.h"

#include "collection/CollectionFolder.h"

namespace preferences {

namespace {
const QString kView = QStringLiteral("View");
const QString kHideFiled = QStringLiteral("HideFiled");
}  // namespace

QString filePath() {
    return collection::settingsFilePath();
}

bool hideFiled() {
    return collection::readSetting(kView, kHideFiled) == QStringLiteral("true");
}

bool setHideFiled(bool hide, QString* error) {
    QString reason;
    if (collection::writeSetting(kView, kHideFiled,
                                 hide ? QStringLiteral("true") : QStringLiteral("false"), &reason))
        return true;
    if (error)
        *error = QStringLiteral("[") + filePath() + QStringLiteral("]に書き込めませんでした。\n") +
                 reason;
    return false;
}

}  // namespace preferences
