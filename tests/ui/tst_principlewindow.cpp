#include "window_test.h"

#include <QWindow>

#include <functional>

namespace {

// What the principle window looked like while it was open.
struct Sighting
{
    QWidget *window = nullptr;
    bool visible = false;
    bool centred = false;
    Qt::WindowModality modality = Qt::NonModal;
    QImage picture;
    QString focus;
    bool stillOpenAfterEscape = false;
    QString mainResultWhileOpen;
    qsizetype boxesWhileOpen = 0;
};

int principleWindowCount()
{
    int count = 0;
    for (const QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("Form2"))
            ++count;
    return count;
}

} // namespace

class TestPrincipleWindow : public MainWindowTest
{
    Q_OBJECT

private slots:
    void window();
    void pictureInEveryPaletteGroup_data();
    void pictureInEveryPaletteGroup();
    void opensModalCentredAndClosesByButton();
    void sameWindowAndPictureOnSecondOpening();
    void closesByCloseBox();
    void spaceClosesEscapeDoesNot();
    void mainWindowTakesNoInputWhileOpen();

private:
    // Clicks "计算原理", runs `whileOpen` once the principle window is up, and
    // returns what was seen. `whileOpen` must close the window.
    Sighting showPrinciple(const std::function<void(QWidget *, Sighting &)> &whileOpen);
};

Sighting TestPrincipleWindow::showPrinciple(const std::function<void(QWidget *, Sighting &)> &whileOpen)
{
    Sighting seen;
    const ModalWatcher<Form2> watcher([&](Form2 *window) {
        seen.window = window;
        seen.visible = window->isVisible();
        seen.modality = window->windowModality();
        seen.centred = isCentred(window);
        seen.picture = window->grab().toImage();
        if (QTest::qWaitForWindowActive(window) && QApplication::focusWidget())
            seen.focus = QApplication::focusWidget()->objectName();
        whileOpen(window, seen);
    });
    QTest::mouseClick(m_form->findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
    return seen;
}

void TestPrincipleWindow::window()
{
    Form2 principle;
    QCOMPARE(principle.objectName(), QStringLiteral("Form2"));
    QCOMPARE(principle.windowTitle(), QStringLiteral("Form2"));
    QCOMPARE(principle.size(), fromTwips(0, 0, 3435, 3405).size());
    QCOMPARE(principle.minimumSize(), principle.size());
    QCOMPARE(principle.maximumSize(), principle.size());
    // A window of its own, not a dialog: Esc does not close it.
    QCOMPARE(principle.windowType(), Qt::Window);
    const Qt::WindowFlags flags = principle.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!principle.windowIcon().isNull());

    const auto *button = principle.findChild<QPushButton *>(QStringLiteral("Command1"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("退出"));
    QCOMPARE(button->geometry(), fromTwips(2280, 2880, 975, 375));
    QVERIFY(!button->isDefault());
}

void TestPrincipleWindow::pictureInEveryPaletteGroup_data()
{
    QTest::addColumn<QPalette::ColorGroup>("group");

    QTest::newRow("active") << QPalette::Active;
    QTest::newRow("inactive, behind another window") << QPalette::Inactive;
    QTest::newRow("disabled") << QPalette::Disabled;
}

void TestPrincipleWindow::pictureInEveryPaletteGroup()
{
    QFETCH(QPalette::ColorGroup, group);

    const Form2 principle;
    const QBrush background = principle.palette().brush(group, QPalette::Window);
    QCOMPARE(background.style(), Qt::TexturePattern);
    QCOMPARE(background.texture().toImage().convertToFormat(QImage::Format_RGB32),
             QImage(QStringLiteral(":/assets/principle.jpg")).convertToFormat(QImage::Format_RGB32));
}

void TestPrincipleWindow::opensModalCentredAndClosesByButton()
{
    QCOMPARE(principleWindowCount(), 0);
    const Sighting seen = showPrinciple([](QWidget *window, Sighting &) {
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QVERIFY(seen.window);
    QVERIFY(seen.visible);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QVERIFY(seen.centred);
    QCOMPARE(seen.focus, QStringLiteral("Command1"));
    // No owner: it is a window of its own, not a child of the main window.
    QVERIFY(!seen.window->parentWidget());
    QVERIFY(!seen.window->isVisible());
    QVERIFY(m_form->isVisible());

    // The principle picture fills the window, unscaled, wherever the button is not.
    const QImage expected = QImage(QStringLiteral(":/assets/principle.jpg")).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!expected.isNull());
    const QImage shown = seen.picture.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), expected.size());
    const QRect button = seen.window->findChild<QPushButton *>(QStringLiteral("Command1"))->geometry();
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (!button.contains(x, y) && shown.pixel(x, y) != expected.pixel(x, y))
                ++differing;
    QCOMPARE(differing, 0);
}

void TestPrincipleWindow::sameWindowAndPictureOnSecondOpening()
{
    auto closeByButton = [](QWidget *window, Sighting &) {
        window->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    };
    const Sighting first = showPrinciple(closeByButton);
    const Sighting second = showPrinciple(closeByButton);
    QVERIFY(first.window);
    QCOMPARE(second.window, first.window);
    QCOMPARE(principleWindowCount(), 1);
    QVERIFY(!second.picture.isNull());
    QCOMPARE(second.picture, first.picture);
    QVERIFY(second.centred);
    QCOMPARE(second.modality, Qt::ApplicationModal);
}

void TestPrincipleWindow::closesByCloseBox()
{
    const Sighting seen = showPrinciple([](QWidget *window, Sighting &) { window->windowHandle()->close(); });
    QVERIFY(seen.window);
    QVERIFY(!seen.window->isVisible());
    QVERIFY(m_form->isVisible());
    // And it opens again afterwards.
    const Sighting again = showPrinciple([](QWidget *window, Sighting &) { window->close(); });
    QCOMPARE(again.window, seen.window);
    QVERIFY(again.visible);
}

void TestPrincipleWindow::spaceClosesEscapeDoesNot()
{
    const Sighting seen = showPrinciple([](QWidget *window, Sighting &sighting) {
        QWidget *focused = QApplication::focusWidget();
        if (!focused) {
            window->close();
            return;
        }
        QTest::keyClick(focused, Qt::Key_Escape);
        QTest::keyClick(window, Qt::Key_Escape);
        sighting.stillOpenAfterEscape = window->isVisible();
        QTest::keyClick(focused, Qt::Key_Space);
    });
    QVERIFY(seen.window);
    QCOMPARE(seen.focus, QStringLiteral("Command1"));
    QVERIFY(seen.stillOpenAfterEscape);
    QVERIFY(!seen.window->isVisible());
}

void TestPrincipleWindow::mainWindowTakesNoInputWhileOpen()
{
    for (const auto &[name, text] : {std::pair{"Text1", "1000"}, std::pair{"Text2", "1000"}, std::pair{"Text3", "10"}})
        m_form->findChild<QLineEdit *>(QLatin1String(name))->setText(QLatin1String(text));
    auto *calculate = m_form->findChild<QPushButton *>(QStringLiteral("Command1"));
    auto *result = m_form->findChild<QLineEdit *>(QStringLiteral("Text4"));

    const Sighting seen = showPrinciple([&](QWidget *window, Sighting &sighting) {
        const MessageBoxWatcher watcher;
        // A click through the window system, as the user's mouse would give it.
        const QPoint centre = calculate->mapTo(m_form, calculate->rect().center());
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::qWait(20);
        sighting.mainResultWhileOpen = result->text();
        sighting.boxesWhileOpen = watcher.boxes.size();
        window->close();
    });
    QVERIFY(seen.window);
    QVERIFY(seen.mainResultWhileOpen.isEmpty());
    QCOMPARE(seen.boxesWhileOpen, 0);

    // Once it is closed, the same click reaches the main window again.
    const QPoint centre = calculate->mapTo(m_form, calculate->rect().center());
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
    QTRY_COMPARE(result->text(), QStringLiteral("0.01"));
}

QTEST_MAIN(TestPrincipleWindow)
#include "tst_principlewindow.moc"
