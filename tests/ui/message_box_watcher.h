#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// What a message box showed the user.
struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    Qt::WindowModality modality = Qt::NonModal;
    bool buttonIcons = false;
};

// While it lives, answers every message box that opens: notes what the box
// showed and presses its OK button (or closes it when there is none), so a
// handler that shows boxes returns and the boxes can be counted afterwards.
class MessageBoxWatcher : public QObject
{
public:
    MessageBoxWatcher()
    {
        connect(&timer, &QTimer::timeout, this, &MessageBoxWatcher::answer);
        timer.start(5);
    }

    QList<ShownBox> boxes;

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        ShownBox shown{box->windowTitle(), box->text(), box->icon(), {}, box->windowModality()};
        for (const QAbstractButton *button : box->buttons()) {
            shown.buttons << button->text();
            shown.buttonIcons = shown.buttonIcons || !button->icon().isNull();
        }
        boxes << shown;
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->close();
    }

    QTimer timer;
};
