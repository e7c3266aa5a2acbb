#include "collecting/KeepTarget.h"

#include "platform/FileLookup.h"
#include "platform/TextFile.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace collecting {
namespace {

// TODO(merge): the editor's collection unit reads this file and knows its default folder.
QString editorSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/keepsake-editor/keepsake-editor.conf");
}

QString defaultCollection() {
    return QDir::homePath() + QStringLiteral("/Keepsake/");
}

// The "[Collection]" section's "Folder=" line of the editor's settings file (UTF-8).
QString rememberedCollection() {
    QByteArray bytes;
    if (!textfile::readAll(editorSettingsFile(), &bytes))
        return {};
    bool inSection = false;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('['))
            inSection = line == "[Collection]";
        else if (inSection && line.startsWith("Folder=") && line.size() > 7)
            return QString::fromUtf8(line.mid(7));
    }
    return {};
}

QString missingFolder(const QString& folder, const QString& what) {
    return QStringLiteral("[") + folder + QStringLiteral("]") + what;
}

}  // namespace

KeepTarget findKeepTarget(const QString& folderOption) {
    KeepTarget target;
    QString collection = folderOption;
    if (collection.isEmpty())
        collection = rememberedCollection();
    if (collection.isEmpty())
        collection = defaultCollection();
    collection = filelookup::folderWithSeparator(QFileInfo(collection).absoluteFilePath());
    if (!QFileInfo(collection).isDir()) {
        target.error = missingFolder(
            collection, QStringLiteral("がありません。キープセイクエディタでコレクションを"
                                       "開いてから、もう一度キープしてください。"));
        return target;
    }
    target.place.collectionFolder = collection;
    target.place.keepsakeFolder = collection;
    const QString ini = filelookup::findFile(collection, QStringLiteral("KEEPSAKE.INI"));
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
