#include "platform/TextFile.h"

#include <QFile>
#include <QSaveFile>

namespace textfile {
namespace {
qint64 failAfterBytes = -1;
}

void setFailAfterBytesForTesting(qint64 bytes) {
    failAfterBytes = bytes;
}

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

bool replace(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (failAfterBytes >= 0 && data.size() > failAfterBytes) {
        file.write(data.constData(), failAfterBytes);
        file.cancelWriting();
        if (error)
            *error = QStringLiteral("No space left on device");
        return false;
    }
    if (file.write(data) != data.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace textfile
