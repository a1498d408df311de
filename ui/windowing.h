#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

// The few window operations the forms need, kept in one place.
namespace ferolune::ui {

// A modal box with the prompt, the application title as caption and an OK
// button only; returns once the user has dismissed it. The box is wide enough
// for the title bar to show the whole caption.
void showMessage(const QString &prompt);

// Shows a window without owner, application-modal and centred on the screen,
// and returns once it has been closed or hidden.
void showModal(QWidget *window);

// Centres the window, frame included, on the available area of its screen. A
// window not shown yet is centred once more when it first shows, with the frame
// the window manager then puts round it, and whenever the window manager moves
// it in its first second.
void centreOnScreen(QWidget *window);

// Where the top-left corner of the frame goes for a window of that client size
// and frame to sit in the middle of the available area. A window larger than
// the area keeps its top-left corner, and so its title bar, inside it.
QPoint centredFramePosition(const QRect &available, const QSize &clientSize, const QMargins &frame);

// Puts a window not shown yet beside the anchor window, frames included: to
// its right, else to its left, else centred on it, and inside the available area.
void placeBeside(QWidget *window, const QWidget *anchor);

// Where the top-left corner of the frame goes for a window of that outer size
// beside the anchor's frame.
QPoint besideFramePosition(const QRect &available, const QRect &anchorFrame, const QSize &outer);

// Ends the program at once, with exit status 0.
void endProgram();

} // namespace ferolune::ui
