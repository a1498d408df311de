#pragma once

// What the window tests share: the application's set-up, a fresh main window
// for every test function, the forms' twips, the centring check and a watcher
// that answers message boxes.

#include "ui/application.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QTimer>

using ferolune::ui::Form1;
using ferolune::ui::Form2;

// The forms are laid out in twips, 15 to a pixel.
inline QRect fromTwips(int left, int top, int width, int height)
{
    constexpr int TwipsPerPixel = 15;
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel);
}

// The project's version as the program spells it: "1.00", and "1.0" in the
// main window's caption.
inline QString displayVersion()
{
    return QStringLiteral("%1.%2").arg(FEROLUNE_VERSION_MAJOR).arg(FEROLUNE_VERSION_MINOR, 2, 10, QLatin1Char('0'));
}

inline QString captionVersion()
{
    return QStringLiteral("%1.%2").arg(FEROLUNE_VERSION_MAJOR).arg(FEROLUNE_VERSION_MINOR);
}

// Centred, frame included, on the screen's available area, give or take the
// pixel that halving an odd difference loses.
inline bool isCentred(const QWidget *window)
{
    const QRect available = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    return qAbs(frame.center().x() - available.center().x()) <= 1
        && qAbs(frame.center().y() - available.center().y()) <= 1;
}

// What a message box showed the user.
struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    Qt::WindowModality modality = Qt::NonModal;
    bool buttonIcons = false;
    int width = 0;
    bool centred = false;
};

// While it lives, answers every message box that opens: notes what the box
// showed and presses its OK button (or closes it when there is none), so a
// handler that shows boxes returns and the boxes can be counted afterwards.
class MessageBoxWatcher : public QObject
{
public:
    MessageBoxWatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::answer);
        m_timer.start(5);
    }

    QList<ShownBox> boxes;

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        ShownBox shown{box->windowTitle(),    box->text(), box->icon(),  {},
                       box->windowModality(), false,       box->width(), isCentred(box)};
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

    QTimer m_timer;
};

// Every test function gets a new main window, shown and active.
class MainWindowTest : public QObject
{
    Q_OBJECT

protected:
    template<typename T = QWidget> T *child(const char *name) const
    {
        auto *widget = m_form->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }

    // Types the three entries as a user would, replacing what they held.
    void enter(const QString &ra, const QString &rb, const QString &c)
    {
        const QList<std::pair<const char *, QString>> entries{{"Text1", ra}, {"Text2", rb}, {"Text3", c}};
        for (const auto &[name, text] : entries) {
            auto *box = child<QLineEdit>(name);
            box->clear();
            QTest::keyClicks(box, text);
        }
    }

    // The texts of the T1, T2 and T boxes.
    QStringList results() const
    {
        return {child<QLineEdit>("Text4")->text(), child<QLineEdit>("Text5")->text(),
                child<QLineEdit>("Text6")->text()};
    }

    void clickCalculate() { QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton); }

    Form1 *m_form = nullptr;

private slots:
    void initTestCase() { ferolune::ui::setUpApplication(*qApp); }

    void init()
    {
        m_form = new Form1;
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }

    void cleanup()
    {
        delete m_form;
        m_form = nullptr;
    }
};
