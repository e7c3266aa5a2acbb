// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/ToolkitTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

bool installToolkitTranslation(QCoreApplication& app, QString* missing) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        if (missing)
            *missing = QDir(folder).filePath(QStringLiteral("qtbase_ja.qm"));
        return false;
    }
    return true;
}
