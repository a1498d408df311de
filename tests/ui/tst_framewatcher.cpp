// A window manager frames a new window some time after it appears and tells
// so in _NET_FRAME_EXTENTS; the window then moves to stay centred, frame
// included. Runs on a bare X server (xvfb-run), where this test plays the
// window manager's part.

#include "ui/windowing.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace {

xcb_connection_t *connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

// What a window manager does once its frame is round the window.
void announceFrame(const QWidget *window, const QMargins &frame)
{
    xcb_connection_t *c = connection();
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, false, 18, "_NET_FRAME_EXTENTS"), nullptr), &std::free);
    QVERIFY(atom);
    const std::array<quint32, 4> extents{quint32(frame.left()), quint32(frame.right()), quint32(frame.top()),
                                         quint32(frame.bottom())};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), atom->atom,
                        XCB_ATOM_CARDINAL, 32, 4, extents.data());
    xcb_flush(c);
}

QPoint centredClientCorner(const QWidget *window, const QMargins &frame)
{
    const QRect available = window->screen()->availableGeometry();
    return ferolune::ui::centredFramePosition(available, window->size(), frame) + QPoint(frame.left(), frame.top());
}

} // namespace

// The frame the test's window manager puts round a window.
constexpr QMargins Frame(4, 30, 4, 6);

class TestFrameWatcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
    }

    // Every test function gets a new window, centred and shown as the program
    // shows its windows, with no frame yet.
    void init()
    {
        m_window = new QWidget;
        m_window->setFixedSize(300, 200);
        ferolune::ui::centreOnScreen(m_window);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
    }

    void recentresWhenTheFrameComes()
    {
        QCOMPARE(m_window->geometry().topLeft(), centredClientCorner(m_window, {}));
        announceFrame(m_window, Frame);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry().topLeft(), centredClientCorner(m_window, Frame), 800);
    }

    // Once settled, a window is the user's to move: a later frame change
    // (a theme switch) leaves it where it is.
    void leavesASettledWindowAlone()
    {
        QTest::qWait(1300);
        const QPoint settled = m_window->geometry().topLeft();
        announceFrame(m_window, Frame);
        QTest::qWait(300);
        QCOMPARE(m_window->geometry().topLeft(), settled);
    }

private:
    QWidget *m_window = nullptr;
};

QTEST_MAIN(TestFrameWatcher)
#include "tst_framewatcher.moc"
