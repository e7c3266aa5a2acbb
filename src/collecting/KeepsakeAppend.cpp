// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "collecting/KeepsakeAppend.h"

#include "keepsake/KeepsakeFormat.h"
#include "pages/PageFormat.h"
#include "platform/Cp932Codec.h"
#include "platform/FileLookup.h"
#include "platform/TextFile.h"

#include <QByteArrayView>
#include <QLockFile>

namespace collecting {
namespace {

constexpr QByteArrayView kStartMarker("<!--StartList-->");
constexpr QByteArrayView kEndMarker("<!--EndList-->");
const QString kKeepsakeName = QStringLiteral("KEEPSAKE.HTML");
const QString kWorkingCopyName = QStringLiteral("KEEPSAKE.TMP");
// Another keep holds the file for one read and one write; a lock older than this was left by
// a process that died.
constexpr int kLockWaitMs = 20000;
constexpr int kStaleLockMs = 30000;

// The offset of the line, after the line that starts at `from`, that is exactly `marker`;
// lines end as the editor's line reader ends them (CR LF, lone CR, lone LF). -1 when none.
qsizetype findMarkerLine(QByteArrayView data, qsizetype from, QByteArrayView marker) {
    qsizetype pos = from;
    while (pos < data.size()) {
        qsizetype end = pos;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (data.sliced(pos, end - pos) == marker)
            return pos;
        if (end < data.size() && data[end] == '\r' && end + 1 < data.size() &&
            data[end + 1] == '\n')
            ++end;
        pos = end + 1;
    }
    return -1;
}

QString failedRead(const QString& path, const QString& reason) {
    return QStringLiteral("[") + path + QStringLiteral("]を読み込めませんでした。\n") + reason;
}

}  // namespace

QByteArray keepsakeSkeleton() {
    return keepsake::standardHead() + keepsake::standardFoot();
}

bool insertEntry(const QByteArray& file, const KeptEntry& entry, const QDateTime& date,
                 QByteArray* out, QString* error) {
    QString lines;
    // The keepsake file keeps the companion's form: its entries open where the browser chooses.
    keepsake::appendEntryLines(lines, entry.url, entry.com, date,
                               keepsake::LinkTarget::AsCompanion);
    return insertLines(file, cp932::encode(lines), out, error);
}

bool insertLines(const QByteArray& file, QByteArrayView lines, QByteArray* out, QString* error) {
    const qsizetype start = findMarkerLine(file, 0, kStartMarker);
    if (start < 0) {
        *error = keepsake::kMsgNoStartMarker;
        return false;
    }
    const qsizetype end = findMarkerLine(file, start + kStartMarker.size() + 1, kEndMarker);
    if (end < 0) {
        *error = keepsake::kMsgNoEndMarker;
        return false;
    }
    QByteArray result;
    result.reserve(file.size() + lines.size());
    result += QByteArrayView(file).first(end);
    result += lines;
    result += QByteArrayView(file).sliced(end);
    *out = std::move(result);
    return true;
}

KeepResult keepEntry(const KeepPlace& place, const KeptEntry& entry, const QDateTime& date) {
    return changeKeepsake(place, [&](const QByteArray& bytes, QByteArray* changed, QString* why) {
        QString reason;
        if (insertEntry(bytes, entry, date, changed, &reason))
            return true;
        *why = reason + QStringLiteral("\nキープセイクファイルは変更していません。");
        return false;
    });
}

KeepResult changeKeepsake(const KeepPlace& place, const KeepsakeChange& change) {
    KeepResult result;
    const QString lockPath = place.keepsakeFolder + kKeepsakeName + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs)) {
        result.file = place.keepsakeFolder + kKeepsakeName;
        result.message = lock.error() == QLockFile::LockFailedError
                             ? QStringLiteral("[") + lockPath +
                                   QStringLiteral(
                                       "]が解放されません。ほかのキープが終わって"
                                       "から、もう一度キープしてください。")
                             : QStringLiteral("[") + lockPath +
                                   QStringLiteral(
                                       "]を作れませんでした。フォルダーに書き込め"
                                       "ません。");
        return result;
    }

    QString path = filelookup::findFile(place.keepsakeFolder, kKeepsakeName);
    QByteArray bytes;
    QString reason;
    if (path.isEmpty()) {
        path = place.keepsakeFolder + kKeepsakeName;
        const QString workingCopy = filelookup::findFile(place.collectionFolder, kWorkingCopyName);
        if (workingCopy.isEmpty()) {
            bytes = keepsakeSkeleton();
        } else {
            if (!textfile::readAll(workingCopy, &bytes, &reason)) {
                result.file = path;
                result.message = failedRead(workingCopy, reason);
                return result;
            }
            // Restored first, as the editor restores it, whatever the entry's fate.
            if (!textfile::replace(path, bytes, &reason)) {
                result.file = path;
                result.message = pages::writeFailedMessage(path, reason);
                return result;
            }
        }
    } else if (!textfile::readAll(path, &bytes, &reason)) {
        result.file = path;
        result.message = failedRead(path, reason);
        return result;
    }
    result.file = path;

    QByteArray changed;
    reason.clear();
    if (!change(bytes, &changed, &reason)) {
        if (!reason.isEmpty())
            result.message = QStringLiteral("[") + path + QStringLiteral("]\n") + reason;
        return result;
    }
    if (!textfile::replace(path, changed, &reason)) {
        result.message = pages::writeFailedMessage(path, reason);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace collecting
