#include "support/FullDisk.h"

#include "platform/SaveFile.h"

namespace {

qint64 limit = -1;

// Writes through to the real temporary file until the room is used up, then fails.
class FillingSaveFile : public QSaveFile {
public:
    FillingSaveFile(const QString& path, qint64 room) : QSaveFile(path), m_room(room) {}

protected:
    qint64 writeData(const char* data, qint64 len) override {
        if (len <= m_room) {
            const qint64 written = QSaveFile::writeData(data, len);
            if (written > 0)
                m_room -= written;
            return written;
        }
        if (m_room > 0)
            QSaveFile::writeData(data, m_room);
        m_room = 0;
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }

private:
    qint64 m_room;
};

}  // namespace

namespace fulldisk {

void failAfterBytes(qint64 bytes) {
    limit = bytes;
}

}  // namespace fulldisk

namespace textfile {

std::unique_ptr<QSaveFile> saveFileFor(const QString& path) {
    if (limit < 0)
        return std::make_unique<QSaveFile>(path);
    return std::make_unique<FillingSaveFile>(path, limit);
}

}  // namespace textfile
