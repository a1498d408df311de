#pragma once

#include <QtGlobal>

#include <functional>

QT_BEGIN_NAMESPACE
class QObject;
class QWindow;
QT_END_NAMESPACE

// What an X11 window manager says about its frames (EWMH) and Qt does not pass
// on. Elsewhere both do nothing.
namespace ferolune::ui {

// Asks the window manager for the frame it will put round the window
// (_NET_REQUEST_FRAME_EXTENTS) and waits for its answer, a fifth of a second at
// most, so that Qt knows the frame before the window is first shown.
void requestFrameExtents(QWindow *window);

// Calls `changed` whenever the window manager sets the window's frame
// (_NET_FRAME_EXTENTS), once Qt has taken it in, for as long as `context` lives.
void onFrameExtentsChanged(QWindow *window, QObject *context, const std::function<void()> &changed);

} // namespace ferolune::ui
