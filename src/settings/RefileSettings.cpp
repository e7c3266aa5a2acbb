// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Settings access of the main window: one value read, one value written.
#include "app/KeepsakeEditor.h"
#include "pages/PageFormat.h"
#include "platform/Prompts.h"
#include "settings/ProfileFile.h"

QString KeepsakeEditor::ReadIniString(const QString& section, const QString& key, bool* cut) {
    return readProfileString(settings.IniPath, section, key, cut);
}

bool KeepsakeEditor::WriteIniValue(const QString& IniSection, const QString& IniKey,
                                   const QString& value) {
    QString error;
    const bool ok = writeProfileString(settings.IniPath, IniSection, IniKey, value, &error);
    ApiResult = ok ? 1 : 0;
    if (!ok)
        m_platform.prompts.critical(pages::writeFailedMessage(settings.IniPath, error));
    return ok;
}
