#include "window_test.h"

#include "ui/windowing.h"

#include <QAction>
#include <QEventLoop>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <memory>

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void identity();
    void windowIcon();
    void style();
    void windowFontIsSongNinePoints();
    void songFaceResolvesToTheEmbeddedFace_data();
    void songFaceResolvesToTheEmbeddedFace();
    void okButtonReadsChinese();
    void textBoxContextMenuIsChinese();
    void showModalReturnsWhenClosed();
    void endProgramLeavesTheEventLoopWithZero();
};

void TestApplication::initTestCase()
{
    // A desktop's own style, which the set-up must replace with Fusion.
    QApplication::setStyle(QStringLiteral("Windows"));
    ferolune::ui::setUpApplication(*qApp);
}

void TestApplication::identity()
{
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Ferolune"));
    QCOMPARE(QCoreApplication::applicationVersion(), displayVersion());
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Ferolune"));
    QCOMPARE(ferolune::ui::ApplicationTitle, QStringView(u"Quandel"));
}

void TestApplication::windowIcon()
{
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.isNull());
    // Each size a task switcher commonly asks for, up to 128 pixels.
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48},
                                                  {64, 64}, {128, 128}}));
    QCOMPARE(icon.pixmap(32, 32).size(), QSize(32, 32));
}

void TestApplication::style()
{
    QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
}

void TestApplication::windowFontIsSongNinePoints()
{
    // Buttons and group box captions take the application font.
    QCOMPARE(QApplication::font().family(), QStringLiteral("宋体"));
    QCOMPARE(QApplication::font().pointSizeF(), 9.0);
}

void TestApplication::songFaceResolvesToTheEmbeddedFace_data()
{
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("entry boxes, 12 pt") << qreal(12) << false;
    QTest::newRow("result boxes, 12 pt bold") << qreal(12) << true;
    QTest::newRow("unit labels, 10.5 pt") << qreal(10.5) << false;
}

void TestApplication::songFaceResolvesToTheEmbeddedFace()
{
    QFETCH(qreal, points);
    QFETCH(bool, bold);

    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(points);
    font.setBold(bold);
    const QFontInfo resolved(font);
    QCOMPARE(resolved.family(), ferolune::ui::SongFamily);
    QCOMPARE(resolved.bold(), bold);
    QVERIFY(QFontMetrics(font).inFont(QChar(u'Ω')));
    QVERIFY(QFontMetrics(font).inFont(QChar(u'μ')));
}

void TestApplication::okButtonReadsChinese()
{
    MessageBoxWatcher watcher;
    ferolune::ui::showMessage(QStringLiteral("测试"));
    QCOMPARE(watcher.boxes.size(), 1);
    const ShownBox &box = watcher.boxes.first();
    QCOMPARE(box.buttons, QStringList{QStringLiteral("确定")});
    QCOMPARE(box.title, QStringLiteral("Quandel"));
    QCOMPARE(box.text, QStringLiteral("测试"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QVERIFY2(!box.buttonIcons, "the OK button carries a theme icon");
    QCOMPARE(box.modality, Qt::ApplicationModal);
}

void TestApplication::textBoxContextMenuIsChinese()
{
    QLineEdit box;
    box.setText(QStringLiteral("0.01"));
    box.setReadOnly(true);
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text().section(u'\t', 0, 0);
    QVERIFY2(texts.contains(QStringLiteral("复制(&C)")), qPrintable(texts.join(u'|')));
    QVERIFY2(texts.contains(QStringLiteral("全选")), qPrintable(texts.join(u'|')));
}

void TestApplication::showModalReturnsWhenClosed()
{
    QWidget window;
    window.resize(120, 80);
    bool wasModal = false;
    bool wasCentred = false;
    QTimer::singleShot(50, &window, [&] {
        wasModal = QApplication::activeModalWidget() == &window;
        wasCentred = isCentred(&window);
        window.close();
    });
    // Should showModal not return on close, the test fails instead of hanging.
    bool rescued = false;
    QTimer::singleShot(5000, &window, [&] {
        rescued = true;
        window.hide();
    });
    ferolune::ui::showModal(&window);
    QVERIFY(!rescued);
    QVERIFY(wasModal);
    QVERIFY(wasCentred);
    QVERIFY(!window.isVisible());
}

void TestApplication::endProgramLeavesTheEventLoopWithZero()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [] { ferolune::ui::endProgram(); });
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0);
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
