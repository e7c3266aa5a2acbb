// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QSize>

#include <sys/types.h>

// An X server of a test's own (Xvfb), for a test that changes what the server does or needs a
// screen of a given size: on a display number the server picks free, with one screen of
// `size`. It goes with the test, even when the test is killed on a time-out.
class PrivateXServer {
public:
    explicit PrivateXServer(QSize size);
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // ":N", or empty when the server could not be started.
    QByteArray display() const { return m_display; }

private:
    pid_t m_pid = 0;
    QByteArray m_display;
};
