// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/ProcessInfo.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <array>

namespace processinfo {
namespace {

QString procPath(qint64 pid, const char* entry) {
    return QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1StringView(entry));
}

QString readLink(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink(encoded.constData(), buffer.data(), buffer.size());
    if (n <= 0 || static_cast<size_t>(n) >= buffer.size())
        return {};
    return QFile::decodeName(QByteArray(buffer.data(), static_cast<qsizetype>(n)));
}

}  // namespace

std::optional<Status> status(qint64 pid) {
    if (pid <= 0)
        return std::nullopt;
    QFile file(procPath(pid, "stat"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = file.readAll();
    // The command name is in parentheses and may hold anything, parentheses too; the fields
    // after the last ")" are plain numbers: state, parent, group, session, ... start time
    // (the 20th after the name).
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 20)
        return std::nullopt;
    Status s;
    bool ok[3] = {};
    s.parent = fields[1].toLongLong(&ok[0]);
    s.session = fields[3].toLongLong(&ok[1]);
    s.startTime = fields[19].toULongLong(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2])
        return std::nullopt;
    return s;
}

QString executable(qint64 pid) {
    if (pid <= 0)
        return {};
    QString target = readLink(procPath(pid, "exe"));
    // A program file replaced since the process started (an upgrade) is still the same
    // program.
    static const QString kDeleted = QStringLiteral(" (deleted)");
    if (target.endsWith(kDeleted))
        target.chop(kDeleted.size());
    return target;
}

QList<qint64> allProcesses() {
    QList<qint64> pids;
    const QStringList entries =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (numeric)
            pids.append(pid);
    }
    return pids;
}

QStringList linkChain(const QString& path) {
    QStringList chain;
    QString current = path;
    for (int step = 0; step < 40 && !current.isEmpty(); ++step) {
        chain.append(current);
        const QString target = readLink(current);
        if (target.isEmpty())
            break;
        current = QDir::cleanPath(QFileInfo(current).absoluteDir().absoluteFilePath(target));
    }
    return chain;
}

}  // namespace processinfo
