// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes a category page, the index page and KEEPSAKE.INI over and over through the editor's
// own writers, alternating between two known versions, until it is killed. The crash-safety
// test kills it at random moments and checks that every file is whole.
//
//   crash_writer <folder> <versions folder> <seconds> [--in-place]
//
// <versions folder>/a and /b each hold URL_0001.html, URLINDEX.HTML and book.txt (the value
// of key 0001 in section Books). The first round writes version b, the next a, and so on.
// "ready" on stdout says that the writing starts; the program ends by itself (status 3) after
// <seconds>, so that it never outlives a test that failed to kill it.
//
// --in-place writes the two pages over the old files in small pieces instead, the unsafe way,
// so that the test can show that it notices a torn file.
#include "platform/Cp932Codec.h"
#include "platform/TextFile.h"
#include "settings/ProfileFile.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <array>
#include <cstdio>

namespace {

struct Version {
    QByteArray page;
    QByteArray index;
    QString book;
};

bool load(const QString& folder, Version* version) {
    QByteArray book;
    QString error;
    if (!textfile::readAll(folder + QStringLiteral("/URL_0001.html"), &version->page, &error) ||
        !textfile::readAll(folder + QStringLiteral("/URLINDEX.HTML"), &version->index, &error) ||
        !textfile::readAll(folder + QStringLiteral("/book.txt"), &book, &error)) {
        std::fprintf(stderr, "crash_writer: %s\n", qPrintable(error));
        return false;
    }
    version->book = cp932::decode(book);
    return true;
}

// Truncates the file and writes it in pieces of 4 KB: a kill in between leaves it torn.
bool writeInPlace(const QString& path, const QByteArray& data, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    for (qsizetype at = 0; at < data.size(); at += 4096) {
        const QByteArray piece = data.mid(at, 4096);
        if (file.write(piece) != piece.size()) {
            *error = file.errorString();
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool inPlace = argc == 5 && QByteArray(argv[4]) == "--in-place";
    if (argc != 4 && !inPlace) {
        std::fprintf(stderr,
                     "usage: crash_writer <folder> <versions folder> <seconds> [--in-place]\n");
        return 1;
    }
    const auto writePage = inPlace ? &writeInPlace : &textfile::replace;
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/");
    const QString versions = QString::fromLocal8Bit(argv[2]);
    const qint64 limit = QByteArray(argv[3]).toLongLong() * 1000;

    std::array<Version, 2> version;
    if (!load(versions + QStringLiteral("/a"), &version[0]) ||
        !load(versions + QStringLiteral("/b"), &version[1])) {
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    std::printf("ready\n");
    std::fflush(stdout);
    for (unsigned round = 0;; ++round) {
        const Version& v = version[(round + 1) % 2];
        QString error;
        if (!writePage(folder + QStringLiteral("URL_0001.html"), v.page, &error) ||
            !writePage(folder + QStringLiteral("URLINDEX.HTML"), v.index, &error) ||
            !writeProfileString(folder + QStringLiteral("KEEPSAKE.INI"), QStringLiteral("Books"),
                                QStringLiteral("0001"), v.book, &error)) {
            std::fprintf(stderr, "crash_writer: %s\n", qPrintable(error));
            return 2;
        }
        if (clock.elapsed() > limit)
            return 3;
    }
}
