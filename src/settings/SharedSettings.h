// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The settings values that the main window and the folder dialog share. Folders end in "/".
struct SharedSettings {
    QString IniPath;          // AppFolder + "KEEPSAKE.INI"
    QString CompanionFolder;  // the companion's folder, which holds the keepsake file
    QString BrowserFolder;    // the browser's folder, or empty
};
