#include "platform/X11WindowList.h"

#include <QByteArray>

#include <atomic>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
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
    char* names[] = {netClientList, netWmName, utf8String};
    Atom atoms[std::size(names)] = {};
    if (!XInternAtoms(display, names, static_cast<int>(std::size(names)), False, atoms)) {
        XCloseDisplay(display);
        return false;
    }
    m_netClientList = atoms[0];
    m_netWmName = atoms[1];
    m_utf8String = atoms[2];
    m_display = display;
    return true;
}

namespace {

struct Atoms {
    Atom netClientList;
    Atom netWmName;
    Atom utf8String;
};

// The top-level windows below one root: the window manager's clients when it lists them,
// otherwise the root's children from the bottom of the stack to the top.
void appendTopLevelWindows(Display* display, Window root, const Atoms& atoms,
                           std::vector<Window>& windows) {
    if (const std::optional<Property> clients = readProperty(display, root, atoms.netClientList);
        clients && clients->type == XA_WINDOW && clients->format == 32) {
        // Xlib hands over 32-bit items as longs.
        const auto* ids = reinterpret_cast<const unsigned long*>(clients->data.get());
        windows.insert(windows.end(), ids, ids + clients->count);
        return;
    }

    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return;
    std::unique_ptr<Window, XFreeDeleter> owner(children);
    if (children)
        windows.insert(windows.end(), children, children + count);
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
                                   const std::vector<bool>& wanted, Atom name) {
    std::vector<xcb_get_property_cookie_t> cookies(windows.size());
    for (size_t i = 0; i < windows.size(); ++i) {
        if (wanted[i]) {
            cookies[i] = xcb_get_property(connection, 0, static_cast<xcb_window_t>(windows[i]),
                                          static_cast<xcb_atom_t>(name), XCB_GET_PROPERTY_TYPE_ANY,
                                          0, static_cast<uint32_t>(kMaxPropertyLength));
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

// Calls visit(title) for each top-level window until it returns true; returns whether it did.
template <typename Visit>
bool walkTitles(Display* display, const Atoms& atoms, Visit&& visit) {
    ErrorTrap trap(display);
    std::vector<Window> windows;
    for (int screen = 0; screen < ScreenCount(display); ++screen)
        appendTopLevelWindows(display, RootWindow(display, screen), atoms, windows);
    xcb_connection_t* connection = XGetXCBConnection(display);

    // _NET_WM_NAME of every window first; WM_NAME only of those that lack it.
    const std::vector<PropertyReply> netNames =
        readAll(connection, windows, std::vector<bool>(windows.size(), true), atoms.netWmName);
    std::vector<bool> needName(windows.size());
    for (size_t i = 0; i < windows.size(); ++i)
        needName[i] = netNames[i] && netNames[i]->type == XCB_ATOM_NONE;
    const std::vector<PropertyReply> names = readAll(connection, windows, needName, XA_WM_NAME);

    for (size_t i = 0; i < windows.size(); ++i) {
        xcb_get_property_reply_t* reply = needName[i] ? names[i].get() : netNames[i].get();
        if (!reply)
            continue;  // the window has gone
        if (visit(titleFromReply(display, *reply, atoms)))
            return true;
    }
    return false;
}

}  // namespace

QStringList X11WindowList::topLevelTitles() {
    QStringList titles;
    if (!ensureConnection())
        return titles;
    const Atoms atoms{m_netClientList, m_netWmName, m_utf8String};
    walkTitles(m_display, atoms, [&titles](const QString& title) {
        titles.append(title);
        return false;
    });
    return titles;
}

bool X11WindowList::hasWindowTitled(const QString& title) {
    if (!ensureConnection())
        return false;
    const Atoms atoms{m_netClientList, m_netWmName, m_utf8String};
    return walkTitles(m_display, atoms,
                      [&title](const QString& candidate) { return candidate == title; });
}
