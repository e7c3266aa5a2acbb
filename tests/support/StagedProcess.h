// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/RealDisplay.h"

#include <QTcpSocket>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

// A test program that re-runs itself in stages (inside a network namespace of its own, then
// on a private session bus) starts programs and itself with these.
namespace staged {

// Runs a program with its arguments and waits for it; its exit status, or -1.
inline int run(const std::vector<const char*>& command) {
    std::vector<char*> argv;
    for (const char* argument : command)
        argv.push_back(const_cast<char*>(argument));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Replaces this process by `command` followed by this program and its arguments, with the
// environment variable `stageVariable` set to `stage`; returns only on failure.
inline void execStage(const char* stageVariable, const char* stage,
                      const std::vector<const char*>& command, char** argv) {
    setenv(stageVariable, stage, 1);
    std::vector<char*> full;
    for (const char* part : command)
        full.push_back(const_cast<char*>(part));
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return;
    full.push_back(self);
    for (char** a = argv + 1; *a; ++a)
        full.push_back(*a);
    full.push_back(nullptr);
    execvp(full[0], full.data());
    std::perror(full[0]);
}

// The stages of a test that reaches nothing but this machine: first a network namespace of
// its own with only the loopback device (which needs root), then, for a browser on the X
// server, a private session bus (`sessionBus`), through which a browser started with an
// address hands it to the running one. -1 in the last stage, where the test runs; otherwise
// the status the program ends with (for a test `onDisplay`, a missing X server fails, unless
// KEEPSAKE_ALLOW_NO_X=1 lets it skip).
inline int enterLoopback(const char* stageVariable, char** argv, bool onDisplay, bool sessionBus) {
    const QByteArray stage = qgetenv(stageVariable);
    if (stage.isEmpty()) {
        if (onDisplay && realTestDisplay().isEmpty()) {
            if (mayRunWithoutX()) {
                std::puts("SKIP: no X server for this test");
                return 0;
            }
            std::fputs("KEEPSAKE_TEST_DISPLAY is not set: the test command starts Xvfb\n", stderr);
            return 1;
        }
        if (geteuid() != 0) {
            std::fputs("this test needs root for its network namespace\n", stderr);
            return 1;
        }
        execStage(stageVariable, "namespace", {"unshare", "--net", "--"}, argv);
        return 1;
    }
    if (stage == "namespace") {
        if (run({"ip", "link", "set", "lo", "up"}) != 0) {
            std::fputs("cannot bring up the loopback device\n", stderr);
            return 1;
        }
        if (sessionBus) {
            execStage(stageVariable, "inside", {"dbus-run-session", "--"}, argv);
            return 1;
        }
    }
    return -1;
}

// Whether the namespace holds the loopback device alone: an address outside does not answer.
inline bool reachesOnlyThisMachine() {
    QTcpSocket outside;
    outside.connectToHost(QStringLiteral("192.0.2.1"), 80);
    return !outside.waitForConnected(2000);
}

}  // namespace staged
