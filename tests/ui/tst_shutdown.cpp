#include "window_test.h"

#include <QWindow>

// How the program ends: each test runs the application's own event loop, as
// main() does, and checks that it returns with status 0.
class TestShutdown : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exitButtonEndsAtOnce();
    void closeBoxEndsAfterUsingThePrincipleWindow();

private:
    // Runs the event loop; a stuck program is stopped with status 99.
    static int runEventLoop()
    {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(10000);
        return QApplication::exec();
    }
};

void TestShutdown::initTestCase()
{
    ferolune::ui::setUpApplication(*qApp);
}

void TestShutdown::exitButtonEndsAtOnce()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("1000"));

    QTimer::singleShot(0, &form, [&form] {
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Command3")), Qt::LeftButton);
    });
    QCOMPARE(runEventLoop(), 0);
}

void TestShutdown::closeBoxEndsAfterUsingThePrincipleWindow()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    int principleOpened = 0;
    QTimer::singleShot(0, &form, [&] {
        const ModalWatcher<Form2> watcher(
            [](Form2 *principle) { principle->findChild<QPushButton *>(QStringLiteral("Command1"))->click(); });
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
        principleOpened = watcher.opened;
        // Back from the principle window: the user closes the main window.
        form.windowHandle()->close();
    });
    QCOMPARE(runEventLoop(), 0);
    QCOMPARE(principleOpened, 1);
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(TestShutdown)
#include "tst_shutdown.moc"
