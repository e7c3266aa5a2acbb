// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTest>

// A real, small file system (a 256 KiB tmpfs) mounted over a folder for a test's life and
// filled to its last byte on demand, so that a write meets the kernel's own "No space left on
// device" wherever it comes: in a write, at a flush or at a sync. Mounting needs root.
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Empty once mounted; otherwise why it could not be.
    const QString& failure() const { return m_failure; }
    // Takes every free byte with the file `path`, which must lie on this disk.
    bool fill(const QString& path) const;

private:
    QString m_folder;
    QString m_failure;
};

// Stops a test that needs the disk when it could not be mounted: a failure, unless
// KEEPSAKE_ALLOW_NO_MOUNT=1 says that this machine cannot mount and the test may be skipped.
#define KEEPSAKE_REQUIRE_MOUNTED(disk)                                                         \
    do {                                                                                       \
        if (!(disk).failure().isEmpty()) {                                                     \
            if (qEnvironmentVariable("KEEPSAKE_ALLOW_NO_MOUNT") == QLatin1String("1"))         \
                QSKIP(qPrintable((disk).failure()));                                           \
            QFAIL(qPrintable((disk).failure() +                                                \
                             QStringLiteral(" (KEEPSAKE_ALLOW_NO_MOUNT=1 skips this test)"))); \
        }                                                                                      \
    } while (false)
