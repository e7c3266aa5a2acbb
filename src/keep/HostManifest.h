// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// The native messaging host manifests that let the browsers start keepsake-keep for the
// extension, which each names by its fixed id.
namespace collecting {

enum class Browser { Firefox, Chromium };

// The host's name, as the extension asks for it.
QString hostName();

// The manifest for `browser`, naming the program at `programPath`.
QByteArray hostManifest(Browser browser, const QString& programPath);

// Where the browser looks for the user's own manifests: ~/.mozilla/native-messaging-hosts/
// and $XDG_CONFIG_HOME/chromium/NativeMessagingHosts/ ("/" at the end).
QString userManifestFolder(Browser browser);

}  // namespace collecting
