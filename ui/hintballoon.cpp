#include "hintballoon.h"

#include <QApplication>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTimerEvent>
#include <QToolTip>

namespace ferolune::ui {

HintBalloon::HintBalloon(QWidget *parent) : QLabel(parent, Qt::ToolTip | Qt::BypassGraphicsProxyWidget)
{
    // What the user typed is echoed as typed, never taken for markup.
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Dressed as Qt dresses its own tooltips.
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setIndent(1);
    setWindowOpacity(style()->styleHint(QStyle::SH_ToolTipLabel_Opacity, nullptr, this) / 255.0);
}

void HintBalloon::showAt(const QWidget *box, const QString &text)
{
    // Hidden first, so that a screen reader announces a new hint as it appears.
    hide();
    setText(text);
    // Not adjustSize(), which keeps a window to two thirds of the screen.
    resize(sizeHint());

    const QRect available = box->screen()->availableGeometry();
    const QPoint below = box->mapToGlobal(QPoint(0, box->height() + 2));
    QPoint at = below;
    if (at.y() + height() > available.bottom())
        at.setY(box->mapToGlobal(QPoint(0, -2)).y() - height());
    // Within its window where it fits: on Wayland the window's place on the
    // screen is unknown, so the screen's edges alone do not keep it in view.
    const QWidget *window = box->window();
    const QRect frame(window->mapToGlobal(QPoint(0, 0)), window->size());
    at.setX(qMax(frame.left(), qMin(at.x(), frame.right() + 1 - width())));
    at.setX(qBound(available.left(), at.x(), qMax(available.left(), available.right() + 1 - width())));
    at.setY(qMax(available.top(), at.y()));
    move(at);

    qApp->installEventFilter(this);
    // Qt's own tooltips stay this long.
    m_expiry.start(10000 + 40 * qMax(0, int(text.size()) - 100), this);
    show();
}

// QToolTip goes whenever the pointer leaves any widget and stays through key
// presses; this one waits for the user to act.
bool HintBalloon::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::Wheel:
        hide();
        break;
    case QEvent::Move:
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
        // It would be left behind by its window.
        if (watched == parentWidget())
            hide();
        break;
    default:
        break;
    }
    return false;
}

void HintBalloon::paintEvent(QPaintEvent *event)
{
    QStylePainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    painter.drawPrimitive(QStyle::PE_PanelTipLabel, frame);
    painter.end();
    QLabel::paintEvent(event);
}

void HintBalloon::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_expiry.timerId())
        hide();
    else
        QLabel::timerEvent(event);
}

void HintBalloon::hideEvent(QHideEvent *event)
{
    m_expiry.stop();
    qApp->removeEventFilter(this);
    QLabel::hideEvent(event);
}

} // namespace ferolune::ui
