// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "collecting/KeptEntry.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

// Keeping one entry in the keepsake file: the entry goes last into the list block, just before
// its end marker, and every other byte of the file stays as it was.
namespace collecting {

// The five lines of a new keepsake file, each ending CR LF.
QByteArray keepsakeSkeleton();

// `file` with the entry's two lines (code page 932, CR LF) inserted before the end marker of
// its list block, found as the editor's reader finds it. False, with the reader's message in
// *error, when the file has no list block; *out is then untouched.
bool insertEntry(const QByteArray& file, const KeptEntry& entry, const QDateTime& date,
                 QByteArray* out, QString* error);
// The same for many entries at once, in their order: `lines` holds their entry and comment
// lines, already encoded.
bool insertLines(const QByteArray& file, QByteArrayView lines, QByteArray* out, QString* error);

// Where an entry is kept: the collection's folder (which holds the editor's working copy
// KEEPSAKE.TMP) and the keepsake file's folder, both ending in "/".
struct KeepPlace {
    QString collectionFolder;
    QString keepsakeFolder;
};

struct KeepResult {
    bool ok = false;
    QString file;     // the keepsake file
    QString message;  // why not, when !ok
};

// Keeps the entry in the keepsake file of `place`, dated `date` (local time). A missing file is
// restored from the working copy first, as the editor does, or made from the skeleton when
// there is none. Appends from several processes at once all land: each holds the lock file
// KEEPSAKE.HTML.lock in the keepsake file's folder while it reads and replaces the file.
KeepResult keepEntry(const KeepPlace& place, const KeptEntry& entry, const QDateTime& date);

// The keepsake file's bytes, as they are, made into what replaces them. False leaves the file
// as it is: with the reason in *why, or with *why empty when the change was called off.
using KeepsakeChange =
    std::function<bool(const QByteArray& current, QByteArray* changed, QString* why)>;

// Reads the keepsake file of `place` under the lock (restoring or making it as keepEntry
// does) and replaces it once with what `change` makes of it. A change called off gives a
// result that is not ok and has no message.
KeepResult changeKeepsake(const KeepPlace& place, const KeepsakeChange& change);

}  // namespace collecting
