// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/FoundFiles.h"

#include "platform/FileLookup.h"

namespace foundfiles {

QString browserProgram(const QString& browserFolder) {
    return filelookup::pathForWriting(browserFolder, QStringLiteral("Netscape.exe"));
}

QString companionProgram(const QString& companionFolder) {
    return filelookup::pathForWriting(companionFolder, QStringLiteral("Scribble.exe"));
}

QString framePage(const QString& appFolder) {
    return filelookup::pathForWriting(appFolder, QStringLiteral("URLFRAME.HTML"));
}

QString settingsFile(const QString& appFolder) {
    return filelookup::pathForWriting(appFolder, QStringLiteral("KEEPSAKE.INI"));
}

}  // namespace foundfiles
