#include "window_test.h"

#include "ui/display.h"
#include "ui/windowing.h"

#include <QAction>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolTip>

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
    void okButtonStaysPlainWhereTheStyleGivesButtonsIcons();
    void messageBoxIsWideEnoughForItsCaption_data();
    void messageBoxIsWideEnoughForItsCaption();
    void centredFramePosition_data();
    void centredFramePosition();
    void textBoxContextMenuIsChinese();
    void showModalReturnsWhenClosed();
    void endProgramLeavesTheEventLoopWithZero();
    void qtMessagesStillReachTheirHandlerOnceADisplayIsOpen();
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
    // Docks and Wayland compositors find the desktop entry, and its icon, by this name.
    QCOMPARE(QGuiApplication::desktopFileName(), QFileInfo(QStringLiteral(FEROLUNE_DESKTOP_ENTRY)).completeBaseName());
}

void TestApplication::windowIcon()
{
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.isNull());
    // Each size a task switcher commonly asks for, up to 128 pixels.
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}));
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
    // Tooltips echo typed text, so they fall back to the desktop's faces as the entries do.
    QCOMPARE(QToolTip::font().family(), QStringLiteral("宋体"));
    QVERIFY(!(QToolTip::font().styleStrategy() & QFont::NoFontMerging));
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

namespace {

// The look of the Linux themes that put an icon on every dialog button.
class ButtonIconsStyle : public QProxyStyle
{
public:
    ButtonIconsStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void TestApplication::okButtonStaysPlainWhereTheStyleGivesButtonsIcons()
{
    QApplication::setStyle(new ButtonIconsStyle);
    QVERIFY(!QApplication::style()->standardIcon(QStyle::SP_DialogOkButton).isNull());
    MessageBoxWatcher watcher;
    ferolune::ui::showMessage(QStringLiteral("测试"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QCOMPARE(watcher.boxes.size(), 1);
    QVERIFY2(!watcher.boxes.first().buttonIcons, "the OK button carries the style's icon");
}

void TestApplication::messageBoxIsWideEnoughForItsCaption_data()
{
    QTest::addColumn<int>("titlePixels");

    QTest::newRow("the application's title font") << 0;
    QTest::newRow("a large title font") << 40;
}

void TestApplication::messageBoxIsWideEnoughForItsCaption()
{
    QFETCH(int, titlePixels);

    const QFont original = QApplication::font("QMdiSubWindowTitleBar");
    QFont title = original;
    if (titlePixels)
        title.setPixelSize(titlePixels);
    QApplication::setFont(title, "QMdiSubWindowTitleBar");
    MessageBoxWatcher watcher;
    ferolune::ui::showMessage(QStringLiteral("请填写完整的数据！"));
    QApplication::setFont(original, "QMdiSubWindowTitleBar");

    QCOMPARE(watcher.boxes.size(), 1);
    const ShownBox &box = watcher.boxes.first();
    title.setBold(true);
    const int caption = QFontMetrics(title).horizontalAdvance(QStringLiteral("Quandel"));
    // Never narrower than 200 pixels; wider where the caption and the title
    // bar's icon and buttons need it.
    QVERIFY2(box.width >= 200, qPrintable(QString::number(box.width)));
    QVERIFY2(box.width >= caption + 4 * QFontMetrics(title).height(),
             qPrintable(QStringLiteral("%1 for a caption of %2").arg(box.width).arg(caption)));
    if (!titlePixels)
        QCOMPARE(box.width, 200);
    QVERIFY(box.centred);
}

void TestApplication::centredFramePosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QPoint>("corner");

    const QSize main(397, 258);
    QTest::newRow("no window manager") << QRect(0, 0, 1024, 768) << main << QMargins() << QPoint(313, 255);
    QTest::newRow("title bar and borders")
        << QRect(0, 0, 1024, 768) << main << QMargins(1, 20, 1, 5) << QPoint(312, 242);
    QTest::newRow("panel at the bottom") << QRect(0, 0, 1024, 728) << main << QMargins(1, 20, 1, 5) << QPoint(312, 222);
    QTest::newRow("panel at the top and left")
        << QRect(48, 32, 976, 736) << main << QMargins(1, 20, 1, 5) << QPoint(336, 258);
    QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QSize(229, 227) << QMargins(1, 20, 1, 1)
                                   << QPoint(2444, 388);
    QTest::newRow("larger than the area keeps its title bar inside")
        << QRect(0, 24, 800, 576) << QSize(1000, 700) << QMargins(4, 30, 4, 4) << QPoint(0, 24);
}

void TestApplication::centredFramePosition()
{
    QFETCH(QRect, available);
    QFETCH(QSize, client);
    QFETCH(QMargins, frame);
    QFETCH(QPoint, corner);

    QCOMPARE(ferolune::ui::centredFramePosition(available, client, frame), corner);
}

void TestApplication::showModalReturnsWhenClosed()
{
    QWidget window;
    window.resize(120, 80);
    QWidget *shown = nullptr;
    bool wasCentred = false;
    const ModalWatcher<QWidget> watcher([&](QWidget *modal) {
        shown = modal;
        wasCentred = isCentred(modal);
        modal->close();
    });
    ferolune::ui::showModal(&window);
    QCOMPARE(watcher.opened, 1);
    QCOMPARE(shown, &window);
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

void TestApplication::qtMessagesStillReachTheirHandlerOnceADisplayIsOpen()
{
    // Here the handler before the program's is Qt Test's, which checks what it gets.
    ferolune::ui::lookForDisplay();
    QTest::ignoreMessage(QtWarningMsg, "after start-up");
    qWarning("after start-up");
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
