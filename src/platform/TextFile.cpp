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

// A new file beside `target`, hidden and named after it, that nobody else has opened.
int createTemporary(const QString& target, QString* temporary) {
    const QFileInfo info(target);
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
        *temporary = info.path() + QStringLiteral("/.") + info.fileName() + u'.' + suffix;
        // 0666 as any new file: the umask takes away what the user does not give.
        const int fd =
            ::open(nativePath(*temporary).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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
    const int fd = createTemporary(target, &temporary);
    if (fd < 0)
        return fail(errno);
    const QByteArray nativeTemporary = nativePath(temporary);
    const auto discard = [&](int code) {
        ::close(fd);
        ::unlink(nativeTemporary.constData());
        return fail(code);
    };
    if (exists) {
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return discard(errno);
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only root may give a file away; for anyone else the new file is theirs, as a
            // copy they made would be.
        }
    }
    if (!writeAll(fd, data) || ::fsync(fd) != 0 || !holdsExactly(fd, data))
        return discard(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(nativeTemporary.constData());
        return fail(code);
    }
    if (::rename(nativeTemporary.constData(), native.constData()) != 0) {
        const int code = errno;
        ::unlink(nativeTemporary.constData());
        return fail(code);
    }
    // The new name is made lasting too. The file is already in place: a failure here cannot
    // be undone and does not make the write untrue, so it is not reported.
    const int folder = ::open(nativePath(QFileInfo(target).path()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

}  // namespace textfile
