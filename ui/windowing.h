#pragma once

#include <QString>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

// The few window operations the forms need, kept in one place.
namespace ferolune::ui {

// A modal box with the prompt, the application title as caption and an OK
// button only; returns once the user has dismissed it.
void showMessage(const QString &prompt);

// Shows a window without owner, application-modal and centred on the screen,
// and returns once it has been closed or hidden.
void showModal(QWidget *window);

void centreOnScreen(QWidget *window);

// Ends the program at once, with exit status 0.
void endProgram();

} // namespace ferolune::ui
