// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/PrivateXServer.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

PrivateXServer::PrivateXServer(QSize size) {
    int fds[2];
    if (pipe(fds) != 0)
        return;
    // Made before the fork: the child of a program with threads may only exec.
    const std::string fd = std::to_string(fds[1]);
    const std::string screen =
        std::to_string(size.width()) + 'x' + std::to_string(size.height()) + "x24";
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (m_pid < 0) {
        close(fds[0]);
        return;
    }
    // The server writes its display number once it is ready for clients.
    QByteArray number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!number.isEmpty())
        m_display = ':' + number;
}

PrivateXServer::~PrivateXServer() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}
