#include "windowing_x11.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace ferolune::ui {

#if QT_CONFIG(xcb)

namespace {

template<typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, false, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t rootWindow(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// Whether a window manager runs that names the request in _NET_SUPPORTED.
bool windowManagerSupports(xcb_connection_t *connection, xcb_atom_t request)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, false, rootWindow(connection),
                                                atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096),
                               nullptr),
        &std::free);
    if (!reply || reply->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const auto *end = atoms + xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, end, request) != end;
}

class FrameExtentsFilter : public QObject, public QAbstractNativeEventFilter
{
public:
    FrameExtentsFilter(QWindow *window, QObject *context, const std::function<void()> &changed)
        : QObject(context),
          m_window(static_cast<xcb_window_t>(window->winId())),
          m_atom(atom(x11Connection(), "_NET_FRAME_EXTENTS")),
          m_changed(changed)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~FrameExtentsFilter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_property_notify_event_t *>(message);
        // Queued, so that Qt, which sees the event after this filter, has read the new frame.
        if (type == "xcb_generic_event_t" && (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY
            && event->window == m_window && event->atom == m_atom)
            QMetaObject::invokeMethod(this, m_changed, Qt::QueuedConnection);
        return false;
    }

private:
    xcb_window_t m_window;
    xcb_atom_t m_atom;
    std::function<void()> m_changed;
};

} // namespace

void requestFrameExtents(QWindow *window)
{
    xcb_connection_t *connection = x11Connection();
    if (!connection || !windowManagerSupports(connection, atom(connection, "_NET_REQUEST_FRAME_EXTENTS")))
        return;
    QEventLoop loop;
    onFrameExtentsChanged(window, &loop, [&loop] { loop.quit(); });
    QTimer::singleShot(200, &loop, &QEventLoop::quit);

    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = static_cast<xcb_window_t>(window->winId());
    request.type = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(connection, false, rootWindow(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(connection);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void onFrameExtentsChanged(QWindow *window, QObject *context, const std::function<void()> &changed)
{
    if (x11Connection())
        new FrameExtentsFilter(window, context, changed);
}

#else

void requestFrameExtents(QWindow *) {}

void onFrameExtentsChanged(QWindow *, QObject *, const std::function<void()> &) {}

#endif

} // namespace ferolune::ui
