#pragma once

#include <QtGlobal>

// A disk that fills up under the program's file replacements. A test program that uses this
// links its own textfile::saveFileFor() in place of the program's: while a limit is set, every
// replacement stops after writing that many bytes of its new contents and fails as a full disk
// does, with "No space left on device".
namespace fulldisk {

void failAfterBytes(qint64 bytes);  // -1: room again

}  // namespace fulldisk
