#include "windowing.h"

#include "application.h"

#include <QAbstractButton>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace ferolune::ui {

namespace {

#if QT_CONFIG(xcb)
// The X connection when the program runs on X11.
xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t frameExtentsAtom(xcb_connection_t *connection)
{
    static const xcb_atom_t atom = [connection] {
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, 18, "_NET_FRAME_EXTENTS"), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }();
    return atom;
}
#endif

constexpr int MinimumMessageBoxWidth = 200;

// How wide a title bar drawn in that font must be to show the whole caption
// beside the window's icon and up to three buttons, each about as wide as the
// title bar, a little taller than its font, is high.
int titleBarWidth(const QFont &font, const QString &caption)
{
    const QFontMetrics metrics(font);
    const int buttons = 4 * (metrics.height() + 8);
    return metrics.horizontalAdvance(caption) + buttons + 2 * 8;
}

// The frame the window manager has put round the window, as far as it has told.
// On X11 that is _NET_FRAME_EXTENTS, read afresh: Qt keeps what it first found
// and, asked while the window manager is still framing the window, measures the
// half-built frame.
QMargins frameOf(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    if (!handle || !handle->handle())
        return {};
#if QT_CONFIG(xcb)
    if (xcb_connection_t *connection = x11Connection()) {
        const auto reply = std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)>(
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, false, static_cast<xcb_window_t>(handle->winId()),
                                                    frameExtentsAtom(connection), XCB_ATOM_CARDINAL, 0, 4),
                                   nullptr),
            &std::free);
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
            return {};
        const auto *extents = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
        // left, right, top, bottom
        return QMargins(static_cast<int>(extents[0]), static_cast<int>(extents[2]), static_cast<int>(extents[1]),
                        static_cast<int>(extents[3]));
    }
#endif
    return handle->frameMargins();
}

// Until the window manager has framed a window, its frame is nothing, Qt tells
// no one when the frame comes, and a busy window manager may even place the
// window itself. So from the window's first exposure until it has settled, a
// second later, the watcher puts it back in the middle whenever the frame comes
// (on X11, when the window manager sets _NET_FRAME_EXTENTS) or the window moves
// away from there: at most a few times, so as never to fight a window manager
// that insists. A desktop without a window manager never moves it.
class FrameWatcher : public QObject, public QAbstractNativeEventFilter
{
public:
    static constexpr const char *Name = "ferolune_frame_watcher";

    explicit FrameWatcher(QWidget *window) : QObject(window), m_window(window)
    {
        setObjectName(QLatin1String(Name));
        window->installEventFilter(this);
        if (QWindow *handle = window->windowHandle())
            handle->installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_settled.setSingleShot(true);
        m_settled.setInterval(1000);
        connect(&m_settled, &QTimer::timeout, this, &FrameWatcher::stop);
    }

    ~FrameWatcher() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
#if QT_CONFIG(xcb)
        if (type == "xcb_generic_event_t") {
            const auto *event = static_cast<const xcb_generic_event_t *>(message);
            const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY
                && property->atom == frameExtentsAtom(x11Connection()) && m_window->windowHandle()
                && property->window == m_window->windowHandle()->winId())
                QMetaObject::invokeMethod(this, &FrameWatcher::keepCentred, Qt::QueuedConnection);
        }
#else
        Q_UNUSED(type);
        Q_UNUSED(message);
#endif
        return false;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            // The widget gets its native window when it is first shown.
            if (watched == m_window && m_window->windowHandle())
                m_window->windowHandle()->installEventFilter(this);
            break;
        case QEvent::Hide:
            if (watched == m_window)
                stop();
            break;
        case QEvent::Expose:
            if (watched == m_window->windowHandle() && !m_settled.isActive())
                m_settled.start();
            keepCentred();
            break;
        case QEvent::Move:
            if (watched == m_window->windowHandle())
                keepCentred();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void keepCentred()
    {
        const QScreen *screen = m_window->screen();
        if (objectName().isEmpty() || !m_settled.isActive() || !screen)
            return;
        const QMargins frame = frameOf(m_window);
        const QPoint corner = m_window->geometry().topLeft() - QPoint(frame.left(), frame.top());
        if (corner == centredFramePosition(screen->availableGeometry(), m_window->size(), frame))
            return;
        if (++m_corrections > 3)
            return stop();
        centreOnScreen(m_window);
    }

    void stop()
    {
        setObjectName(QString());
        QCoreApplication::instance()->removeNativeEventFilter(this);
        m_window->removeEventFilter(this);
        if (QWindow *handle = m_window->windowHandle())
            handle->removeEventFilter(this);
        deleteLater();
    }

    QWidget *m_window;
    QTimer m_settled;
    int m_corrections = 0;
};

// Qt sizes a message box to what its layout needs whenever the layout changes;
// a strut across the bottom of the layout makes the box wide enough for its
// caption, however often Qt sizes it.
class CaptionedMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        if (auto *grid = qobject_cast<QGridLayout *>(layout())) {
            if (!m_captionStrut) {
                m_captionStrut = new QSpacerItem(0, 0);
                grid->addItem(m_captionStrut, grid->rowCount(), 0, 1, grid->columnCount());
            }
            // Title bars often draw their captions bold.
            QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
            titleFont.setBold(true);
            const QMargins margins = grid->contentsMargins() + contentsMargins();
            const int width = std::max(MinimumMessageBoxWidth, titleBarWidth(titleFont, windowTitle()));
            m_captionStrut->changeSize(width - margins.left() - margins.right(), 0, QSizePolicy::Fixed,
                                       QSizePolicy::Fixed);
            grid->invalidate();
        }
        QMessageBox::showEvent(event);
        centreOnScreen(this);
    }

private:
    QSpacerItem *m_captionStrut = nullptr;
};

} // namespace

void showMessage(const QString &prompt)
{
    CaptionedMessageBox box(QMessageBox::NoIcon, ApplicationTitle.toString(), prompt, QMessageBox::Ok);
    // Some Linux themes put a check mark on OK; the box is meant to be plain.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

void showModal(QWidget *window)
{
    window->setWindowModality(Qt::ApplicationModal);
    centreOnScreen(window);
    window->show();
    window->raise();
    window->activateWindow();

    QEventLoop loop;
    QObject::connect(window->windowHandle(), &QWindow::visibleChanged, &loop, [&loop](bool visible) {
        if (!visible)
            loop.quit();
    });
    if (window->isVisible())
        loop.exec(QEventLoop::DialogExec);
}

QPoint centredFramePosition(const QRect &available, const QSize &clientSize, const QMargins &frame)
{
    const QSize outer = clientSize.grownBy(frame);
    return available.topLeft()
        + QPoint(std::max(0, (available.width() - outer.width()) / 2),
                 std::max(0, (available.height() - outer.height()) / 2));
}

void centreOnScreen(QWidget *window)
{
    // On Wayland the compositor places the windows; they cannot place themselves.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins frame = frameOf(window);
    const QPoint corner = centredFramePosition(screen->availableGeometry(), window->size(), frame);
    // The client area's place, which is what Qt and the window manager agree on
    // whether the frame is known or not.
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
    const QWindow *handle = window->windowHandle();
    if ((!handle || !handle->isExposed())
        && !window->findChild<QObject *>(QLatin1String(FrameWatcher::Name), Qt::FindDirectChildrenOnly))
        new FrameWatcher(window);
}

void endProgram()
{
    QCoreApplication::exit(0);
}

} // namespace ferolune::ui
