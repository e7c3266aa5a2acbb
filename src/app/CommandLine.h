// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// The editor's command line: "keepsake-editor [FOLDER]", "--help" and "--version". It is
// read before any application object exists, so that the two options work without a
// display and write nothing.
struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    QString folder;  // the folder given, or empty
    QString text;    // what to print for Help, Version and Refuse
};

// `arguments` begins with the program's name.
CommandLine parseCommandLine(const QStringList& arguments);
