// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Top-level X11 windows for tst_x11windows to find, on $DISPLAY.
//
//   x11_titled_window <title> [--unmapped] [--legacy] [--class <name>] [--keep]
//       One window with that title (UTF-8): WM_NAME as Xlib stores it for the locale
//       (STRING or COMPOUND_TEXT) and _NET_WM_NAME as UTF8_STRING. --unmapped leaves it
//       hidden; --legacy sets WM_NAME only; --class sets WM_CLASS to <name> and <name> with
//       a capital first letter, as browsers do; --keep ignores stdin (only SIGTERM ends it).
//   x11_titled_window --many <n>
//       n windows titled "many 0" ... "many <n-1>".
//   x11_titled_window --churn <n>
//       Creates n windows titled "churn 0" ... and destroys them again, over and over.
//   x11_titled_window --client-list <title>...
//       One window per title, listed on the root as a window manager would list its
//       clients (_NET_CLIENT_LIST), last one first, with the id of a window that no longer
//       exists after the first. The list is removed again on exit.
//
// Every window states the helper's process id (_NET_WM_PID). Prints "ready" once the windows
// exist on the server, then runs until stdin closes or SIGTERM arrives.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t g_terminated = 0;
bool g_keep = false;  // stdin is not watched
sigset_t g_waitMask;  // the signal mask while waiting: SIGTERM and SIGINT let through

void onTerminate(int) {
    g_terminated = 1;
}

// SIGTERM and SIGINT are blocked except while waiting in ppoll(), so neither can slip in
// between the check of the flag and the wait.
void setUpSignals() {
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigprocmask(SIG_BLOCK, &blocked, &g_waitMask);
    sigdelset(&g_waitMask, SIGTERM);
    sigdelset(&g_waitMask, SIGINT);
}

// Waits up to timeoutMs (forever when negative) for stdin to close or SIGTERM to arrive;
// true when either has happened. Anything written to stdin is read and ignored.
bool stopRequested(int timeoutMs) {
    while (!g_terminated) {
        pollfd in{g_keep ? -1 : STDIN_FILENO, POLLIN, 0};
        const timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
        const int ready = ppoll(&in, 1, timeoutMs < 0 ? nullptr : &timeout, &g_waitMask);
        if (ready == 0)
            return false;
        if (ready < 0)
            continue;  // interrupted: the loop condition looks at the flag
        char buffer[256];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            return true;
    }
    return true;
}

void sayReady() {
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const char* message) {
    std::fprintf(stderr, "x11_titled_window: %s\n", message);
    std::exit(2);
}

struct Atoms {
    Atom netWmName;
    Atom utf8String;
    Atom netClientList;
};

Window createWindow(Display* display, int index) {
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 10 + index % 50, 10 + index % 40,
                            120, 40, 0, BlackPixel(display, screen), WhitePixel(display, screen));
    const unsigned long pid = static_cast<unsigned long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    return window;
}

void setTitle(Display* display, Window window, const Atoms& atoms, const std::string& title,
              bool legacyOnly) {
    Xutf8SetWMProperties(display, window, title.c_str(), nullptr, nullptr, 0, nullptr, nullptr,
                         nullptr);
    if (legacyOnly)
        return;
    XChangeProperty(display, window, atoms.netWmName, atoms.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
}

// WM_NAME must have come through, or the test would look for a title that is not there.
void checkWmName(Display* display, Window window) {
    XTextProperty name{};
    if (!XGetWMName(display, window, &name) || !name.value || name.nitems == 0)
        fail("WM_NAME could not be set in this locale");
    XFree(name.value);
}

void waitForStop() {
    while (!stopRequested(-1)) {
    }
}

// Destroys the windows and waits for the server to have done so: once this program has
// exited, its windows are gone. (The windows of a killed process go away whenever the
// server gets round to closing its connection.)
void destroyWindows(Display* display, const std::vector<Window>& windows) {
    for (const Window window : windows)
        XDestroyWindow(display, window);
    XSync(display, False);
}

int positiveNumber(const char* text) {
    const int n = std::atoi(text);
    if (n <= 0)
        fail("expected a positive number");
    return n;
}

void runOne(Display* display, const Atoms& atoms, int argc, char** argv) {
    bool mapped = true;
    bool legacyOnly = false;
    std::string className;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unmapped") == 0)
            mapped = false;
        else if (std::strcmp(argv[i], "--legacy") == 0)
            legacyOnly = true;
        else if (std::strcmp(argv[i], "--keep") == 0)
            g_keep = true;
        else if (std::strcmp(argv[i], "--class") == 0 && i + 1 < argc)
            className = argv[++i];
        else
            fail("unknown option");
    }
    const Window window = createWindow(display, 0);
    setTitle(display, window, atoms, argv[1], legacyOnly);
    if (!className.empty()) {
        std::string capitalised = className;
        capitalised[0] =
            static_cast<char>(std::toupper(static_cast<unsigned char>(capitalised[0])));
        XClassHint hint{className.data(), capitalised.data()};
        XSetClassHint(display, window, &hint);
    }
    if (mapped)
        XMapWindow(display, window);
    XSync(display, False);
    checkWmName(display, window);
    sayReady();
    waitForStop();
    destroyWindows(display, {window});
}

void runMany(Display* display, const Atoms& atoms, int count) {
    std::vector<Window> windows;
    for (int i = 0; i < count; ++i) {
        const Window window = createWindow(display, i);
        setTitle(display, window, atoms, "many " + std::to_string(i), false);
        XMapWindow(display, window);
        windows.push_back(window);
    }
    XSync(display, False);
    sayReady();
    waitForStop();
    destroyWindows(display, windows);
}

void runChurn(Display* display, const Atoms& atoms, int count) {
    std::vector<Window> windows;
    for (bool first = true;; first = false) {
        windows.clear();
        for (int i = 0; i < count; ++i) {
            const Window window = createWindow(display, i);
            setTitle(display, window, atoms, "churn " + std::to_string(i), false);
            XMapWindow(display, window);
            windows.push_back(window);
        }
        XSync(display, False);
        if (first)
            sayReady();
        for (const Window window : windows)
            XDestroyWindow(display, window);
        XSync(display, False);
        if (stopRequested(0))
            return;
    }
}

void runClientList(Display* display, const Atoms& atoms, int argc, char** argv) {
    std::vector<Window> windows;
    for (int i = 2; i < argc; ++i) {
        const Window window = createWindow(display, i);
        setTitle(display, window, atoms, argv[i], false);
        XMapWindow(display, window);
        windows.push_back(window);
    }
    if (windows.empty())
        fail("--client-list needs at least one title");
    std::vector<unsigned long> clients(windows.rbegin(), windows.rend());

    const Window gone = createWindow(display, 0);
    XDestroyWindow(display, gone);
    clients.insert(clients.begin() + 1, gone);

    const Window root = DefaultRootWindow(display);
    XChangeProperty(display, root, atoms.netClientList, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(clients.data()),
                    static_cast<int>(clients.size()));
    XSync(display, False);
    sayReady();
    waitForStop();
    XDeleteProperty(display, root, atoms.netClientList);
    destroyWindows(display, windows);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (!XSupportsLocale())
        std::setlocale(LC_ALL, "C.UTF-8");
    setUpSignals();
    if (argc < 2)
        fail(
            "usage: x11_titled_window <title> [--unmapped] [--legacy] | --many <n> | "
            "--churn <n> | --client-list <title>...");

    Display* display = XOpenDisplay(nullptr);
    if (!display)
        fail("cannot open the display named by $DISPLAY");
    const Atoms atoms{XInternAtom(display, "_NET_WM_NAME", False),
                      XInternAtom(display, "UTF8_STRING", False),
                      XInternAtom(display, "_NET_CLIENT_LIST", False)};

    const std::string mode = argv[1];
    if (mode == "--many" && argc == 3)
        runMany(display, atoms, positiveNumber(argv[2]));
    else if (mode == "--churn" && argc == 3)
        runChurn(display, atoms, positiveNumber(argv[2]));
    else if (mode == "--client-list")
        runClientList(display, atoms, argc, argv);
    else if (mode.rfind("--", 0) == 0)
        fail("unknown mode");
    else
        runOne(display, atoms, argc, argv);

    XCloseDisplay(display);
    return 0;
}
