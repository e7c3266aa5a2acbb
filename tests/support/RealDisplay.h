#pragma once

#include <QByteArray>

// The X server that the test command started for the tests that need a real one, or empty.
// Without it such a test fails, unless KEEPSAKE_ALLOW_NO_X=1 lets it skip.
inline QByteArray realTestDisplay() {
    return qgetenv("KEEPSAKE_TEST_DISPLAY");
}
inline bool mayRunWithoutX() {
    return qgetenv("KEEPSAKE_ALLOW_NO_X") == "1";
}
