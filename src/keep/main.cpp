// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// keepsake-keep: keeps one address in the collection's keepsake file, from the command line
// or for the browser extension as its native messaging host.
#include "bookmarks/CollectionBookmarks.h"
#include "collecting/KeepHost.h"
#include "collecting/KeepTarget.h"
#include "keep/HostManifest.h"
#include "keepsake/Collation.h"
#include "platform/TextFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

void say(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

// Firefox starts its hosts with the manifest's path and the extension's id; Chromium with the
// extension's origin.
bool startedByBrowser(int argc, char** argv) {
    if (argc < 2)
        return false;
    const QByteArray first(argv[1]);
    return first.endsWith(".json") || first.startsWith("chrome-extension://");
}

int serveBrowser() {
    // Standard output carries the framed answers alone.
    QFile in;
    QFile out;
    if (!in.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        !out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return 1;
    }
    collecting::serve(
        in, out, [] { return collecting::findKeepTarget(QString()); },
        [] { return QDateTime::currentDateTime(); });
    return 0;
}

int installHosts() {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath();
    int status = 0;
    for (const auto browser : {collecting::Browser::Firefox, collecting::Browser::Chromium}) {
        const QString folder = collecting::userManifestFolder(browser);
        const QString path = folder + collecting::hostName() + QStringLiteral(".json");
        QString error;
        if (!QDir().mkpath(folder)) {
            say(stderr, QStringLiteral("[") + folder + QStringLiteral("]を作れませんでした。"));
            status = 1;
        } else if (!textfile::replace(path, collecting::hostManifest(browser, program), &error)) {
            say(stderr,
                QStringLiteral("[") + path + QStringLiteral("]を書き込めませんでした。\n") + error);
            status = 1;
        } else {
            say(stdout, path);
        }
    }
    return status;
}

// The collection's categories in the order of the editor's list.
QList<bookmarks::Category> listedCategories(const collecting::KeepPlace& place) {
    const QList<bookmarks::Category> stored =
        bookmarks::storedCategories(place.collectionFolder + QStringLiteral("KEEPSAKE.INI"));
    QList<QString> names;
    for (const bookmarks::Category& c : stored)
        names.append(c.name);
    QList<bookmarks::Category> listed;
    for (const qsizetype i : collation::stableOrder(names))
        listed.append(stored[i]);
    return listed;
}

int exportFile(const collecting::KeepTarget& target, const QString& file) {
    const bookmarks::ExportResult result =
        bookmarks::exportCollection(target.place, listedCategories(target.place), file);
    if (!result.ok) {
        say(stderr, result.message);
        return 1;
    }
    say(stdout, bookmarks::exportSummary(result, file));
    return 0;
}

int importFile(const collecting::KeepTarget& target, const QString& file) {
    const bookmarks::ImportResult result = bookmarks::importBookmarks(
        target.place, listedCategories(target.place), file, QDateTime::currentDateTime());
    if (!result.ok) {
        say(stderr, result.message);
        return 1;
    }
    say(stdout, result.keepsakeFile + QStringLiteral(":\n") + bookmarks::importSummary(result));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (startedByBrowser(argc, argv)) {
        QCoreApplication app(argc, argv);
        return serveBrowser();
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("keepsake-keep"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEEPSAKE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Keeps ADDRESS, with COMMENT, in the keepsake file KEEPSAKE.HTML of the editor's "
        "collection.\nアドレスをキープセイクファイルにキープします。"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption folder(
        QStringLiteral("folder"),
        QStringLiteral("The collection's folder (default: the editor's last, else ~/Keepsake)."),
        QStringLiteral("FOLDER"));
    const QCommandLineOption install(
        QStringLiteral("install-browser-hosts"),
        QStringLiteral("Registers this program for the browser extension in firefox-esr and "
                       "chromium (the user's own folders)."));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Writes the whole collection to FILE as a bookmark file (UTF-8)."),
        QStringLiteral("FILE"));
    const QCommandLineOption importOption(
        QStringLiteral("import"),
        QStringLiteral("Keeps the bookmarks of the bookmark file FILE as kept entries."),
        QStringLiteral("FILE"));
    parser.addOption(folder);
    parser.addOption(install);
    parser.addOption(exportOption);
    parser.addOption(importOption);
    parser.addPositionalArgument(QStringLiteral("ADDRESS"), QStringLiteral("http:// or https://"));
    parser.addPositionalArgument(QStringLiteral("COMMENT"),
                                 QStringLiteral("The comment (default: the address)."),
                                 QStringLiteral("[COMMENT]"));
    parser.process(app);
    if (parser.isSet(install))
        return installHosts();
    if (parser.isSet(exportOption) || parser.isSet(importOption)) {
        if (!parser.positionalArguments().isEmpty() ||
            (parser.isSet(exportOption) && parser.isSet(importOption))) {
            say(stderr, QStringLiteral("keepsake-keep [--folder FOLDER] --export FILE | --import "
                                       "FILE  (--help)"));
            return 2;
        }
        const collecting::KeepTarget target = collecting::findKeepTarget(parser.value(folder));
        if (!target.error.isEmpty()) {
            say(stderr, target.error);
            return 1;
        }
        return parser.isSet(exportOption) ? exportFile(target, parser.value(exportOption))
                                          : importFile(target, parser.value(importOption));
    }

    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty() || arguments.size() > 2) {
        say(stderr, QStringLiteral("keepsake-keep ADDRESS [COMMENT]  (--help)"));
        return 2;
    }
    const collecting::KeptEntry entry =
        collecting::prepareEntry(arguments[0], arguments.value(1), QString());
    if (!entry.ok()) {
        say(stderr, entry.error);
        return 1;
    }
    const collecting::KeepTarget target = collecting::findKeepTarget(parser.value(folder));
    if (!target.error.isEmpty()) {
        say(stderr, target.error);
        return 1;
    }
    const collecting::KeepResult kept =
        collecting::keepEntry(target.place, entry, QDateTime::currentDateTime());
    if (!kept.ok) {
        say(stderr, kept.message);
        return 1;
    }
    say(stdout, kept.file + QStringLiteral(": ") + entry.shownAddress() + QStringLiteral(" 《") +
                    entry.com + QStringLiteral("》"));
    return 0;
}
