// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/X11WindowList.h"

#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

// After the Qt headers: Xlib defines macros (None, Bool, Status, ...) that Qt's headers use
// as names.
#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xcb.h>

#include <cstdlib>

static_assert(std::is_same_v<Atom, unsigned long>, "the header keeps atoms as unsigned long");

namespace {

// Longest property value read, in 32-bit units. A title or client list longer than this
// (1 MiB) is cut off; the server sends only what there is, so the limit costs nothing.
constexpr long kMaxPropertyLength = 256 * 1024;

struct XFreeDeleter {
    void operator()(void* p) const {
        if (p)
            XFree(p);
    }
};

// Xlib's default error handler ends the process, and a window can be destroyed at any
// moment by its owner, so every request made while walking may fail with BadWindow.
// While a trap is alive, errors on its connection are ignored (the failed call returns
// its failure); errors on other connections go on to the handler installed before.
//
// The handler is global to the process, so traps are taken one at a time.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : m_lock(s_mutex) {
        s_display = display;
        s_previous = XSetErrorHandler(&ErrorTrap::handle);
    }

    ~ErrorTrap() {
        // Every request of a walk waits for its reply, so its errors have been handled by
        // now; the sync makes sure of it before the previous handler comes back.
        XSync(s_display, False);
        XSetErrorHandler(s_previous);
        s_display = nullptr;
        s_previous = nullptr;
    }

    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    static int handle(Display* display, XErrorEvent* event) {
        if (display == s_display)
            return 0;
        const XErrorHandler previous = s_previous;
        return previous ? previous(display, event) : 0;
    }

    // Atomic because Xlib may call the handler for another connection on another thread.
    static inline std::mutex s_mutex;
    static inline std::atomic<Display*> s_display = nullptr;
    static inline std::atomic<XErrorHandler> s_previous = nullptr;

    std::lock_guard<std::mutex> m_lock;
};

// One property of one window, as XGetWindowProperty returns it.
struct Property {
    Atom type = None;  // None when the window does not have the property
    int format = 0;
    unsigned long count = 0;  // items of `format` bits
    std::unique_ptr<unsigned char, XFreeDeleter> data;
};

// Reads a property; nullopt when the request failed, which means the window is gone.
std::optional<Property> readProperty(Display* display, Window window, Atom name) {
    Property property;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, window, name, 0, kMaxPropertyLength, False, AnyPropertyType,
                           &property.type, &property.format, &property.count, &bytesAfter, &data);
    property.data.reset(data);
    if (status != Success)
        return std::nullopt;
    if (!property.data)
        property.count = 0;
    return property;
}

}  // namespace

namespace {

struct Atoms {
    Atom netClientList;
    Atom netWmName;
    Atom utf8String;
    Atom netWmPid;
};

// The top-level windows below one root: the window manager's clients when it lists them,
// otherwise the root's children from the bottom of the stack to the top. True when the window
// manager's list was used.
bool appendTopLevelWindows(Display* display, Window root, const Atoms& atoms,
                           std::vector<Window>& windows) {
    if (const std::optional<Property> clients = readProperty(display, root, atoms.netClientList);
        clients && clients->type == XA_WINDOW && clients->format == 32) {
        // Xlib hands over 32-bit items as longs.
        const auto* ids = reinterpret_cast<const unsigned long*>(clients->data.get());
        windows.insert(windows.end(), ids, ids + clients->count);
        return true;
    }

    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return false;
    std::unique_ptr<Window, XFreeDeleter> owner(children);
    if (children)
        windows.insert(windows.end(), children, children + count);
    return false;
}

// The text of a title property: UTF8_STRING and STRING (Latin-1) directly, anything else
// (COMPOUND_TEXT mostly) through Xlib's converters in the current locale.
QString decodeText(Display* display, Atom type, int format, const unsigned char* data,
                   unsigned long count, const Atoms& atoms) {
    if (format != 8 || count == 0 || !data)
        return {};
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto size = static_cast<qsizetype>(count);
    if (type == atoms.utf8String)
        return QString::fromUtf8(bytes, size);
    if (type == XA_STRING)
        return QString::fromLatin1(bytes, size);

    XTextProperty text{const_cast<unsigned char*>(data), type, format, count};
    char** list = nullptr;
    int listCount = 0;
    // Non-negative: converted, with that many characters that had no UTF-8 form.
    if (Xutf8TextPropertyToTextList(display, &text, &list, &listCount) >= 0 && list) {
        QString result;
        for (int i = 0; i < listCount; ++i)
            result += QString::fromUtf8(list[i]);
        XFreeStringList(list);
        return result;
    }
    // No converter for this locale: the ASCII part of COMPOUND_TEXT still reads right.
    return QString::fromLatin1(bytes, size);
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeDeleter>;

// Asks for one property of every window at once and then collects the answers, so that a
// walk costs two round trips instead of one or two per window. A window that has gone
// answers with an error, which comes back here instead of going to an error handler.
std::vector<PropertyReply> readAll(xcb_connection_t* connection, const std::vector<Window>& windows,
                                   const std::vector<bool>& wanted, Atom name,
                                   uint32_t length = kMaxPropertyLength) {
    std::vector<xcb_get_property_cookie_t> cookies(windows.size());
    for (size_t i = 0; i < windows.size(); ++i) {
        if (wanted[i]) {
            cookies[i] = xcb_get_property(connection, 0, static_cast<xcb_window_t>(windows[i]),
                                          static_cast<xcb_atom_t>(name), XCB_GET_PROPERTY_TYPE_ANY,
                                          0, length);
        }
    }
    std::vector<PropertyReply> replies(windows.size());
    for (size_t i = 0; i < windows.size(); ++i) {
        if (!wanted[i])
            continue;
        xcb_generic_error_t* error = nullptr;
        replies[i].reset(xcb_get_property_reply(connection, cookies[i], &error));
        std::free(error);
    }
    return replies;
}

QString titleFromReply(Display* display, xcb_get_property_reply_t& reply, const Atoms& atoms) {
    return decodeText(display, reply.type, reply.format,
                      static_cast<const unsigned char*>(xcb_get_property_value(&reply)),
                      static_cast<unsigned long>(xcb_get_property_value_length(&reply)), atoms);
}

// The two names of WM_CLASS: instance and class, each ended by a NUL, in Latin-1.
void readClass(xcb_get_property_reply_t& reply, TopLevelWindow& window) {
    window.instanceName.clear();
    window.className.clear();
    if (reply.format != 8)
        return;
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(&reply));
    const int size = xcb_get_property_value_length(&reply);
    const QList<QByteArray> names = QByteArray(bytes, size).split('\0');
    window.instanceName = QString::fromLatin1(names.value(0));
    window.className = QString::fromLatin1(names.value(1));
}

qint64 readProcessId(xcb_get_property_reply_t& reply) {
    if (reply.format != 32 || reply.type != XCB_ATOM_CARDINAL ||
        xcb_get_property_value_length(&reply) < 4)
        return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(&reply));
}

}  // namespace

// What is known of the desktop's top-level windows. The roots report every change of their
// children and of their client list, and every known window every change of its properties,
// so a walk reads only what those reports name.
struct X11WindowList::Cache {
    struct Known {
        TopLevelWindow window;
        bool titleStale = true;
        bool detailsStale = true;
        bool watched = false;
    };

    std::vector<Window> roots;
    std::vector<bool> rootListsClients;  // the root's windows come from _NET_CLIENT_LIST
    bool listStale = true;
    std::vector<Window> order;
    std::unordered_map<Window, Known> known;

    bool anyStale() const {
        return listStale || std::any_of(known.cbegin(), known.cend(), [](const auto& k) {
                   return k.second.titleStale || k.second.detailsStale;
               });
    }

    int rootIndex(Window window) const {
        const auto it = std::find(roots.cbegin(), roots.cend(), window);
        return it == roots.cend() ? -1 : static_cast<int>(it - roots.cbegin());
    }

    // Below a root without a client list, any change of its children may change the walk.
    void structureChanged(Window root) {
        const int index = rootIndex(root);
        if (index >= 0 && !rootListsClients[static_cast<size_t>(index)])
            listStale = true;
    }

    void forget(Window window) {
        if (known.erase(window))
            order.erase(std::remove(order.begin(), order.end(), window), order.end());
    }

    void handle(const XEvent& event, const Atoms& atoms) {
        switch (event.type) {
            case PropertyNotify: {
                const XPropertyEvent& e = event.xproperty;
                if (rootIndex(e.window) >= 0) {
                    if (e.atom == atoms.netClientList)
                        listStale = true;
                    return;
                }
                const auto it = known.find(e.window);
                if (it == known.end())
                    return;
                if (e.atom == atoms.netWmName || e.atom == XA_WM_NAME)
                    it->second.titleStale = true;
                else if (e.atom == XA_WM_CLASS || e.atom == atoms.netWmPid)
                    it->second.detailsStale = true;
                return;
            }
            case DestroyNotify:
                forget(event.xdestroywindow.window);
                structureChanged(event.xdestroywindow.event);
                return;
            case CreateNotify:
                structureChanged(event.xcreatewindow.parent);
                return;
            case ReparentNotify:
                structureChanged(event.xreparent.event);
                return;
            case ConfigureNotify:
                structureChanged(event.xconfigure.event);
                return;
            case CirculateNotify:
                structureChanged(event.xcirculate.event);
                return;
            default:
                return;
        }
    }

    // Reads the top-level windows again, keeping what is known of those still there.
    void readList(Display* display, const Atoms& atoms) {
        listStale = false;
        std::vector<Window> windows;
        for (size_t r = 0; r < roots.size(); ++r)
            rootListsClients[r] = appendTopLevelWindows(display, roots[r], atoms, windows);
        std::unordered_map<Window, Known> kept;
        std::vector<Window> newOrder;
        for (const Window window : windows) {
            if (kept.count(window))
                continue;
            const auto it = known.find(window);
            kept.emplace(window, it != known.end() ? std::move(it->second) : Known{});
            newOrder.push_back(window);
        }
        known = std::move(kept);
        order = std::move(newOrder);
    }

    // Starts watching new windows and reads the stale properties, all in one batch.
    void readStale(Display* display, const Atoms& atoms) {
        xcb_connection_t* connection = XGetXCBConnection(display);
        const size_t n = order.size();
        std::vector<bool> title(n);
        std::vector<bool> details(n);
        for (size_t i = 0; i < n; ++i) {
            Known& k = known[order[i]];
            title[i] = k.titleStale;
            details[i] = k.detailsStale;
            // Watching comes before reading: a change after the read is always reported.
            if (!k.watched) {
                const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(connection, static_cast<xcb_window_t>(order[i]),
                                             XCB_CW_EVENT_MASK, &mask);
                k.watched = true;
            }
        }
        const std::vector<PropertyReply> netNames =
            readAll(connection, order, title, atoms.netWmName);
        const std::vector<PropertyReply> classes = readAll(connection, order, details, XA_WM_CLASS);
        const std::vector<PropertyReply> pids =
            readAll(connection, order, details, atoms.netWmPid, 1);
        std::vector<bool> needName(n);
        for (size_t i = 0; i < n; ++i)
            needName[i] = title[i] && netNames[i] && netNames[i]->type == XCB_ATOM_NONE;
        const std::vector<PropertyReply> names = readAll(connection, order, needName, XA_WM_NAME);

        std::vector<Window> gone;
        for (size_t i = 0; i < n; ++i) {
            Known& k = known[order[i]];
            k.window.id = order[i];
            xcb_get_property_reply_t* name = needName[i] ? names[i].get() : netNames[i].get();
            if ((title[i] && !name) || (details[i] && (!classes[i] || !pids[i]))) {
                gone.push_back(order[i]);
                continue;
            }
            if (title[i]) {
                k.window.title = titleFromReply(display, *name, atoms);
                k.titleStale = false;
            }
            if (details[i]) {
                readClass(*classes[i], k.window);
                k.window.processId = readProcessId(*pids[i]);
                k.detailsStale = false;
            }
        }
        for (const Window window : gone)
            forget(window);
    }
};

X11WindowList::X11WindowList(QString displayName) : m_displayName(std::move(displayName)) {}

X11WindowList::~X11WindowList() {
    if (m_display)
        XCloseDisplay(m_display);
}

bool X11WindowList::isConnected() {
    return ensureConnection();
}

bool X11WindowList::ensureConnection() {
    if (m_display)
        return true;
    if (m_triedToConnect)
        return false;
    m_triedToConnect = true;

    QByteArray name = m_displayName.toLocal8Bit();
    if (name.isEmpty())
        name = qgetenv("DISPLAY");
    if (name.isEmpty())
        return false;
    Display* display = XOpenDisplay(name.constData());
    if (!display)
        return false;

    char netClientList[] = "_NET_CLIENT_LIST";
    char netWmName[] = "_NET_WM_NAME";
    char utf8String[] = "UTF8_STRING";
    char netWmPid[] = "_NET_WM_PID";
    char* names[] = {netClientList, netWmName, utf8String, netWmPid};
    Atom atoms[std::size(names)] = {};
    if (!XInternAtoms(display, names, static_cast<int>(std::size(names)), False, atoms)) {
        XCloseDisplay(display);
        return false;
    }
    m_netClientList = atoms[0];
    m_netWmName = atoms[1];
    m_utf8String = atoms[2];
    m_netWmPid = atoms[3];

    m_cache = std::make_unique<Cache>();
    for (int screen = 0; screen < ScreenCount(display); ++screen) {
        const Window root = RootWindow(display, screen);
        XSelectInput(display, root, SubstructureNotifyMask | PropertyChangeMask);
        m_cache->roots.push_back(root);
        m_cache->rootListsClients.push_back(false);
    }
    m_display = display;
    return true;
}

bool X11WindowList::refresh() {
    if (!ensureConnection())
        return false;
    const Atoms atoms{m_netClientList, m_netWmName, m_utf8String, m_netWmPid};

    // One round trip, after which every change made before this call has been reported.
    XSync(m_display, False);
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        m_cache->handle(event, atoms);
    }
    if (!m_cache->anyStale())
        return true;

    ErrorTrap trap(m_display);
    if (m_cache->listStale)
        m_cache->readList(m_display, atoms);
    m_cache->readStale(m_display, atoms);
    return true;
}

QStringList X11WindowList::topLevelTitles() {
    QStringList titles;
    if (!refresh())
        return titles;
    titles.reserve(static_cast<qsizetype>(m_cache->order.size()));
    for (const Window window : m_cache->order)
        titles.append(m_cache->known[window].window.title);
    return titles;
}

QList<TopLevelWindow> X11WindowList::topLevelWindows() {
    QList<TopLevelWindow> windows;
    if (!refresh())
        return windows;
    windows.reserve(static_cast<qsizetype>(m_cache->order.size()));
    for (const Window window : m_cache->order)
        windows.append(m_cache->known[window].window);
    return windows;
}

bool X11WindowList::hasWindowTitled(const QString& title) {
    if (!refresh())
        return false;
    return std::any_of(m_cache->order.cbegin(), m_cache->order.cend(), [this, &title](Window w) {
        return m_cache->known[w].window.title == title;
    });
}
