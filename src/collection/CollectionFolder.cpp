#include "collection/CollectionFolder.h"

#include "platform/Cp932Codec.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace collection {

namespace {

const QByteArray kSection = "[Collection]";
const QByteArray kKey = "Folder=";

QString withSeparator(QString folder) {
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

}  // namespace

QString settingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/keepsake-editor/keepsake-editor.conf");
}

QString defaultFolder() {
    return QDir::homePath() + QStringLiteral("/Keepsake/");
}

bool isInstalled(const QString& programFolder) {
    return QFileInfo::exists(withSeparator(programFolder) +
                             QStringLiteral("../share/applications/") + kAppId +
                             QStringLiteral(".desktop"));
}

// The file is UTF-8 text: a "[Collection]" line and a "Folder=" line whose value runs to the
// end of the line, as it is (no quotes, no escapes).
QString rememberedFolder() {
    QByteArray bytes;
    if (!textfile::readAll(settingsFilePath(), &bytes))
        return {};
    bool inSection = false;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('['))
            inSection = line == kSection;
        else if (inSection && line.startsWith(kKey) && line.size() > kKey.size())
            return withSeparator(QString::fromUtf8(line.mid(kKey.size())));
    }
    return {};
}

bool remember(const QString& folder, QString* error) {
    // A line break would end the value early: such a folder is not recorded.
    for (const QChar c : folder) {
        if (c.unicode() < 0x20) {
            if (error)
                *error = QStringLiteral("the folder's name holds a control character");
            return false;
        }
    }
    const QString path = settingsFilePath();
    if (!QDir().mkpath(QFileInfo(path).path())) {
        if (error)
            *error = QStringLiteral("cannot make the folder of ") + path;
        return false;
    }
    return textfile::replace(path, kSection + '\n' + kKey + folder.toUtf8() + '\n', error);
}

Choice choose(const QString& given, const QString& programFolder) {
    if (!given.isEmpty())
        return {withSeparator(QFileInfo(given).absoluteFilePath()), Source::Given, {}};
    if (!isInstalled(programFolder))
        return {withSeparator(programFolder), Source::Portable, {}};
    const QString remembered = rememberedFolder();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return {remembered, Source::Remembered, {}};
    return {defaultFolder(), Source::Default, remembered};
}

bool prepareDefault(const QString& folder, QString* error) {
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot make the folder");
        return false;
    }
    // The settings file is code page 932 with CR LF line ends, as the editor writes it.
    const QByteArray settings =
        "[Scribble]\r\nFolder=" + cp932::encode(withSeparator(folder)) + "\r\n";
    return textfile::replace(folder + QStringLiteral("KEEPSAKE.INI"), settings, error);
}

}  // namespace collection
