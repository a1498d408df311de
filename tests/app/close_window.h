#pragma once

// Shared by the end-to-end test's X11 client and the start-up benchmark.

#include <X11/Xlib.h>

#include <cstring>

// Asks `window` to close, as a window manager's close box does (ICCCM WM_DELETE_WINDOW).
inline void closeWindow(Display *dpy, Window window)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, window, False, NoEventMask, &event);
    XSync(dpy, False);
}
