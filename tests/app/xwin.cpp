// A small X11 client for the end-to-end test: finds top-level windows by their
// exact title, reports their geometry and closes them politely, the way a
// window manager's close box does (WM_DELETE_WINDOW).
//
//   xwin wait-title TITLE TIMEOUT_MS   print the id of a mapped window with that title
//   xwin wait-gone ID TIMEOUT_MS       wait until the window is unmapped or destroyed
//   xwin geometry ID                   print "X Y WIDTH HEIGHT" of its client area
//   xwin close ID                      send WM_DELETE_WINDOW
//   xwin list                          print "ID WIDTHxHEIGHT TITLE" of every mapped window
//
// Exit status: 0 on success, 1 on a timeout or a missing window, 2 on misuse.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    if (XGetWindowProperty(dpy, w, netWmName, 0, 1024, False, utf8, &type, &format, &count, &after, &data)
            == Success
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

// Top-level windows in stacking order. There is no window manager under the
// test's X server, so the program's windows are direct children of the root.
std::vector<Window> mappedTopLevels(Display *dpy)
{
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count))
        return out;
    for (unsigned int i = 0; i < count; ++i)
        if (viewable(dpy, children[i]))
            out.push_back(children[i]);
    if (children)
        XFree(children);
    return out;
}

template<typename Predicate>
bool waitUntil(long timeoutMs, Predicate done)
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
                 "usage: xwin wait-title TITLE TIMEOUT_MS | wait-gone ID TIMEOUT_MS | geometry ID | close ID | list\n");
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
    if (command == "geometry" && argc == 3) {
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
        std::printf("%d %d %d %d\n", x, y, a.width, a.height);
        return 0;
    }
    if (command == "close" && argc == 3) {
        const Window w = parseWindow(argv[2]);
        const Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
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
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, w, False, NoEventMask, &event);
        XSync(dpy, False);
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
