// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "collecting/KeepTarget.h"

#include "collection/CollectionFolder.h"
#include "platform/FileLookup.h"
#include "settings/ProfileFile.h"

#include <QFileInfo>

namespace collecting {
namespace {

QString missingFolder(const QString& folder, const QString& what) {
    return QStringLiteral("[") + folder + QStringLiteral("]") + what;
}

}  // namespace

KeepTarget findKeepTarget(const QString& folderOption) {
    KeepTarget target;
    QString chosen = folderOption;
    if (chosen.isEmpty())
        chosen = collection::rememberedFolder();
    if (chosen.isEmpty())
        chosen = collection::defaultFolder();
    chosen = filelookup::folderWithSeparator(QFileInfo(chosen).absoluteFilePath());
    if (!QFileInfo(chosen).isDir()) {
        target.error = missingFolder(
            chosen, QStringLiteral("がありません。キープセイクエディタでコレクションを"
                                   "開いてから、もう一度キープしてください。"));
        return target;
    }
    target.place.collectionFolder = chosen;
    target.place.keepsakeFolder = chosen;
    const QString ini = filelookup::findFile(chosen, QStringLiteral("KEEPSAKE.INI"));
    if (!ini.isEmpty()) {
        const QString scribble =
            readProfileString(ini, QStringLiteral("Scribble"), QStringLiteral("Folder"));
        if (!scribble.isEmpty()) {
            const QString folder = filelookup::folderWithSeparator(scribble);
            if (!QFileInfo(folder).isDir()) {
                target.error = missingFolder(
                    folder, QStringLiteral("（Scribbleのフォルダ）がありません。キープセイク"
                                           "エディタで「Scribbleのフォルダ指定」をしてください。"));
                return target;
            }
            target.place.keepsakeFolder = folder;
        }
    }
    return target;
}

}  // namespace collecting
