// A small X11 client for the end-to-end test: finds the programs' windows by
// their exact title, reports their geometry and closes them politely, the way a
// window manager's close box does (WM_DELETE_WINDOW). Under a window manager
// the windows it names are the client windows inside the frames.
//
//   xwin wait-title TITLE TIMEOUT_MS   print the id of a mapped window with that title
//   xwin wait-gone ID TIMEOUT_MS       wait until the window is unmapped or destroyed
//   xwin geometry ID                   print "X Y WIDTH HEIGHT" of its client area
//   xwin frame ID                      print "X Y WIDTH HEIGHT" of the window with the frame
//                                      the window manager drew round it (_NET_FRAME_EXTENTS)
//   xwin workarea                      print "X Y WIDTH HEIGHT" of the screen less panels
//   xwin panel HEIGHT                  show a panel that keeps HEIGHT pixels at the bottom of
//                                      the screen, as a desktop's task bar does, until killed
//   xwin close ID                      send WM_DELETE_WINDOW
//   xwin list                          print "ID WIDTHxHEIGHT TITLE" of every mapped window
//
// Exit status: 0 on success, 1 on a timeout or a missing window, 2 on misuse.

#include "close_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

bool g_badWindow = false;

int ignoreBadWindow(Display *, XErrorEvent *error)
{
    // Windows may vanish between listing and asking about them.
    if (error->error_code == BadWindow || error->error_code == BadMatch || error->error_code == BadDrawable) {
        g_badWindow = true;
        return 0;
    }
    std::fprintf(stderr, "xwin: X error %d\n", error->error_code);
    return 0;
}

std::optional<std::string> title(Display *dpy, Window w)
{
    const Atom netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(dpy, w, netWmName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success
        && data) {
        std::string s(reinterpret_cast<const char *>(data), count);
        XFree(data);
        if (type == utf8)
            return s;
    }
    XTextProperty text;
    if (XGetWMName(dpy, w, &text) && text.value) {
        std::string s(reinterpret_cast<const char *>(text.value), text.nitems);
        XFree(text.value);
        return s;
    }
    return std::nullopt;
}

bool viewable(Display *dpy, Window w, XWindowAttributes *attributes = nullptr)
{
    XWindowAttributes a;
    g_badWindow = false;
    const Status ok = XGetWindowAttributes(dpy, w, &a);
    XSync(dpy, False);
    if (!ok || g_badWindow)
        return false;
    if (attributes)
        *attributes = a;
    return a.map_state == IsViewable;
}

// The 32-bit values (cardinals, window ids) of a window property, or nothing
// when the window lacks it.
std::vector<long> cardinals(Display *dpy, Window w, const char *name)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 64, False, AnyPropertyType, &type, &format, &count,
                           &after, &data)
            == Success
        && data) {
        if (format == 32)
            values.assign(reinterpret_cast<long *>(data), reinterpret_cast<long *>(data) + count);
        XFree(data);
    }
    return values;
}

bool hasWmState(Display *dpy, Window w)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
    g_badWindow = false;
    const bool found =
        XGetWindowProperty(dpy, w, wmState, 0, 0, False, AnyPropertyType, &type, &format, &count, &after, &data)
            == Success
        && type != None;
    if (data)
        XFree(data);
    return found && !g_badWindow;
}

// The window a program made inside a window manager's frame: the one below it
// that carries WM_STATE, as ICCCM has it.
std::optional<Window> clientBelow(Display *dpy, Window w)
{
    if (hasWmState(dpy, w))
        return w;
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &count))
        return std::nullopt;
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = clientBelow(dpy, children[i]);
    if (children)
        XFree(children);
    return found;
}

// The programs' windows in stacking order: the client inside each frame, or,
// where there is no window manager, and for popups, the top-level windows
// themselves.
std::vector<Window> mappedTopLevels(Display *dpy)
{
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count))
        return out;
    const std::vector<long> manager = cardinals(dpy, root, "_NET_SUPPORTING_WM_CHECK");
    for (unsigned int i = 0; i < count; ++i) {
        const std::optional<Window> client = clientBelow(dpy, children[i]);
        XWindowAttributes a;
        if (!viewable(dpy, children[i], &a) || !viewable(dpy, client.value_or(children[i])))
            continue;
        // Under a window manager an unframed window is either one of its own or
        // a popup menu or tooltip of a program, which bypasses it.
        if (!manager.empty() && !client && (static_cast<long>(children[i]) == manager.front() || !a.override_redirect))
            continue;
        out.push_back(client.value_or(children[i]));
    }
    if (children)
        XFree(children);
    return out;
}

template<typename Predicate> bool waitUntil(long timeoutMs, Predicate done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

Window parseWindow(const char *text)
{
    return static_cast<Window>(std::strtoul(text, nullptr, 0));
}

int usage()
{
    std::fprintf(stderr,
                 "usage: xwin wait-title TITLE TIMEOUT_MS | wait-gone ID TIMEOUT_MS | geometry ID | frame ID | "
                 "workarea | panel HEIGHT | close ID | list\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "xwin: cannot open display\n");
        return 1;
    }
    XSetErrorHandler(ignoreBadWindow);
    const std::string command = argv[1];

    if (command == "wait-title" && argc == 4) {
        const std::string wanted = argv[2];
        Window found = 0;
        const bool ok = waitUntil(std::atol(argv[3]), [&] {
            for (Window w : mappedTopLevels(dpy)) {
                if (title(dpy, w) == wanted) {
                    found = w;
                    return true;
                }
            }
            return false;
        });
        if (!ok) {
            std::fprintf(stderr, "xwin: no window titled \"%s\" appeared\n", wanted.c_str());
            return 1;
        }
        std::printf("%lu\n", found);
        return 0;
    }
    if (command == "wait-gone" && argc == 4) {
        const Window w = parseWindow(argv[2]);
        if (!waitUntil(std::atol(argv[3]), [&] { return !viewable(dpy, w); })) {
            std::fprintf(stderr, "xwin: window %lu is still shown\n", w);
            return 1;
        }
        return 0;
    }
    if ((command == "geometry" || command == "frame") && argc == 3) {
        const Window w = parseWindow(argv[2]);
        XWindowAttributes a;
        if (!viewable(dpy, w, &a)) {
            std::fprintf(stderr, "xwin: window %lu is not shown\n", w);
            return 1;
        }
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
        int width = a.width;
        int height = a.height;
        if (command == "frame") {
            const std::vector<long> extents = cardinals(dpy, w, "_NET_FRAME_EXTENTS"); // left, right, top, bottom
            if (extents.size() == 4) {
                x -= static_cast<int>(extents[0]);
                y -= static_cast<int>(extents[2]);
                width += static_cast<int>(extents[0] + extents[1]);
                height += static_cast<int>(extents[2] + extents[3]);
            }
        }
        std::printf("%d %d %d %d\n", x, y, width, height);
        return 0;
    }
    if (command == "workarea" && argc == 2) {
        const std::vector<long> area = cardinals(dpy, DefaultRootWindow(dpy), "_NET_WORKAREA");
        if (area.size() >= 4)
            std::printf("%ld %ld %ld %ld\n", area[0], area[1], area[2], area[3]);
        else
            std::printf("0 0 %d %d\n", DisplayWidth(dpy, DefaultScreen(dpy)), DisplayHeight(dpy, DefaultScreen(dpy)));
        return 0;
    }
    if (command == "panel" && argc == 3) {
        const int height = std::atoi(argv[2]);
        const int width = DisplayWidth(dpy, DefaultScreen(dpy));
        const int bottom = DisplayHeight(dpy, DefaultScreen(dpy));
        const Window panel =
            XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, bottom - height, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), 0, 0, 0x404040);
        XStoreName(dpy, panel, "xwin panel");
        // Where it asks to be: a window manager already running places windows that do not say so.
        XSizeHints place{};
        place.flags = USPosition | USSize;
        place.x = 0;
        place.y = bottom - height;
        place.width = width;
        place.height = height;
        XSetWMNormalHints(dpy, panel, &place);
        Atom dock = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DOCK", False);
        XChangeProperty(dpy, panel, XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(&dock), 1);
        // left, right, top, bottom, then the start and end of each along its edge
        long strut[12] = {0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, width - 1};
        XChangeProperty(dpy, panel, XInternAtom(dpy, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(strut), 12);
        XChangeProperty(dpy, panel, XInternAtom(dpy, "_NET_WM_STRUT", False), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(strut), 4);
        XMapWindow(dpy, panel);
        XFlush(dpy);
        for (XEvent event;;)
            XNextEvent(dpy, &event);
    }
    if (command == "close" && argc == 3) {
        const Window w = parseWindow(argv[2]);
        const Atom deleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
        Atom *supported = nullptr;
        int count = 0;
        bool polite = false;
        if (XGetWMProtocols(dpy, w, &supported, &count)) {
            for (int i = 0; i < count; ++i)
                polite = polite || supported[i] == deleteWindow;
            XFree(supported);
        }
        if (!polite) {
            std::fprintf(stderr, "xwin: window %lu does not take WM_DELETE_WINDOW\n", w);
            return 1;
        }
        closeWindow(dpy, w);
        return 0;
    }
    if (command == "list" && argc == 2) {
        for (Window w : mappedTopLevels(dpy)) {
            XWindowAttributes a;
            if (viewable(dpy, w, &a))
                std::printf("%lu %dx%d %s\n", w, a.width, a.height, title(dpy, w).value_or("").c_str());
        }
        return 0;
    }
    return usage();
}
