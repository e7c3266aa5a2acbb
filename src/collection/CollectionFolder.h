// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Which folder holds the collection an editor opens, and where the last one is remembered.
// Qt Core alone, so that every program of the collection (the editor and the command-line
// tools) takes the same folder by the same rules.
namespace collection {

// The application id: the desktop entry's name, the icon's, the window class and the
// metainfo's id.
inline const QString kAppId = QStringLiteral("io.github.keepsake_editor.KeepsakeEditor");

// Where the folder came from.
enum class Source {
    Given,       // the folder on the command line
    Portable,    // a program that is not installed: its own folder
    Remembered,  // the folder of the editor started last
    Default,     // the default folder in the home folder
};

struct Choice {
    QString folder;  // ends in "/"
    Source source = Source::Default;
    QString gone;  // a remembered folder that no longer exists, or empty
};

// "$XDG_CONFIG_HOME/keepsake-editor/keepsake-editor.conf" (~/.config when it is not set).
QString settingsFilePath();

// "$HOME/Keepsake/".
QString defaultFolder();

// The program in `programFolder` was installed: its desktop entry lies at
// "../share/applications/" beside it, where `cmake --install` puts it.
bool isInstalled(const QString& programFolder);

// One value of the settings file, or empty; every program of the collection keeps its
// settings there.
QString readSetting(const QString& section, const QString& key);
// Writes one value, leaving every other line of the file as it is; false with the reason.
bool writeSetting(const QString& section, const QString& key, const QString& value,
                  QString* error = nullptr);

// The folder recorded in the settings file, ending in "/", or empty.
QString rememberedFolder();

// Records `folder` as the collection of the editor started last; false with the reason
// when the settings file cannot be written.
bool remember(const QString& folder, QString* error = nullptr);

// Applies the rules: the given folder (absolute, or relative to the current folder); else,
// for a program that is not installed, its own folder; else the remembered folder while it
// exists; else the default folder.
Choice choose(const QString& given, const QString& programFolder);

// Makes the default folder on its first use, with a settings file whose companion folder is
// the folder itself, so the keepsake file lies beside the pages. A folder that exists is
// left as it is. False with the reason when it cannot be made.
bool prepareDefault(const QString& folder, QString* error = nullptr);

}  // namespace collection
