#include "windowing.h"

#include "application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace ferolune::ui {

namespace {

// Linux only: Windows gives a window its frame as it creates it.
#ifdef Q_OS_LINUX
// Whether the window, frame included, sits where centreOnScreen() puts it.
bool isCentred(const QWidget *window)
{
    const QMargins frame = window->windowHandle()->frameMargins();
    const QPoint corner = window->geometry().topLeft() - QPoint(frame.left(), frame.top());
    return corner == centredFramePosition(window->screen()->availableGeometry(), window->size(), frame);
}

// A window manager frames a new window as it first shows it, and may even place
// it itself. Qt then knows the frame but tells no one, so from the window's
// first exposure until it has settled, a second later, the watcher puts it back
// in the middle at that exposure and whenever it moves away: at most three
// times, so as never to fight a window manager that insists.
class SettlingWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SettlingWatcher(QWidget *window) : QObject(window), m_window(window)
    {
        window->windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && !m_settling) {
            m_settling = true;
            QTimer::singleShot(1000, this, &SettlingWatcher::stop);
        }
        // Queued: the widget learns of a move after its native window.
        if (event->type() == QEvent::Expose || event->type() == QEvent::Move)
            QMetaObject::invokeMethod(this, &SettlingWatcher::keepCentred, Qt::QueuedConnection);
        else if (event->type() == QEvent::Hide)
            stop();
        return false;
    }

private:
    void keepCentred()
    {
        if (m_settling && !isCentred(m_window) && ++m_corrections <= 3)
            centreOnScreen(m_window);
    }

    // Out of the window's children at once, so that its next showing gets a watcher of its own.
    void stop()
    {
        m_settling = false;
        setParent(nullptr);
        deleteLater();
    }

    QWidget *m_window;
    bool m_settling = false;
    int m_corrections = 0;
};
#endif

// Qt sizes a message box to its text whenever its layout asks, allowing 50
// pixels beside the caption: too few for a title bar that draws the caption
// bold beside the window's icon and up to three buttons, each about as wide as
// the title bar is high ("Quandel" is cut under openbox). So the box widens
// again each time, from the width Qt fixed, not from a size the window system
// may pass through meanwhile.
class CaptionedMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest) {
            QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
            titleFont.setBold(true);
            const QFontMetrics metrics(titleFont);
            const int titleBar = metrics.horizontalAdvance(windowTitle()) + 4 * (metrics.height() + 8) + 2 * 8;
            setFixedWidth(std::max({minimumWidth(), titleBar, 200}));
        }
        if (event->type() == QEvent::Show)
            centreOnScreen(this);
        return handled;
    }
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
    window->winId();
    QWindow *handle = window->windowHandle();
#ifdef Q_OS_LINUX
    if (!handle->isExposed() && !window->findChild<SettlingWatcher *>(QString(), Qt::FindDirectChildrenOnly))
        new SettlingWatcher(window);
#endif
    const QMargins frame = handle->frameMargins();
    const QPoint corner = centredFramePosition(window->screen()->availableGeometry(), window->size(), frame);
    // The client area's place, which is what Qt and the window manager agree on
    // whether the frame is known or not.
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
}

QPoint besideFramePosition(const QRect &available, const QRect &anchorFrame, const QSize &outer)
{
    QPoint corner;
    if (anchorFrame.right() + outer.width() <= available.right())
        corner = QPoint(anchorFrame.right() + 1, anchorFrame.top());
    else if (anchorFrame.left() - outer.width() >= available.left())
        corner = QPoint(anchorFrame.left() - outer.width(), anchorFrame.top());
    else
        corner = anchorFrame.center() - QPoint(outer.width() / 2, outer.height() / 2);
    // The title bar stays on the screen even when the window is larger than it.
    corner.setX(std::max(available.left(), std::min(corner.x(), available.right() + 1 - outer.width())));
    corner.setY(std::max(available.top(), std::min(corner.y(), available.bottom() + 1 - outer.height())));
    return corner;
}

void placeBeside(QWidget *window, const QWidget *anchor)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    window->adjustSize();
    window->winId();
    // The window has no frame yet; the anchor's is the one it will get.
    const QMargins frame = anchor->windowHandle()->frameMargins();
    const QPoint corner = besideFramePosition(anchor->screen()->availableGeometry(), anchor->frameGeometry(),
                                              window->size().grownBy(frame));
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
}

void endProgram()
{
    QCoreApplication::exit(0);
}

} // namespace ferolune::ui

#include "windowing.moc"
