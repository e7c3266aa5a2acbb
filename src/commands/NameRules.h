// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// What the editor accepts as a category name or a comment: only what the settings file and
// the pages can give back exactly as typed.
namespace namerules {

// The answer of an input box without the blanks around it.
QString tidy(const QString& answer);

// Why a category name cannot be stored as it stands, or an empty text when it can.
QString refusal(const QString& name);

// Why a folder path cannot be stored in the settings file and read back as it is (a control
// character, a character that code page 932 lacks, more bytes than a read gives back), or an
// empty text when it can.
QString folderRefusal(const QString& path);

// Why a comment cannot be stored as it stands, or an empty text when it can.
QString commentRefusal(const QString& comment);

}  // namespace namerules
