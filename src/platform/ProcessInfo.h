// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include <optional>

// What Linux's /proc tells about a process. Every function answers for processes that exist
// now; one that has ended (or that may not be looked at) gives the empty answer.
namespace processinfo {

struct Status {
    qint64 parent = 0;
    qint64 session = 0;
    quint64 startTime = 0;  // clock ticks after boot: tells a process from a later one of its id
};

std::optional<Status> status(qint64 pid);

// The program file the process runs (the kernel's /proc/<pid>/exe, links resolved); empty
// when unknown.
QString executable(qint64 pid);

// The ids of all processes now running.
QList<qint64> allProcesses();

// `path` with every symbolic link on the way followed, one step at a time: the path itself
// first, then each target in turn; at most 40 steps.
QStringList linkChain(const QString& path);

}  // namespace processinfo
