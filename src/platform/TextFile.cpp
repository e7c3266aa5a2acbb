// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace textfile {

namespace {

QString reason(int error) {
    return qt_error_string(error);
}

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

// The file that a replacement lands on: a link is written through, so that the link stays
// and what it points to is replaced.
bool resolveLinks(const QString& path, QString* target) {
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == 40) {
            errno = ELOOP;
            return false;
        }
        info.setFile(info.symLinkTarget());
    }
    *target = info.filePath();
    return true;
}

// A hidden name beside `target`, named after it, for its replacement.
QString temporaryName(const QString& target) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QFileInfo info(target);
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    return info.path() + QStringLiteral("/.") + info.fileName() + u'.' + suffix;
}

// A new file under a hidden name beside `target`, that nobody else has opened. 0666 as any
// new file: the umask takes away what the user does not give.
int createNamed(const QString& target, QString* temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = temporaryName(target);
        const int fd =
            ::open(nativePath(*temporary).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the unnamed file `fd` a hidden name beside `target`, just before the rename.
bool nameUnnamed(int fd, const QString& target, QString* temporary) {
    const QByteArray handle = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = temporaryName(target);
        const QByteArray name = nativePath(*temporary);
        if (::linkat(fd, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0 ||
            ::linkat(AT_FDCWD, handle.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
                0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool writeAll(int fd, const QByteArray& data) {
    const char* at = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        at += n;
        left -= n;
    }
    return true;
}

// True when the file holds `data` and nothing else, as the file system gives it back.
bool holdsExactly(int fd, const QByteArray& data) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    if (st.st_size != data.size()) {
        errno = EIO;
        return false;
    }
    QByteArray block(64 * 1024, Qt::Uninitialized);
    for (qsizetype at = 0; at < data.size();) {
        const qsizetype want = std::min<qsizetype>(block.size(), data.size() - at);
        const ssize_t n = ::pread(fd, block.data(), static_cast<size_t>(want), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0 ||
            std::memcmp(block.constData(), data.constData() + at, static_cast<size_t>(n)) != 0) {
            errno = EIO;
            return false;
        }
        at += n;
    }
    return true;
}

// Fills the new file `fd`: the old file's mode and owner, then `data`, synced to the disk
// and read back.
bool fill(int fd, const struct stat* old, const QByteArray& data) {
    if (old) {
        if (::fchmod(fd, old->st_mode & 07777) != 0)
            return false;
        if ((old->st_uid != ::geteuid() || old->st_gid != ::getegid()) &&
            ::fchown(fd, old->st_uid, old->st_gid) != 0) {
            // Only root may give a file away; for anyone else the new file is theirs, as a
            // copy they made would be.
        }
    }
    return writeAll(fd, data) && ::fsync(fd) == 0 && holdsExactly(fd, data);
}

// Writes the replacement of `target` and gives back its hidden name beside it; on failure
// nothing is left and errno says why. An unnamed file first, so that a crash before the
// rename leaves nothing behind; where the file system cannot make one, or it cannot be
// named, a named one.
bool writeReplacement(const QString& target, const struct stat* old, const QByteArray& data,
                      QString* temporary) {
    const QByteArray folder = nativePath(QFileInfo(target).path());
    int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return false;
    if (fd >= 0) {
        if (!fill(fd, old, data)) {
            const int code = errno;
            ::close(fd);
            errno = code;
            return false;
        }
        const bool named = nameUnnamed(fd, target, temporary);
        const bool closed = ::close(fd) == 0;
        if (named) {
            if (closed)
                return true;
            const int code = errno;
            ::unlink(nativePath(*temporary).constData());
            errno = code;
            return false;
        }
        // It could not be named (no /proc, say): written again under a name.
    }
    fd = createNamed(target, temporary);
    if (fd < 0)
        return false;
    const bool whole = fill(fd, old, data);
    int code = errno;
    const bool closed = ::close(fd) == 0;
    if (whole && closed)
        return true;
    if (whole)
        code = errno;
    ::unlink(nativePath(*temporary).constData());
    errno = code;
    return false;
}

}  // namespace

bool readAll(const QString& path, QByteArray* data, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    *data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool holds(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != data.size())
        return false;
    QByteArray block(qsizetype{1} << 20, Qt::Uninitialized);
    for (qsizetype at = 0; at < data.size();) {
        const qint64 got = file.read(block.data(), std::min(block.size(), data.size() - at));
        if (got <= 0 || std::memcmp(block.constData(), data.constData() + at,
                                    static_cast<std::size_t>(got)) != 0)
            return false;
        at += got;
    }
    return file.read(block.data(), 1) == 0;
}

// The old file is replaced only by a file that is known to hold every byte: written, synced
// to the disk and read back. A full disk may show itself at any of these steps (a buffered
// write only at the flush or the sync), and any failure leaves the old file as it was.
bool replace(const QString& path, const QByteArray& data, QString* error) {
    const auto fail = [error](int code) {
        if (error)
            *error = reason(code);
        return false;
    };
    QString target;
    if (!resolveLinks(path, &target))
        return fail(errno);
    const QByteArray native = nativePath(target);
    struct stat old {};
    const bool exists = ::stat(native.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return fail(EISDIR);
    // A file the user may not write is not replaced behind its back.
    if (exists && ::access(native.constData(), W_OK) != 0)
        return fail(errno);

    QString temporary;
    if (!writeReplacement(target, exists ? &old : nullptr, data, &temporary))
        return fail(errno);
    const QByteArray nativeTemporary = nativePath(temporary);
    if (::rename(nativeTemporary.constData(), native.constData()) != 0) {
        const int code = errno;
        ::unlink(nativeTemporary.constData());
        return fail(code);
    }
    // The new name is made lasting too. The file is already in place: a failure here cannot
    // be undone and does not make the write untrue, so it is not reported.
    const int folderFd = ::open(nativePath(QFileInfo(target).path()).constData(),
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

}  // namespace textfile
