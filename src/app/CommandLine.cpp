// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/CommandLine.h"

#include "collection/CollectionFolder.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

QString helpText() {
    return QStringLiteral(
               "Usage: keepsake-editor [FOLDER]\n"
               "KEEPSAKE EDITOR: files the web addresses kept in KEEPSAKE.HTML into "
               "categories,\n"
               "each a page of its own (URL_0000.html, ...), with an index page "
               "(URLINDEX.HTML).\n"
               "\n"
               "Opens the collection in FOLDER. Without one, the installed editor opens the\n"
               "collection it opened last or, on its first start, %1 (made then).\n"
               "A copy that is not installed opens the collection in its own folder.\n"
               "A second start on an open collection brings its window to the front.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Show this help and exit.\n"
               "  -v, --version  Show the version and exit.\n"
               "\n"
               "The last collection is recorded in %2.\n")
        .arg(collection::defaultFolder(), collection::settingsFilePath());
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("folder"), {});
    const QString program = QStringLiteral("keepsake-editor: ");
    if (!parser.parse(arguments)) {
        return {CommandLine::Action::Refuse,
                {},
                program + parser.errorText() +
                    QStringLiteral("\nTry 'keepsake-editor --help' for more information.\n")};
    }
    if (parser.isSet(help))
        return {CommandLine::Action::Help, {}, helpText()};
    if (parser.isSet(version)) {
        return {CommandLine::Action::Version,
                {},
                QStringLiteral("keepsake-editor " KEEPSAKE_VERSION "\n")};
    }
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1)
        return {CommandLine::Action::Refuse, {}, program + QStringLiteral("one folder only\n")};
    if (folders.isEmpty())
        return {};
    if (!QFileInfo(folders[0]).isDir()) {
        return {CommandLine::Action::Refuse,
                {},
                program + folders[0] + QStringLiteral(": no such folder\n")};
    }
    return {CommandLine::Action::Run, folders[0], {}};
}
