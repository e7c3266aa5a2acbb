#pragma once

#include <QSaveFile>
#include <QString>

#include <memory>

namespace textfile {

// The device that textfile::replace() writes a replacement through, not yet opened: a
// QSaveFile for `path`. It is defined in a file of its own, so that a test program can link a
// definition of its own instead (a device that stops part-way, as on a full disk) while the
// program keeps this one and carries no switch for it.
std::unique_ptr<QSaveFile> saveFileFor(const QString& path);

}  // namespace textfile
