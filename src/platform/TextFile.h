// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic replacements. A replacement is written to a temporary file in
// the same folder and renamed over the old file only once it is complete, so the old file
// survives any failure or crash.
namespace textfile {

// The file's bytes; false with the system's reason when it cannot be read.
bool readAll(const QString& path, QByteArray* data, QString* error = nullptr);

// Replaces (or creates) the file with `data`; false with the system's reason on failure, and
// the old file then stays as it was.
bool replace(const QString& path, const QByteArray& data, QString* error = nullptr);

// Whether the file at `path` holds exactly `data`; false as well when it cannot be read.
// Read a block at a time, so that the file's bytes are never held beside `data`.
bool holds(const QString& path, const QByteArray& data);

}  // namespace textfile
