// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/SmallDisk.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace {

// Runs a mount command; empty when it worked, else what it said.
QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return program + QStringLiteral(" did not run: ") + process.errorString();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + u' ' + arguments.join(u' ') + QStringLiteral(" failed: ") +
               QString::fromLocal8Bit(process.readAll()).trimmed();
    return {};
}

}  // namespace

SmallDisk::SmallDisk(const QString& folder) : m_folder(folder) {
    if (geteuid() != 0) {
        m_failure = QStringLiteral("mounting a small tmpfs for a full disk needs root (uid %1)")
                        .arg(geteuid());
        return;
    }
    m_failure = run(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=256k"), QStringLiteral("tmpfs"), m_folder});
}

SmallDisk::~SmallDisk() {
    if (m_failure.isEmpty() && !run(QStringLiteral("umount"), {m_folder}).isEmpty())
        run(QStringLiteral("umount"), {QStringLiteral("-l"), m_folder});
}

bool SmallDisk::fill(const QString& path) const {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'x');
    int reason = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block.constData(), static_cast<size_t>(block.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = errno;
            break;
        }
    }
    ::close(fd);
    return reason == ENOSPC;
}
