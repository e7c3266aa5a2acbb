// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The outside files the editor opens or starts, found in their folders whatever the case of
// their names on disk. Each gives the path found, or, when there is none, the folder and the
// name as the editor spells it (so that a failure names what was looked for).
namespace foundfiles {

// "Netscape.exe" in the browser's folder.
QString browserProgram(const QString& browserFolder);

// "Scribble.exe" in the companion's folder.
QString companionProgram(const QString& companionFolder);

// "URLFRAME.HTML" in the editor's folder.
QString framePage(const QString& appFolder);

// "KEEPSAKE.INI" in the editor's folder: the settings file found, or where a new one goes.
QString settingsFile(const QString& appFolder);

}  // namespace foundfiles
