#include "window_test.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>

namespace {

// The colours of ferolune.json.
const QColor Orange(FEROLUNE_COLOUR_ORANGE);
const QColor Blue(FEROLUNE_COLOUR_BLUE);
const QColor LightPink(FEROLUNE_COLOUR_LIGHT_PINK);
const QColor GlyphPurple(FEROLUNE_COLOUR_GLYPH_PURPLE);

bool near(const QColor &a, const QColor &b, int tolerance = 24)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

QPoint offsetIn(const QWidget *widget, const QWidget *ancestor)
{
    return widget->mapTo(ancestor, QPoint(0, 0));
}

} // namespace

class TestMainWindow : public MainWindowTest
{
    Q_OBJECT

private slots:
    void window();
    void geometry_data();
    void geometry();
    void captions_data();
    void captions();
    void fonts_data();
    void fonts();
    void boxFlags_data();
    void boxFlags();
    void accessibleNames_data();
    void accessibleNames();
    void glyphsAreDecorative();
    void bannerReadsAsText();
    void pictures_data();
    void pictures();
    void colours();
    void glyphTransparencyShowsOrange();
    void groupBoxCaptionsAreBlue();
    void labelsAreTransparent();
    void resizeKeepsPositionsAndShowsOrange();
    void startState();
    void tabOrder();
    void entriesHaveNoLengthLimit();
    void resultBoxRefusesTypingButCopies_data();
    void resultBoxRefusesTypingButCopies();
    void resultBoxMenuOpensWhereAsked_data();
    void resultBoxMenuOpensWhereAsked();
    void calculate_data();
    void calculate();
    void calculateTwiceGivesSameTexts();
    void longResultsShowTheirLeadingDigits();
    void longEntriesShowTheirLeadingDigitsOnceLeft_data();
    void longEntriesShowTheirLeadingDigitsOnceLeft();
    void incompleteData_data();
    void incompleteData();
    void incompleteDataKeepsEarlierResults();
    void overflow_data();
    void overflow();
};

void TestMainWindow::window()
{
    QCOMPARE(m_form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ferolune V%1  -  [编程: Dromel]").arg(captionVersion()));
    QCOMPARE(m_form->size(), fromTwips(0, 0, 5955, 3870).size());
    const Qt::WindowFlags flags = m_form->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowMaximizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(m_form->minimumSize() != m_form->maximumSize());
    QVERIFY(!m_form->windowIcon().isNull());
}

void TestMainWindow::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips");

    const struct
    {
        const char *name, *parent;
        int left, top, width, height;
    } rows[] = {
        {"Frame1", "Form1", 120, 120, 5655, 1215},    {"Image1", "Frame1", 720, 240, 450, 450},
        {"Image2", "Frame1", 2520, 240, 450, 450},    {"Image3", "Frame1", 4320, 240, 450, 450},
        {"Text1", "Frame1", 240, 720, 1215, 375},     {"Text2", "Frame1", 2160, 720, 1095, 375},
        {"Text3", "Frame1", 3960, 720, 1095, 375},    {"Label1", "Frame1", 1560, 840, 210, 210},
        {"Label2", "Frame1", 3360, 840, 210, 210},    {"Label3", "Frame1", 5160, 840, 315, 210},
        {"Frame2", "Form1", 120, 1440, 5655, 1215},   {"Image4", "Frame2", 720, 240, 450, 450},
        {"Image5", "Frame2", 2640, 240, 450, 450},    {"Image6", "Frame2", 4440, 240, 450, 450},
        {"Text4", "Frame2", 240, 720, 1215, 375},     {"Text5", "Frame2", 2160, 720, 1215, 375},
        {"Text6", "Frame2", 3960, 720, 1335, 375},    {"Label4", "Frame2", 1560, 840, 105, 210},
        {"Label5", "Frame2", 3480, 840, 105, 210},    {"Label6", "Frame2", 5400, 840, 105, 210},
        {"Image7", "Form1", 240, 2880, 3885, 285},    {"Command1", "Form1", 360, 3360, 1095, 375},
        {"Command2", "Form1", 2520, 3360, 1095, 375}, {"Command3", "Form1", 4560, 3360, 1095, 375},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.parent)
                                << QRect(row.left, row.top, row.width, row.height);
}

void TestMainWindow::geometry()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, twips);

    const auto *widget = m_form->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    const QRect pixels = fromTwips(twips.left(), twips.top(), twips.width(), twips.height());
    if (qobject_cast<const QLabel *>(widget) && name.startsWith(QLatin1String("Label"))) {
        // Unit labels size themselves to their text in the face that stands in
        // for 宋体; the table's sizes are those of 宋体 itself.
        QCOMPARE(widget->pos(), pixels.topLeft());
        QCOMPARE(widget->size(), widget->sizeHint());
    } else {
        QCOMPARE(widget->geometry(), pixels);
    }
}

void TestMainWindow::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    QTest::newRow("input group") << "Frame1" << QStringLiteral("输入");
    QTest::newRow("output group") << "Frame2" << QStringLiteral("输出");
    QTest::newRow("calculate") << "Command1" << QStringLiteral("计算");
    QTest::newRow("principle") << "Command2" << QStringLiteral("计算原理");
    QTest::newRow("exit") << "Command3" << QStringLiteral("退出");
    QTest::newRow("R_A unit") << "Label1" << QStringLiteral("Ω");
    QTest::newRow("R_B unit") << "Label2" << QStringLiteral("Ω");
    QTest::newRow("C unit") << "Label3" << QStringLiteral("μF");
    QTest::newRow("T1 unit") << "Label4" << QStringLiteral("S");
    QTest::newRow("T2 unit") << "Label5" << QStringLiteral("S");
    QTest::newRow("T unit") << "Label6" << QStringLiteral("S");
}

void TestMainWindow::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);

    const QWidget *widget = m_form->findChild<QWidget *>(name);
    QVERIFY(widget);
    if (const auto *group = qobject_cast<const QGroupBox *>(widget))
        QCOMPARE(group->title(), caption);
    else if (const auto *button = qobject_cast<const QPushButton *>(widget))
        QCOMPARE(button->text(), caption);
    else if (const auto *label = qobject_cast<const QLabel *>(widget))
        QCOMPARE(label->text(), caption);
    else
        QFAIL("unexpected kind of control");
}

void TestMainWindow::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");

    for (const char *name : {"Text1", "Text2", "Text3"})
        QTest::newRow(name) << QString::fromLatin1(name) << qreal(12) << false;
    for (const char *name : ResultBoxes)
        QTest::newRow(name) << QString::fromLatin1(name) << qreal(12) << true;
    for (const char *name : UnitLabels)
        QTest::newRow(name) << QString::fromLatin1(name) << qreal(10.5) << false;
}

void TestMainWindow::fonts()
{
    QFETCH(QString, name);
    QFETCH(qreal, points);
    QFETCH(bool, bold);

    const QWidget *widget = m_form->findChild<QWidget *>(name);
    QVERIFY(widget);
    const QFont font = widget->font();
    QCOMPARE(font.family(), QStringLiteral("宋体"));
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.weight(), bold ? QFont::Bold : QFont::Normal);
}

void TestMainWindow::boxFlags_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");

    for (const char *name : {"Text1", "Text2", "Text3"})
        QTest::newRow(name) << QString::fromLatin1(name) << false;
    for (const char *name : ResultBoxes)
        QTest::newRow(name) << QString::fromLatin1(name) << true;
}

void TestMainWindow::boxFlags()
{
    QFETCH(QString, name);
    QFETCH(bool, readOnly);

    const auto *box = m_form->findChild<QLineEdit *>(name);
    QVERIFY(box);
    QCOMPARE(box->isReadOnly(), readOnly);
    QVERIFY(box->focusPolicy() & Qt::TabFocus);
    QVERIFY(box->text().isEmpty());
    QVERIFY(!box->validator());
    QVERIFY(box->inputMask().isEmpty());
    QCOMPARE(box->echoMode(), QLineEdit::Normal);
    QCOMPARE(box->palette().color(QPalette::Base) == LightPink, readOnly);
}

void TestMainWindow::accessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("accessibleName");

    const QStringList quantities{QStringLiteral("R_A 电阻（Ω）"),     QStringLiteral("R_B 电阻（Ω）"),
                                 QStringLiteral("C 电容（μF）"),      QStringLiteral("T1 充电时间（秒）"),
                                 QStringLiteral("T2 放电时间（秒）"), QStringLiteral("T 周期（秒）")};
    const QStringList units{QStringLiteral("欧姆"), QStringLiteral("欧姆"), QStringLiteral("微法"),
                            QStringLiteral("秒"),   QStringLiteral("秒"),   QStringLiteral("秒")};
    for (int i = 0; i < quantities.size(); ++i) {
        const QString box = QStringLiteral("Text%1").arg(i + 1);
        const QString unit = QStringLiteral("Label%1").arg(i + 1);
        QTest::newRow(qPrintable(box)) << box << quantities.at(i);
        QTest::newRow(qPrintable(unit)) << unit << units.at(i);
    }
}

void TestMainWindow::accessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QString, accessibleName);

    const QWidget *widget = m_form->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->accessibleName(), accessibleName);
}

void TestMainWindow::glyphsAreDecorative()
{
    // Each glyph shows the name of the box beneath it, which screen readers
    // already read from the box.
    for (const char *name : Glyphs) {
        QVERIFY2(child(name)->property("decorative").toBool(), name);
        QVERIFY2(child(name)->accessibleName().isEmpty(), name);
    }
    QVERIFY(!child("Image7")->property("decorative").toBool());
}

void TestMainWindow::bannerReadsAsText()
{
    const QWidget *banner = child("Image7");
    QCOMPARE(banner->accessibleName(), QStringLiteral("电容单位换算"));
    QCOMPARE(banner->accessibleDescription(), QStringLiteral("1F = 10³ mF = 10⁶ μF = 10⁹ nF = 10¹² pF"));
}

void TestMainWindow::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("resource");

    QTest::newRow("R_A glyph") << "Image1"
                               << ":/assets/glyph_ra.gif";
    QTest::newRow("R_B glyph") << "Image2"
                               << ":/assets/glyph_rb.gif";
    QTest::newRow("C glyph") << "Image3"
                             << ":/assets/glyph_c.gif";
    QTest::newRow("T1 glyph") << "Image4"
                              << ":/assets/glyph_t1.gif";
    QTest::newRow("T2 glyph") << "Image5"
                              << ":/assets/glyph_t2.gif";
    QTest::newRow("T glyph") << "Image6"
                             << ":/assets/glyph_t.gif";
    QTest::newRow("capacitance banner") << "Image7"
                                        << ":/assets/capacitance_banner.jpg";
}

void TestMainWindow::pictures()
{
    QFETCH(QString, name);
    QFETCH(QString, resource);

    const auto *label = m_form->findChild<QLabel *>(name);
    QVERIFY(label);
    const QImage expected(resource);
    QVERIFY(!expected.isNull());
    const QImage shown = label->pixmap().toImage();
    QCOMPARE(shown.size(), expected.size());
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
             expected.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QVERIFY(!label->hasScaledContents());
    QCOMPARE(label->size(), expected.size());
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
}

void TestMainWindow::colours()
{
    QCOMPARE(m_form->palette().color(QPalette::Window), Orange);
    const QImage window = m_form->grab().toImage();
    for (const char *name : {"Frame1", "Frame2"}) {
        // Inside the group box, away from its frame and controls.
        const auto *group = child<QGroupBox>(name);
        const QPoint inside = offsetIn(group, m_form) + QPoint(8, group->height() - 8);
        QCOMPARE(window.pixelColor(inside), Orange);
    }
    // The blue of the captions does not reach the unit labels.
    for (const char *name : UnitLabels)
        QVERIFY(child<QLabel>(name)->palette().color(QPalette::WindowText) != Blue);
}

void TestMainWindow::glyphTransparencyShowsOrange()
{
    const QImage window = m_form->grab().toImage();
    for (const char *name : Glyphs) {
        const auto *label = child<QLabel>(name);
        const QImage glyph = label->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        const QPoint origin = offsetIn(label, m_form);
        int transparent = 0, drawn = 0;
        for (int y = 0; y < glyph.height(); ++y) {
            for (int x = 0; x < glyph.width(); ++x) {
                const QColor shown = window.pixelColor(origin + QPoint(x, y));
                if (qAlpha(glyph.pixel(x, y)) == 0) {
                    QVERIFY2(near(shown, Orange, 0), name);
                    ++transparent;
                } else {
                    QVERIFY2(near(shown, GlyphPurple, 0), name);
                    ++drawn;
                }
            }
        }
        QVERIFY2(transparent > 0 && drawn > 0, name);
    }
}

void TestMainWindow::groupBoxCaptionsAreBlue()
{
    for (const char *name : {"Frame1", "Frame2"}) {
        auto *group = child<QGroupBox>(name);
        const QImage image = group->grab(QRect(0, 0, group->width(), 14)).toImage();
        int blue = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (near(image.pixelColor(x, y), Blue, 60))
                    ++blue;
        QVERIFY2(blue >= 10, name);
    }
}

void TestMainWindow::labelsAreTransparent()
{
    const QImage window = m_form->grab().toImage();
    for (const char *name : UnitLabels) {
        const auto *label = child<QLabel>(name);
        QVERIFY(!label->autoFillBackground());
        const QRect area(offsetIn(label, m_form), label->size());
        // Orange round the letters, the letters themselves dark.
        for (int x = area.left(); x <= area.right(); ++x)
            QVERIFY2(window.pixelColor(x, area.top()) == Orange, name);
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (window.pixelColor(x, y).lightness() < 60)
                    ++dark;
        QVERIFY2(dark > 0, name);
    }
}

void TestMainWindow::resizeKeepsPositionsAndShowsOrange()
{
    const QRect frame1 = child<QWidget>("Frame1")->geometry();
    const QRect command3 = child<QWidget>("Command3")->geometry();
    m_form->resize(700, 500);
    QTRY_COMPARE(m_form->size(), QSize(700, 500));
    QCOMPARE(child<QWidget>("Frame1")->geometry(), frame1);
    QCOMPARE(child<QWidget>("Command3")->geometry(), command3);
    const QImage window = m_form->grab().toImage();
    QCOMPARE(window.pixelColor(650, 450), Orange);
    QCOMPARE(window.pixelColor(450, 100), Orange);
}

void TestMainWindow::startState()
{
    for (const char *name : Entries)
        QVERIFY2(child<QLineEdit>(name)->text().isEmpty(), name);
    for (const char *name : ResultBoxes)
        QVERIFY2(child<QLineEdit>(name)->text().isEmpty(), name);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>("Text1"));

    // Only the main window is up; the principle window does not exist yet.
    for (const QWidget *topLevel : QApplication::topLevelWidgets()) {
        if (topLevel->isVisible())
            QCOMPARE(topLevel, m_form);
        QVERIFY(topLevel->objectName() != QStringLiteral("Form2"));
    }

    QVERIFY(isCentred(m_form));

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("47"));
    QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("47"));
}

void TestMainWindow::tabOrder()
{
    const QStringList order{QStringLiteral("Text1"),    QStringLiteral("Text2"),    QStringLiteral("Text3"),
                            QStringLiteral("Text4"),    QStringLiteral("Text5"),    QStringLiteral("Text6"),
                            QStringLiteral("Command1"), QStringLiteral("Command2"), QStringLiteral("Command3"),
                            QStringLiteral("Text1")};
    QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.at(i));
    }
    for (qsizetype i = order.size() - 2; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.at(i));
    }
}

void TestMainWindow::entriesHaveNoLengthLimit()
{
    const QString longText(100000, QLatin1Char('7'));
    auto *box = child<QLineEdit>("Text1");
    box->setText(longText);
    QCOMPARE(box->text(), longText);
}

void TestMainWindow::resultBoxRefusesTypingButCopies_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    // R_A 10000, R_B 10000, C 100 gives three different texts.
    QTest::newRow("T1") << "Text4"
                        << "1.39";
    QTest::newRow("T2") << "Text5"
                        << "0.69";
    QTest::newRow("T") << "Text6"
                       << "2.08";
}

void TestMainWindow::resultBoxRefusesTypingButCopies()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    enter(QStringLiteral("10000"), QStringLiteral("10000"), QStringLiteral("100"));
    clickCalculate();
    auto *box = child<QLineEdit>(qPrintable(name));
    QCOMPARE(box->text(), text);

    box->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), box);
    QTest::keyClicks(box, QStringLiteral("99"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(box->text(), text);

    QApplication::clipboard()->setText(QStringLiteral("nothing yet"));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(box->selectedText(), text);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), text);
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->text(), text);
}

void TestMainWindow::resultBoxMenuOpensWhereAsked_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("at");

    QTest::newRow("T1, left") << "Text4" << QPoint(3, 12);
    QTest::newRow("T2, middle") << "Text5" << QPoint(40, 12);
    QTest::newRow("T, right") << "Text6" << QPoint(85, 20);
}

void TestMainWindow::resultBoxMenuOpensWhereAsked()
{
    QFETCH(QString, name);
    QFETCH(QPoint, at);

    auto *box = child<QLineEdit>(qPrintable(name));
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, box->mapToGlobal(at));
    QApplication::sendEvent(box, &event);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QWidget *menu = QApplication::activePopupWidget();
    QCOMPARE(menu->pos(), box->mapToGlobal(at));
    menu->close();
}

void TestMainWindow::calculate_data()
{
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("rb");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("typical request") << "1000"
                                     << " 1000 "
                                     << "10" << QStringList{"0.01", "0.01", "0.02"};
    QTest::newRow("ten kilohms and 100 uF") << "10000"
                                            << "10000"
                                            << "100" << QStringList{"1.39", "0.69", "2.08"};
    QTest::newRow("all zero") << "0"
                              << "0"
                              << "0" << QStringList{"0.00", "0.00", "0.00"};
    QTest::newRow("negative R_A") << "-30000"
                                  << "10000"
                                  << "100" << QStringList{"-1.39", "0.69", "-0.69"};
    QTest::newRow("text that is no number") << "abc"
                                            << "10000"
                                            << "100" << QStringList{"0.69", "0.69", "1.39"};
}

void TestMainWindow::calculate()
{
    QFETCH(QString, ra);
    QFETCH(QString, rb);
    QFETCH(QString, c);
    QFETCH(QStringList, expected);

    enter(ra, rb, c);
    QCOMPARE(child<QLineEdit>("Text2")->text(), rb);
    MessageBoxWatcher watcher;
    clickCalculate();
    QCOMPARE(results(), expected);
    QVERIFY(watcher.boxes.isEmpty());
    // The entries are left as typed.
    QCOMPARE(child<QLineEdit>("Text1")->text(), ra);
    QCOMPARE(child<QLineEdit>("Text2")->text(), rb);
}

void TestMainWindow::calculateTwiceGivesSameTexts()
{
    enter(QStringLiteral("47"), QStringLiteral("2200"), QStringLiteral("4.7"));
    clickCalculate();
    const QStringList first = results();
    QVERIFY(!first.contains(QString()));
    clickCalculate();
    QCOMPARE(results(), first);
}

void TestMainWindow::longResultsShowTheirLeadingDigits()
{
    enter(QStringLiteral("1e9"), QStringLiteral("1e9"), QStringLiteral("1e6"));
    clickCalculate();
    QCOMPARE(results(),
             (QStringList{QStringLiteral("1386000000.00"), QStringLiteral("693000000.00"),
                          QStringLiteral("2079000000.00")}));
    for (const char *name : ResultBoxes) {
        auto *box = child<QLineEdit>(name);
        QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) > box->width(), name);
        QCOMPARE(box->cursorPosition(), 0);
        // The text is scrolled so that the cursor, and the first digit after
        // it, sit at the left edge of the box.
        box->grab();
        QVERIFY2(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() < 10, name);
    }
}

void TestMainWindow::longEntriesShowTheirLeadingDigitsOnceLeft_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("leaveBy");
    QTest::addColumn<bool>("leadingShown");

    QTest::newRow("Tab") << "Text1"
                         << "tab" << true;
    QTest::newRow("click on 计算") << "Text3"
                                   << "calculate" << true;
    QTest::newRow("click on another entry") << "Text2"
                                            << "click Text1" << true;
    QTest::newRow("another window keeps the caret") << "Text3"
                                                    << "window" << false;
}

void TestMainWindow::longEntriesShowTheirLeadingDigitsOnceLeft()
{
    QFETCH(QString, name);
    QFETCH(QString, leaveBy);
    QFETCH(bool, leadingShown);

    enter(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
    auto *box = child<QLineEdit>(qPrintable(name));
    box->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), box);
    box->clear();
    // 100 000 000 in full-width digits, committed as an input method does.
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("１００００００００"));
    QApplication::sendEvent(box, &typed);
    const auto caretX = [box] {
        box->grab();
        return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    };
    QVERIFY(box->fontMetrics().horizontalAdvance(box->text()) > box->width());
    QVERIFY(caretX() > box->width() / 2);

    QLineEdit otherWindow;
    if (leaveBy == QLatin1String("tab")) {
        QTest::keyClick(box, Qt::Key_Tab);
    } else if (leaveBy == QLatin1String("calculate")) {
        clickCalculate();
        QCOMPARE(results().first(), QStringLiteral("138.60"));
    } else if (leaveBy == QLatin1String("click Text1")) {
        QTest::mouseClick(child<QLineEdit>("Text1"), Qt::LeftButton);
    } else {
        otherWindow.show();
        otherWindow.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&otherWindow));
    }
    QTRY_VERIFY(QApplication::focusWidget() != box);

    QCOMPARE(box->cursorPosition(), leadingShown ? 0 : box->text().size());
    QCOMPARE(caretX() < 10, leadingShown);
}

void TestMainWindow::incompleteData_data()
{
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("rb");
    QTest::addColumn<QString>("c");

    QTest::newRow("all empty") << ""
                               << ""
                               << "";
    QTest::newRow("R_A empty") << ""
                               << "1000"
                               << "10";
    QTest::newRow("R_B empty") << "1000"
                               << ""
                               << "10";
    QTest::newRow("C empty") << "1000"
                             << "1000"
                             << "";
    QTest::newRow("R_A only spaces") << "   "
                                     << "1000"
                                     << "10";
    QTest::newRow("C only spaces") << "1000"
                                   << "1000"
                                   << " ";
    QTest::newRow("two empty") << "1000"
                               << ""
                               << "";
}

void TestMainWindow::incompleteData()
{
    QFETCH(QString, ra);
    QFETCH(QString, rb);
    QFETCH(QString, c);

    enter(ra, rb, c);
    MessageBoxWatcher watcher;
    clickCalculate();

    QCOMPARE(watcher.boxes.size(), 1);
    const ShownBox &box = watcher.boxes.first();
    QCOMPARE(box.text, QStringLiteral("请填写完整的数据！"));
    QCOMPARE(box.title, QStringLiteral("Quandel"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QStringList{QStringLiteral("确定")});
    QCOMPARE(box.modality, Qt::ApplicationModal);
    QCOMPARE(results(), (QStringList{QString(), QString(), QString()}));
}

void TestMainWindow::incompleteDataKeepsEarlierResults()
{
    enter(QStringLiteral("1000"), QStringLiteral(" 1000 "), QStringLiteral("10"));
    clickCalculate();
    const QStringList earlier{QStringLiteral("0.01"), QStringLiteral("0.01"), QStringLiteral("0.02")};
    QCOMPARE(results(), earlier);

    child<QLineEdit>("Text2")->clear();
    MessageBoxWatcher watcher;
    clickCalculate();
    QCOMPARE(watcher.boxes.size(), 1);
    QCOMPARE(watcher.boxes.first().text, QStringLiteral("请填写完整的数据！"));
    QCOMPARE(results(), earlier);
}

void TestMainWindow::overflow_data()
{
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("rb");
    QTest::addColumn<QString>("c");

    QTest::newRow("R_A beyond the double range") << "1e999"
                                                 << "1000"
                                                 << "10";
    QTest::newRow("C beyond the double range") << "1000"
                                               << "1000"
                                               << "1e400";
    QTest::newRow("twice R_B overflows") << "1"
                                         << "1e308"
                                         << "1000000";
}

void TestMainWindow::overflow()
{
    QFETCH(QString, ra);
    QFETCH(QString, rb);
    QFETCH(QString, c);

    enter(QStringLiteral("10000"), QStringLiteral("10000"), QStringLiteral("100"));
    clickCalculate();
    const QStringList earlier{QStringLiteral("1.39"), QStringLiteral("0.69"), QStringLiteral("2.08")};
    QCOMPARE(results(), earlier);

    enter(ra, rb, c);
    {
        MessageBoxWatcher watcher;
        clickCalculate();
        QCOMPARE(watcher.boxes.size(), 1);
        const ShownBox &box = watcher.boxes.first();
        QCOMPARE(box.text, QStringLiteral("数值溢出，请检查输入的数据！"));
        QCOMPARE(box.title, QStringLiteral("Quandel"));
        QCOMPARE(box.buttons, QStringList{QStringLiteral("确定")});
        QCOMPARE(results(), earlier);
    }

    // The program goes on: the window is still up and calculates again.
    QVERIFY(m_form->isVisible());
    enter(QStringLiteral("1000"), QStringLiteral("1000"), QStringLiteral("10"));
    clickCalculate();
    QCOMPARE(results(), (QStringList{QStringLiteral("0.01"), QStringLiteral("0.01"), QStringLiteral("0.02")}));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
