#include "settings/ProfileFile.h"

#include "platform/Cp932Codec.h"
#include "settings/ProfileFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool fail(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return false;
}

}  // namespace

QString readProfileString(const QString& iniPath, const QString& section, const QString& key) {
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return cp932::decode(profileRead(bytes, cp932::encode(section), cp932::encode(key)));
}

bool writeProfileString(const QString& iniPath, const QString& section, const QString& key,
                        const QString& value, QString* error) {
    // A file that is there must be read in full first: what cannot be read is never replaced.
    QByteArray current;
    const QFileInfo info(iniPath);
    if (info.exists() || info.isSymLink()) {
        QFile file(iniPath);
        if (!file.open(QIODevice::ReadOnly))
            return fail(error, file.errorString());
        current = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fail(error, file.errorString());
    }
    const QByteArray updated =
        profileWrite(current, cp932::encode(section), cp932::encode(key), cp932::encode(value));

    QSaveFile file(iniPath);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    if (file.write(updated) != updated.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(error, reason);
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}
