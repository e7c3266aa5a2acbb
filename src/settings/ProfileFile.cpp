#include "settings/ProfileFile.h"

#include "platform/Cp932Codec.h"
#include "platform/TextFile.h"
#include "settings/ProfileFormat.h"

#include <QFileInfo>

QString readProfileString(const QString& iniPath, const QString& section, const QString& key) {
    QByteArray bytes;
    if (!textfile::readAll(iniPath, &bytes))
        return {};
    return cp932::decode(profileRead(bytes, cp932::encode(section), cp932::encode(key)));
}

bool writeProfileString(const QString& iniPath, const QString& section, const QString& key,
                        const QString& value, QString* error) {
    // A file that is there must be read in full first: what cannot be read is never replaced.
    QByteArray current;
    const QFileInfo info(iniPath);
    if ((info.exists() || info.isSymLink()) && !textfile::readAll(iniPath, &current, error)) {
        return false;
    }
    const QByteArray updated =
        profileWrite(current, cp932::encode(section), cp932::encode(key), cp932::encode(value));
    return textfile::replace(iniPath, updated, error);
}
