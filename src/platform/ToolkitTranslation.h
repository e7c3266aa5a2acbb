// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QCoreApplication;

// The toolkit's own words (the buttons of message and input boxes, the standard dialogs) in
// Japanese, as on a Japanese Windows, whatever the locale: the whole interface is Japanese.
// Loads Qt's "qtbase_ja" translation from the toolkit's translation folder and installs it in
// app. Returns false, with the file that was looked for in *missing, when it cannot be loaded.
bool installToolkitTranslation(QCoreApplication& app, QString* missing = nullptr);
