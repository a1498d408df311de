// A window manager frames a new window, tells the frame in _NET_FRAME_EXTENTS,
// and may move the window; the window stays centred, frame included. Runs on a
// bare X server (xvfb-run), where this test plays the window manager's part.

#include "ui/windowing.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The frame the test's window manager puts round a window.
constexpr QMargins Frame(4, 30, 4, 6);

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, false, uint16_t(std::strlen(name)), name), nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The test's window manager, on a connection of its own: it says what it
// supports, answers requests for the frame when told to, announces frames and
// moves windows.
class WindowManager : public QObject
{
public:
    WindowManager() : m_connection(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        const std::array<xcb_atom_t, 2> supported{atom(m_connection, "_NET_FRAME_EXTENTS"),
                                                  atom(m_connection, "_NET_REQUEST_FRAME_EXTENTS")};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, atom(m_connection, "_NET_SUPPORTED"),
                            XCB_ATOM_ATOM, 32, supported.size(), supported.data());
        xcb_flush(m_connection);
        auto *notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &WindowManager::read);
    }

    ~WindowManager() override { xcb_disconnect(m_connection); }

    bool answersRequests = false;

    void announceFrame(const QWidget *window) { announceFrame(static_cast<xcb_window_t>(window->winId())); }

    void move(const QWidget *window, const QPoint &to)
    {
        const std::array<uint32_t, 2> position{uint32_t(to.x()), uint32_t(to.y())};
        xcb_configure_window(m_connection, static_cast<xcb_window_t>(window->winId()),
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position.data());
        xcb_flush(m_connection);
    }

private:
    void announceFrame(xcb_window_t window)
    {
        const std::array<quint32, 4> extents{quint32(Frame.left()), quint32(Frame.right()), quint32(Frame.top()),
                                             quint32(Frame.bottom())};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(m_connection, "_NET_FRAME_EXTENTS"),
                            XCB_ATOM_CARDINAL, 32, 4, extents.data());
        xcb_flush(m_connection);
    }

    void read()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event);
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && answersRequests
                && message->type == atom(m_connection, "_NET_REQUEST_FRAME_EXTENTS"))
                announceFrame(message->window);
            std::free(event);
        }
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};

// Where the window's client area goes, for a frame in the X server's pixels:
// those of the screen, which at a scale of 2 are half a pixel of the window's.
QPoint centredClientCorner(const QWidget *window, QMargins frame)
{
    frame /= window->devicePixelRatioF();
    const QRect available = window->screen()->availableGeometry();
    return ferolune::ui::centredFramePosition(available, window->size(), frame) + QPoint(frame.left(), frame.top());
}

// Where the window is when it first shows, before anyone can correct it, and
// where it moves to.
class Places : public QObject
{
public:
    QPoint firstShown;
    QList<QPoint> moves;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QPoint place = static_cast<QWindow *>(watched)->position();
        if (event->type() == QEvent::Expose && firstShown.isNull())
            firstShown = place;
        else if (event->type() == QEvent::Move)
            moves << place;
        return false;
    }
};

} // namespace

class TestFrameWatcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        m_windowManager = new WindowManager;
    }

    void cleanupTestCase() { delete m_windowManager; }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        m_windowManager->answersRequests = false;
    }

    void learnsTheFrameBeforeShowing()
    {
        m_windowManager->answersRequests = true;
        Places places;
        show(&places);
        QCOMPARE(places.firstShown, centredClientCorner(m_window, Frame));
    }

    void recentresWhenTheFrameComes()
    {
        show();
        QCOMPARE(m_window->geometry().topLeft(), centredClientCorner(m_window, {}));
        m_windowManager->announceFrame(m_window);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry().topLeft(), centredClientCorner(m_window, Frame), 800);
    }

    // A window manager that places new windows itself, after they show.
    void recentresWhenMovedAway()
    {
        Places places;
        show(&places);
        m_windowManager->move(m_window, QPoint(20, 20));
        QTRY_VERIFY_WITH_TIMEOUT(places.moves.contains(QPoint(20, 20) / m_window->devicePixelRatioF()), 800);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry().topLeft(), centredClientCorner(m_window, {}), 800);
    }

    // Once settled, a window is the user's to move: a later frame change
    // (a theme switch) leaves it where it is.
    void leavesASettledWindowAlone()
    {
        show();
        QTest::qWait(1300);
        const QPoint settled = m_window->geometry().topLeft();
        m_windowManager->announceFrame(m_window);
        QTest::qWait(300);
        QCOMPARE(m_window->geometry().topLeft(), settled);
    }

private:
    // A new window, centred and shown as the program shows its windows.
    void show(QObject *filter = nullptr)
    {
        m_window = new QWidget;
        m_window->setFixedSize(300, 200);
        ferolune::ui::centreOnScreen(m_window);
        if (filter)
            m_window->windowHandle()->installEventFilter(filter);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    WindowManager *m_windowManager = nullptr;
    QWidget *m_window = nullptr;
};

QTEST_MAIN(TestFrameWatcher)
#include "tst_framewatcher.moc"
