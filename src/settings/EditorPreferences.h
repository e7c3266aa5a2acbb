// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The editor's own preferences, kept for the user rather than in the collection's files:
// $XDG_CONFIG_HOME/keepsake-editor/keepsake-editor.conf (~/.config when that is not set).
namespace preferences {

QString filePath();

// "整理済みを隠す": filed entries are left out of the kept-entry lists.
bool hideFiled();
// False with the reason in *error when the file could not be written.
bool setHideFiled(bool hide, QString* error = nullptr);

}  // namespace preferences
