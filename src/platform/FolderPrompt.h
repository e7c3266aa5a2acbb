#pragma once

#include "settings/SharedSettings.h"

#include <QString>

// The folder dialog as the editor asks for it: "Select Folder" for the folder that holds
// `targetFile` ("Scribble.ini" or "Netscape.exe"), with `label` as its question. The dialog
// stores the folder the user accepts in `settings` (CompanionFolder or BrowserFolder) and
// leaves it as it was, or empty for the companion, when the user declines.
class FolderPrompt {
public:
    virtual ~FolderPrompt() = default;
    virtual void chooseFolder(SharedSettings& settings, const QString& targetFile,
                              const QString& label) = 0;
};
