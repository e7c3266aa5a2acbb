// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "collecting/KeepHost.h"

#include <QString>

namespace collecting {

// The keepsake file's place for keepsake-keep: the collection in `folderOption` (--folder),
// else the collection of the editor started last (the editor's settings file), else the
// installed editor's default folder; there, KEEPSAKE.INI's [Scribble] Folder holds the
// keepsake file, else the collection folder itself. Never the program's own folder.
KeepTarget findKeepTarget(const QString& folderOption);

}  // namespace collecting
