#pragma once

// What the window tests share: the application's set-up, a fresh main window
// for every test function, the forms' twips, the centring check and the watchers
// that answer modal windows and message boxes.

#include "ui/application.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <utility>

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

// While it lives, hands each `Window` that is shown to `whileOpen` once it is on
// screen, from a QTimer::singleShot that runs in the window's own modal event loop;
// `whileOpen` is to close it. A window shown without being modal, or left open,
// fails the test and is hidden, so that the test ends instead of hanging.
template<typename Window> class ModalWatcher : public QObject
{
public:
    explicit ModalWatcher(std::function<void(Window *)> whileOpen) : m_whileOpen(std::move(whileOpen))
    {
        qApp->installEventFilter(this);
    }

    int opened = 0;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *window = qobject_cast<Window *>(object);
        if (event->type() == QEvent::Show && window && window->isWindow() && window != m_answering)
            QTimer::singleShot(0, this, [this, shown = QPointer<Window>(window)] { answer(shown); });
        return false;
    }

private:
    void answer(QPointer<Window> window)
    {
        if (!window || !window->isVisible())
            return;
        if (QApplication::activeModalWidget() != window) {
            QTest::qFail("a window the test waits for is shown without being modal", __FILE__, __LINE__);
            window->hide();
            return;
        }
        ++opened;
        m_answering = window;
        const bool exposed = QTest::qWaitForWindowExposed(window);
        if (exposed)
            m_whileOpen(window);
        m_answering = nullptr;
        if (window && window->isVisible()) {
            QTest::qFail(exposed ? "the modal window was left open" : "the modal window never came on screen", __FILE__,
                         __LINE__);
            window->hide();
        }
    }

    std::function<void(Window *)> m_whileOpen;
    QPointer<Window> m_answering;
};

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

// While it lives, notes what each message box showed and presses its OK button, so a
// handler that shows boxes returns and the boxes can be counted afterwards.
class MessageBoxWatcher : public ModalWatcher<QMessageBox>
{
public:
    MessageBoxWatcher() : ModalWatcher([this](QMessageBox *box) { answer(box); }) {}

    QList<ShownBox> boxes;

private:
    void answer(QMessageBox *box)
    {
        ShownBox shown{box->windowTitle(),    box->text(), box->icon(),  {},
                       box->windowModality(), false,       box->width(), isCentred(box)};
        for (const QAbstractButton *button : box->buttons()) {
            shown.buttons << button->text();
            shown.buttonIcons = shown.buttonIcons || !button->icon().isNull();
        }
        boxes << shown;
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
    }
};

// The main window's controls by kind, in tab order.
inline constexpr const char *Entries[] = {"Text1", "Text2", "Text3"};
inline constexpr const char *ResultBoxes[] = {"Text4", "Text5", "Text6"};
inline constexpr const char *UnitLabels[] = {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"};
inline constexpr const char *Glyphs[] = {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6"};

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
        const QString texts[] = {ra, rb, c};
        for (int i = 0; i < 3; ++i) {
            auto *box = child<QLineEdit>(Entries[i]);
            box->clear();
            QTest::keyClicks(box, texts[i]);
        }
    }

    // The texts of the T1, T2 and T boxes.
    QStringList results() const
    {
        QStringList texts;
        for (const char *name : ResultBoxes)
            texts << child<QLineEdit>(name)->text();
        return texts;
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
