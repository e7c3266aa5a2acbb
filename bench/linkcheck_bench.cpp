// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How long the link check takes for 1,000 addresses on a web server of its own (http and
// https on this machine, in a network namespace with only loopback; needs root), and the
// longest the event loop waited meanwhile: a window would have been that unresponsive.
#include "linkcheck/LinkChecker.h"
#include "support/LocalWebServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (qgetenv("KEEPSAKE_LINKCHECK_STAGE").isEmpty()) {
        setenv("KEEPSAKE_LINKCHECK_STAGE", "namespace", 1);
        char self[4096] = {};
        if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
            return 1;
        execlp("unshare", "unshare", "--net", "--", "sh", "-c", "ip link set lo up && exec \"$0\"",
               self, static_cast<char*>(nullptr));
        std::perror("unshare (the link check benchmark needs root)");
        return 1;
    }
    QCoreApplication app(argc, argv);
    LocalWebServer server;
    QString error;
    if (!server.listen(80, 443, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QList<QString> addresses;
    const char* const paths[] = {"/ok", "/moved", "/gone", "/nohead", "/temp"};
    for (int i = 0; i < 1000; ++i)
        addresses.append(
            QStringLiteral("localhost%1?n=%2").arg(QLatin1String(paths[i % 5])).arg(i));
    LinkChecker checker;
    checker.addCaCertificates({server.certificate()});
    int answered = 0;
    QObject::connect(&checker, &LinkChecker::checked, [&answered] { ++answered; });
    QElapsedTimer clock, tick;
    qint64 longestGap = 0;
    QTimer beat;
    beat.setInterval(10);
    QObject::connect(&beat, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, tick.restart()); });
    QObject::connect(&checker, &LinkChecker::finished, &app, &QCoreApplication::quit);
    clock.start();
    tick.start();
    beat.start();
    checker.check(addresses);
    app.exec();
    std::printf(
        "link check: %d of %lld addresses in %.2f s; longest wait of the event loop %lld ms\n",
        answered, static_cast<long long>(addresses.size()),
        static_cast<double>(clock.elapsed()) / 1000.0, static_cast<long long>(longestGap));
    return answered == addresses.size() ? 0 : 1;
}
