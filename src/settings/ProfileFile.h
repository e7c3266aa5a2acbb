// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// One value of a profile (INI) file on disk, the file held in code page 932.

// The value of key in section, or "" when the file, the section or the key is missing or the
// file cannot be read.
// *cut, when given, tells whether the stored value was too long and came back cut.
QString readProfileString(const QString& iniPath, const QString& section, const QString& key,
                          bool* cut = nullptr);

// The notice that the value of key in section of the settings file at iniPath is too long to be
// read whole, and so is neither used nor written over.
QString cutValueMessage(const QString& iniPath, const QString& section, const QString& key);

// Sets key in section to value, creating the file, section or key as needed. The file is
// replaced as a whole through a temporary file in its folder, so it is either the old or the
// new content. Returns false, with the system's reason in *error, when the existing file cannot
// be read or the new one cannot be written; the file is then left as it was.
bool writeProfileString(const QString& iniPath, const QString& section, const QString& key,
                        const QString& value, QString* error = nullptr);
