// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Made-up collections of any size for the benchmarks and the tests: a keepsake file, category
// pages and the category list of the settings file, all in the layout the companion and the
// editor write (CP932, CR LF). The same seed always gives the same bytes.
namespace synthetic {

// One kept address as the files hold it: the address without "http://", a Japanese comment
// that reads back as it is, and a date-time to the second.
struct Entry {
    QString address;
    QString comment;
    QDateTime date;
};

// `count` entries; the same count and seed give the same entries.
QList<Entry> entries(int count, std::uint64_t seed);

// `count` different category names, mostly Japanese.
QStringList categoryNames(int count, std::uint64_t seed);

// The lines around the list block of the keepsake file, each followed by CR LF: the header
// through the start marker, and the footer from the end marker.
QString keepsakeHead();
QString keepsakeFoot();

// The two lines of one entry, each followed by CR LF.
QString entryLines(const Entry& entry);

// A keepsake file holding these entries, as CP932 bytes.
QByteArray keepsakeFile(const QList<Entry>& list);
QByteArray keepsakeFile(int count, std::uint64_t seed);

// A category page: the keepsake skeleton with the title line of `name` first in its block.
QByteArray categoryPage(const QString& name, const QList<Entry>& list);

// KEEPSAKE.INI: [Scribble] Folder=companionFolder, [Netscape] Folder=browserFolder when one is
// given, and [Books] with keys 0000, 0001, ... naming the categories and the empty end mark.
QByteArray settingsFile(const QString& companionFolder, const QStringList& categories,
                        const QString& browserFolder = {});

// What to lay out.
struct Collection {
    int keptEntries = 0;        // entries of KEEPSAKE.HTML
    int categories = 0;         // categories in [Books], each with its page
    int pageEntries = 3;        // entries of every category page...
    int firstPageEntries = -1;  // ...except URL_0000.html, when this is not negative
    bool writePages = true;     // false: no category page exists yet
    QString browserFolder;      // [Netscape] Folder, or none
    std::uint64_t seed = 1;
};

// Where a collection was laid out. Folders end in "/".
struct Layout {
    QString appFolder;         // the editor's folder: KEEPSAKE.INI and the category pages
    QString companionFolder;   // appFolder + "scribble/": KEEPSAKE.HTML and Scribble.ini
    QStringList categories;    // the names, by page number
    qint64 keepsakeBytes = 0;  // size of KEEPSAKE.HTML
};

// Writes a whole collection into `folder` (created when missing); nullopt with the reason in
// *error when a file cannot be written.
std::optional<Layout> layOut(const QString& folder, const Collection& collection,
                             QString* error = nullptr);

}  // namespace synthetic
