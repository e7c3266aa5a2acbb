#pragma once

#include <QString>

// The settings values that the main window and the folder dialog share. Folders end in "/".
struct SharedSettings {
    QString IniPath;          // AppFolder + "KEEPSAKE.INI"
    QString CompanionFolder;  // the companion's folder, which holds the keepsake file
    QString BrowserFolder;    // the browser's folder, or empty
};
