// A window manager frames a new window as it shows it, tells the frame in
// _NET_FRAME_EXTENTS, and may move the window; the window stays centred, frame
// included. Runs on a bare X server (xvfb-run), where this test plays the
// window manager's part.

#include "ui/windowing.h"

#include <QApplication>
#include <QScreen>
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

// The test's window manager, on a connection of its own: it says that it tells
// the frames it draws, and frames and moves windows.
class WindowManager
{
public:
    WindowManager() : m_connection(xcb_connect(nullptr, nullptr))
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const xcb_atom_t frameExtents = atom("_NET_FRAME_EXTENTS");
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 1,
                            &frameExtents);
        xcb_flush(m_connection);
    }

    ~WindowManager() { xcb_disconnect(m_connection); }

    void frame(const QWidget *window)
    {
        const std::array<quint32, 4> extents{quint32(Frame.left()), quint32(Frame.right()), quint32(Frame.top()),
                                             quint32(Frame.bottom())};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()),
                            atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 32, 4, extents.data());
        xcb_flush(m_connection);
    }

    void move(const QWidget *window, const QPoint &to)
    {
        const std::array<uint32_t, 2> position{uint32_t(to.x()), uint32_t(to.y())};
        xcb_configure_window(m_connection, static_cast<xcb_window_t>(window->winId()),
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position.data());
        xcb_flush(m_connection);
    }

private:
    xcb_atom_t atom(const char *name)
    {
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, false, uint16_t(std::strlen(name)), name),
                                  nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    xcb_connection_t *m_connection;
};

// Where the window's client area goes, for a frame in the X server's pixels:
// those of the screen, which at a scale of 2 are half a pixel of the window's.
QPoint centredClientCorner(const QWidget *window, QMargins frame)
{
    frame /= window->devicePixelRatioF();
    const QRect available = window->screen()->availableGeometry();
    return ferolune::ui::centredFramePosition(available, window->size(), frame) + QPoint(frame.left(), frame.top());
}

// Where the window moves to.
class Moves : public QObject
{
public:
    QList<QPoint> places;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Move)
            places << static_cast<QWindow *>(watched)->position();
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
        m_windowManager = std::make_unique<WindowManager>();
    }

    // Every test function gets a new window, centred as the program centres its
    // windows before they show, with no frame yet.
    void init()
    {
        m_window = new QWidget;
        m_window->setFixedSize(300, 200);
        ferolune::ui::centreOnScreen(m_window);
        m_window->windowHandle()->installEventFilter(&m_moves);
        m_moves.places.clear();
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
    }

    // The frame comes as the window first shows.
    void recentresWhenFramed()
    {
        QCOMPARE(m_window->geometry().topLeft(), centredClientCorner(m_window, {}));
        m_windowManager->frame(m_window);
        show();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry().topLeft(), centredClientCorner(m_window, Frame), 800);
    }

    // A window manager that places new windows itself, after they show.
    void recentresWhenMovedAway()
    {
        show();
        m_windowManager->move(m_window, QPoint(20, 20));
        QTRY_VERIFY_WITH_TIMEOUT(m_moves.places.contains(QPoint(20, 20) / m_window->devicePixelRatioF()), 800);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry().topLeft(), centredClientCorner(m_window, {}), 800);
    }

    // Three corrections at most: a window manager that insists on its own place gets it.
    void givesWayToAnInsistingWindowManager()
    {
        show();
        const QPoint away = QPoint(20, 20) / m_window->devicePixelRatioF();
        const QPoint centred = centredClientCorner(m_window, {});
        for (int move = 1; move <= 4; ++move) {
            m_moves.places.clear();
            m_windowManager->move(m_window, QPoint(20, 20));
            QTRY_VERIFY_WITH_TIMEOUT(m_moves.places.contains(away), 800);
            // Back where the X server has it, before the next move can overtake it.
            if (move <= 3)
                QTRY_VERIFY_WITH_TIMEOUT(m_moves.places.endsWith(centred), 800);
        }
        QTest::qWait(300);
        QCOMPARE(m_window->geometry().topLeft(), away);
    }

    // Once settled, a window is the user's to move.
    void leavesASettledWindowAlone()
    {
        show();
        QTest::qWait(1300);
        m_windowManager->move(m_window, QPoint(20, 20));
        const QPoint moved = QPoint(20, 20) / m_window->devicePixelRatioF();
        QTRY_VERIFY_WITH_TIMEOUT(m_moves.places.contains(moved), 800);
        QTest::qWait(300);
        QCOMPARE(m_window->geometry().topLeft(), moved);
    }

private:
    void show()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    std::unique_ptr<WindowManager> m_windowManager;
    QWidget *m_window = nullptr;
    Moves m_moves;
};

QTEST_MAIN(TestFrameWatcher)
#include "tst_framewatcher.moc"
