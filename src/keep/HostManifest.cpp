// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keep/HostManifest.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace collecting {

QString hostName() {
    return QStringLiteral(KEEPSAKE_HOST_NAME);
}

QByteArray hostManifest(Browser browser, const QString& programPath) {
    QJsonObject manifest{
        {QStringLiteral("name"), hostName()},
        {QStringLiteral("description"), QStringLiteral("KEEPSAKE EDITOR: keep the page")},
        {QStringLiteral("path"), programPath},
        {QStringLiteral("type"), QStringLiteral("stdio")}};
    if (browser == Browser::Firefox) {
        manifest.insert(QStringLiteral("allowed_extensions"),
                        QJsonArray{QStringLiteral(KEEPSAKE_FIREFOX_EXTENSION_ID)});
    } else {
        manifest.insert(
            QStringLiteral("allowed_origins"),
            QJsonArray{QStringLiteral("chrome-extension://" KEEPSAKE_CHROMIUM_EXTENSION_ID "/")});
    }
    return QJsonDocument(manifest).toJson(QJsonDocument::Indented);
}

QString userManifestFolder(Browser browser) {
    if (browser == Browser::Firefox)
        return QDir::homePath() + QStringLiteral("/.mozilla/native-messaging-hosts/");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/chromium/NativeMessagingHosts/");
}

}  // namespace collecting
