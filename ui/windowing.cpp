#include "windowing.h"

#include "application.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace ferolune::ui {

void showMessage(const QString &prompt)
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle.toString(), prompt, QMessageBox::Ok);
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

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void endProgram()
{
    QCoreApplication::exit(0);
}

} // namespace ferolune::ui
