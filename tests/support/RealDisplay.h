// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>

// The X server that the test command started for the tests that need a real one, or empty.
// Without it such a test fails, unless KEEPSAKE_ALLOW_NO_X=1 lets it skip.
inline QByteArray realTestDisplay() {
    return qgetenv("KEEPSAKE_TEST_DISPLAY");
}
inline bool mayRunWithoutX() {
    return qgetenv("KEEPSAKE_ALLOW_NO_X") == "1";
}

// A missing server fails the test, so that it cannot pass for a working one.
#define REQUIRE_TEST_DISPLAY()                                                             \
    do {                                                                                   \
        if (realTestDisplay().isEmpty()) {                                                 \
            if (mayRunWithoutX())                                                          \
                QSKIP("no X server for this test");                                        \
            QFAIL(                                                                         \
                "KEEPSAKE_TEST_DISPLAY is not set: the test command starts Xvfb for this " \
                "test");                                                                   \
        }                                                                                  \
    } while (false)

// The same for a test that sends keys and clicks through that server with xdotool.
#define REQUIRE_TEST_DISPLAY_AND_XDOTOOL()                                             \
    do {                                                                               \
        REQUIRE_TEST_DISPLAY();                                                        \
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(), \
                 "xdotool is not installed");                                          \
    } while (false)

// Puts this test program's own windows on `display` (the test command's server when not
// given), if there is one; called before the application is made.
inline void showWindowsOn(const QByteArray& display = realTestDisplay()) {
    if (display.isEmpty())
        return;
    qputenv("DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "xcb");
}

// The environment of a program started on that server: its display, and whatever platform
// Qt picks there.
inline QProcessEnvironment realDisplayEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLocal8Bit(realTestDisplay()));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}
