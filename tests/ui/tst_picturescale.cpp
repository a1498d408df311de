// The pictures as the screen shows them: CTest runs this at a scale of 1, at 2
// (QT_SCALE_FACTOR) and on two screens of those scales. Each picture's area of a
// grabbed window must be its file pixel for pixel at 1, its double drawing at 2.

#include "window_test.h"

#include <QLabel>

#include <utility>

namespace {

const QColor Orange(FEROLUNE_COLOUR_ORANGE);

// The main window's pictures: the label and the file its form names.
constexpr std::pair<const char *, const char *> MainWindowPictures[] = {
    {"Image1", "glyph_ra.gif"},          {"Image2", "glyph_rb.gif"}, {"Image3", "glyph_c.gif"},
    {"Image4", "glyph_t1.gif"},          {"Image5", "glyph_t2.gif"}, {"Image6", "glyph_t.gif"},
    {"Image7", "capacitance_banner.jpg"}};

int scaleOf(const QWidget *window)
{
    return window->devicePixelRatioF() > 1 ? 2 : 1;
}

// The drawing made for a window at `scale`: the file itself or its "@2x" double.
QImage drawingFor(const QString &file, int scale)
{
    QString name = QStringLiteral(":/assets/") + file;
    if (scale == 2)
        name.insert(name.lastIndexOf(u'.'), QStringLiteral("@2x"));
    return QImage(name).convertToFormat(QImage::Format_ARGB32);
}

// Where the grab `shown` differs from `expected` placed at `origin` (both in device
// pixels), leaving out `skip`; a transparent pixel of a glyph must show the orange
// beneath it, so a glyph's area holds only its purple and the orange. Empty when
// they agree.
QString difference(const QImage &shown, QPoint origin, const QImage &expected, QRect skip = {})
{
    int differing = 0;
    QPoint first;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if (skip.contains(x, y))
                continue;
            const QRgb want = expected.pixel(x, y);
            const QColor wanted = qAlpha(want) == 0 ? Orange : QColor(want);
            if (shown.pixelColor(origin + QPoint(x, y)) != wanted && differing++ == 0)
                first = QPoint(x, y);
        }
    }
    if (differing == 0)
        return {};
    return QStringLiteral("%1 of %2 pixels differ, the first at %3,%4")
        .arg(differing)
        .arg(expected.width() * expected.height())
        .arg(first.x())
        .arg(first.y());
}

void checkMainWindowPicture(Form1 &form, const QString &name, const QString &file)
{
    const int scale = scaleOf(&form);
    const QImage shown = form.grab().toImage();
    QCOMPARE(shown.devicePixelRatio(), qreal(scale));
    const auto *label = form.findChild<QLabel *>(name);
    QVERIFY(label);
    const QImage expected = drawingFor(file, scale);
    QVERIFY(!expected.isNull());
    // The logical size stays that of the single drawing, whatever the scale.
    QCOMPARE(label->size() * scale, expected.size());
    const QString diff = difference(shown, label->mapTo(&form, QPoint(0, 0)) * scale, expected);
    QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("%1 at %2: %3").arg(name).arg(scale).arg(diff)));
}

// The principle picture fills the window wherever its button is not.
void checkPrincipleWindow(Form2 &principle)
{
    const int scale = scaleOf(&principle);
    const QImage shown = principle.grab().toImage();
    QCOMPARE(shown.devicePixelRatio(), qreal(scale));
    const QImage expected = drawingFor(QStringLiteral("principle.jpg"), scale);
    QVERIFY(!expected.isNull());
    QCOMPARE(principle.size() * scale, expected.size());
    const auto *button = principle.findChild<QPushButton *>(QStringLiteral("Command1"));
    const QString diff =
        difference(shown, QPoint(0, 0), expected, QRect(button->pos() * scale, button->size() * scale));
    QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("at %1: %2").arg(scale).arg(diff)));
}

} // namespace

class TestPictureScale : public MainWindowTest
{
    Q_OBJECT

private slots:
    void scaleIsTheOneAsked();
    void mainWindow_data();
    void mainWindow();
    void principleWindow();
    void followsTheWindowToAnotherScreen();
};

void TestPictureScale::scaleIsTheOneAsked()
{
    if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        QSKIP("the screens' own scales apply");
    QCOMPARE(m_form->devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
}

void TestPictureScale::mainWindow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    for (const auto &[name, file] : MainWindowPictures)
        QTest::newRow(file) << QString::fromLatin1(name) << QString::fromLatin1(file);
}

void TestPictureScale::mainWindow()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    checkMainWindowPicture(*m_form, name, file);
}

void TestPictureScale::principleWindow()
{
    Form2 principle;
    principle.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principle));
    checkPrincipleWindow(principle);
}

void TestPictureScale::followsTheWindowToAnotherScreen()
{
    QScreen *single = nullptr, *twice = nullptr;
    for (QScreen *screen : QGuiApplication::screens())
        (screen->devicePixelRatio() > 1 ? twice : single) = screen;
    if (!single || !twice)
        QSKIP("needs one screen at a scale of 1 and one at 2");

    // Made where their forms place them, on the screen at 1, the windows first open on
    // the other one; then the main window is dragged across while it is up, and the
    // principle window is closed and opens again on the other screen.
    Form1 form;
    Form2 principle;
    QCOMPARE(form.screen(), single);
    QCOMPARE(principle.screen(), single);
    for (QScreen *screen : {twice, single, twice}) {
        const QPoint place = screen->availableGeometry().topLeft() + QPoint(40, 40);
        form.move(place);
        form.show();
        principle.hide();
        principle.move(place);
        principle.show();
        for (QWidget *window : std::initializer_list<QWidget *>{&form, &principle}) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QTRY_COMPARE(window->screen(), screen);
        }
        for (const auto &[name, file] : MainWindowPictures) {
            checkMainWindowPicture(form, QString::fromLatin1(name), QString::fromLatin1(file));
            if (QTest::currentTestFailed())
                return;
        }
        checkPrincipleWindow(principle);
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_MAIN(TestPictureScale)
#include "tst_picturescale.moc"
