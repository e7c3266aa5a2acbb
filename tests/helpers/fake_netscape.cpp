// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A stand-in browser for the end-to-end tests, installed as "Netscape.exe".
//
// Started without arguments it opens a window titled "Netscape - test" and keeps it until it
// gets SIGTERM. Started with arguments, it acts as a second instance that hands the addresses
// to the running one: it appends each argument as a line to "received.txt" beside itself and
// exits.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

namespace {
volatile std::sig_atomic_t stop = 0;
void onTerm(int) {
    stop = 1;
}

std::string ownFolder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return ".";
    std::string p(path, static_cast<size_t>(n));
    return p.substr(0, p.rfind('/'));
}
}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        FILE* out = std::fopen((ownFolder() + "/received.txt").c_str(), "a");
        if (!out)
            return 1;
        for (int i = 1; i < argc; ++i)
            std::fprintf(out, "%s\n", argv[i]);
        std::fclose(out);
        return 0;
    }
    std::signal(SIGTERM, onTerm);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, 200, 100, 1,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    const char* title = "Netscape - test";
    XStoreName(display, window, title);
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, netWmName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title), 15);
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    while (!stop) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        usleep(20000);
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
