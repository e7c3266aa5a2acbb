#include "platform/SaveFile.h"

namespace textfile {

std::unique_ptr<QSaveFile> saveFileFor(const QString& path) {
    return std::make_unique<QSaveFile>(path);
}

}  // namespace textfile
