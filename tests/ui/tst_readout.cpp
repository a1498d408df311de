// The detail behind the boxes: tooltips, accessible descriptions and the copy
// entry of the result boxes' context menu.
#include "window_test.h"

#include "ui/hintballoon.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QTextDocument>
#include <QToolTip>

namespace {

const QString Placeholder = QStringLiteral("按“计算”后，这里显示精确值、频率和占空比");
const QString CopyExact = QStringLiteral("复制精确值");
const QString Stale = QStringLiteral("以下是上次计算的结果，输入已改动，按“计算”更新\n");

// The result boxes' detail once an entry is edited after the calculation.
QStringList stale(QStringList details)
{
    return details.replaceInStrings(QRegularExpression(QStringLiteral("^")), Stale);
}
const QStringList EntryHints{QStringLiteral("R_A：电阻，单位为 Ω\n只读开头的数：“10k”读作 10，10 kΩ 请输入 10000"),
                             QStringLiteral("R_B：电阻，单位为 Ω\n只读开头的数：“68k”读作 68，68 kΩ 请输入 68000"),
                             QStringLiteral("C：电容，单位为 μF\n只读开头的数：“100n”读作 100，100 nF 请输入 0.1")};

// The T1, T2 and T boxes' detail: their own first line, then the lines they share.
QStringList details(const QStringList &firstLines, const QString &shared)
{
    QStringList texts;
    for (const QString &line : firstLines)
        texts << line + QLatin1Char('\n') + shared;
    return texts;
}

// The entry boxes' detail: their warnings and readings, then their hints.
QStringList withHints(const QStringList &readings)
{
    QStringList texts;
    for (qsizetype i = 0; i < readings.size(); ++i)
        texts << readings.at(i) + QLatin1Char('\n') + EntryHints.at(i);
    return texts;
}

const QStringList ToneDetails =
    details({QStringLiteral("T1 = 540.5 μs"), QStringLiteral("T2 = 471.2 μs"), QStringLiteral("T = 1.012 ms")},
            QStringLiteral("频率 f = 988.4 Hz\n占空比 T1/T = 53.4%\n"
                           "读入 R_A = 1.000 kΩ，R_B = 6.800 kΩ，C = 100.0 nF"));

} // namespace

class TestReadout : public MainWindowTest
{
    Q_OBJECT

private slots:
    void detailAfterCalculation_data();
    void detailAfterCalculation();
    void entryDetail_data();
    void entryDetail();
    void hintAfterCalculation_data();
    void hintAfterCalculation();
    void editedEntryLeavesResultsStale();
    void detailKeptByMessageBoxes_data();
    void detailKeptByMessageBoxes();
    void toolTipShowsTypedTextAsTyped_data();
    void toolTipShowsTypedTextAsTyped();
    void waveformToScale_data();
    void waveformToScale();
    void copyExactValue_data();
    void copyExactValue();

private:
    void calculate(const QString &ra, const QString &rb, const QString &c)
    {
        enter(ra, rb, c);
        clickCalculate();
    }
    QStringList toolTips(const char *const (&names)[3] = ResultBoxes) const;
    QStringList descriptions(const char *const (&names)[3] = ResultBoxes) const;
    QString shownToolTip(QLineEdit *box);
    QMenu *openMenu(QLineEdit *box, bool byKey);
};

QStringList TestReadout::toolTips(const char *const (&names)[3]) const
{
    QStringList texts;
    for (const char *name : names)
        texts << child<QLineEdit>(name)->toolTip();
    return texts;
}

QStringList TestReadout::descriptions(const char *const (&names)[3]) const
{
    QStringList texts;
    for (const char *name : names)
        texts << child<QLineEdit>(name)->accessibleDescription();
    return texts;
}

// The tooltip the box shows when the mouse rests on it, as rich text.
QString TestReadout::shownToolTip(QLineEdit *box)
{
    const QPoint centre = box->rect().center();
    QHelpEvent event(QEvent::ToolTip, centre, box->mapToGlobal(centre));
    QApplication::sendEvent(box, &event);
    if (!QTest::qWaitFor([] { return QToolTip::isVisible(); }))
        return {};
    return QToolTip::text();
}

void TestReadout::detailAfterCalculation_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nothing calculated yet") << QStringList() << QStringList(3, Placeholder);
    QTest::newRow("audio tone") << QStringList{"1000", "6800", "0.1"} << ToneDetails;
    QTest::newRow("LED blinker") << QStringList{"10000", "68000", "10"}
                                 << details({QStringLiteral("T1 = 540.5 ms"), QStringLiteral("T2 = 471.2 ms"),
                                             QStringLiteral("T = 1.012 s")},
                                            QStringLiteral("频率 f = 0.9884 Hz\n占空比 T1/T = 53.4%\n"
                                                           "读入 R_A = 10.00 kΩ，R_B = 68.00 kΩ，C = 10.00 μF"));
}

void TestReadout::detailAfterCalculation()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);

    if (!entries.isEmpty())
        calculate(entries.at(0), entries.at(1), entries.at(2));
    QCOMPARE(toolTips(), expected);
    QCOMPARE(descriptions(), expected);
}

void TestReadout::entryDetail_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nothing calculated yet") << QStringList() << EntryHints;
    QTest::newRow("audio tone") << QStringList{"1000", "6800", "0.1"}
                                << withHints({QStringLiteral("计算时读作 1.000 kΩ"),
                                              QStringLiteral("计算时读作 6.800 kΩ"),
                                              QStringLiteral("计算时读作 100.0 nF")});
    QTest::newRow("units typed") << QStringList{"4k7", "6800", "100n"}
                                 << withHints({QStringLiteral("注意：R_A 输入“4k7”读作 4 Ω（“k7”未计入，单位为 Ω）\n"
                                                              "计算时读作 4.000 Ω"),
                                               QStringLiteral("计算时读作 6.800 kΩ"),
                                               QStringLiteral("注意：C 输入“100n”读作 100 μF（“n”未计入，单位为 μF）\n"
                                                              "计算时读作 100.0 μF")});
}

void TestReadout::entryDetail()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);

    if (!entries.isEmpty())
        calculate(entries.at(0), entries.at(1), entries.at(2));
    QCOMPARE(toolTips(Entries), expected);
    QCOMPARE(descriptions(Entries), expected);
}

void TestReadout::hintAfterCalculation_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("at"); // the box it is about, or none
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("kilohms typed: at R_A") << QStringList{"10k", "68k", "10u"} << "Text1"
                                           << "注意：R_A 输入“10k”读作 10 Ω（“k”未计入，单位为 Ω）";
    QTest::newRow("picofarads typed: at C") << QStringList{"1000", "6800", "470p"} << "Text3"
                                            << "注意：C 输入“470p”读作 470 μF（“p”未计入，单位为 μF）";
    QTest::newRow("tone lost in 0.00: at T") << QStringList{"1000", "6800", "0.1"} << "Text6"
                                             << "T1 = 540.5 μs";
    QTest::newRow("LED blinker: none") << QStringList{"10000", "68000", "10"} << QString() << QString();
}

// The hint shows itself below its box, takes nothing from the user, stays
// while the pointer moves and goes at a key press or a click.
void TestReadout::hintAfterCalculation()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, at);
    QFETCH(QString, firstLine);

    calculate(entries.at(0), entries.at(1), entries.at(2));
    auto *hint = m_form->findChild<ferolune::ui::HintBalloon *>();
    if (at.isEmpty()) {
        QVERIFY(!hint || !hint->isVisible());
        return;
    }
    QVERIFY(hint && hint->isVisible());
    QCOMPARE(hint->text().section(QLatin1Char('\n'), 0, 0), firstLine);
    const auto *box = child<QLineEdit>(qPrintable(at));
    const QPoint below = box->mapToGlobal(QPoint(0, box->height()));
    // Whole, and moved left only as far as it takes to stay inside its window
    // where it fits, and on the screen.
    QCOMPARE(hint->size(), hint->sizeHint());
    const QRect window(m_form->mapToGlobal(QPoint(0, 0)), m_form->size());
    const int inWindow = qMax(window.left(), qMin(below.x(), window.right() + 1 - hint->width()));
    const QRect screen = box->screen()->availableGeometry();
    QCOMPARE(hint->x(), qBound(screen.left(), inWindow, qMax(screen.left(), screen.right() + 1 - hint->width())));
    QVERIFY(hint->y() >= below.y() && hint->y() < below.y() + 8);
    QCOMPARE(QApplication::activeWindow(), m_form);

    for (const char *over : {"Text4", "Command3"})
        QTest::mouseMove(child<QWidget>(over));
    QVERIFY(hint->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Shift);
    QVERIFY(!hint->isVisible());
    clickCalculate();
    QVERIFY(hint->isVisible());
    QTest::mouseClick(child<QLineEdit>("Text4"), Qt::LeftButton);
    QVERIFY(!hint->isVisible());
}

// Once an entry is edited, it tells its hint again and the results, kept as
// they are, say that they are the last calculation's, until 计算 again.
void TestReadout::editedEntryLeavesResultsStale()
{
    calculate(QStringLiteral("1000"), QStringLiteral("6800"), QStringLiteral("0.1"));
    const QStringList readings = toolTips(Entries);

    for (const char *typed : {"0", "0"}) { // told once, however often edited
        QTest::keyClicks(child<QLineEdit>("Text1"), QLatin1String(typed));
        QCOMPARE(toolTips(Entries), QStringList({EntryHints.at(0), readings.at(1), readings.at(2)}));
        QCOMPARE(toolTips(), stale(ToneDetails));
        QCOMPARE(descriptions(), stale(ToneDetails));
        QCOMPARE(results(), QStringList({"0.00", "0.00", "0.00"}));
    }
    clickCalculate();
    QVERIFY(!child<QLineEdit>("Text6")->toolTip().startsWith(Stale));
}

void TestReadout::detailKeptByMessageBoxes_data()
{
    QTest::addColumn<bool>("toneFirst");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("incomplete, nothing calculated yet") << false << QStringList{"", "6800", "0.1"};
    QTest::newRow("incomplete after the tone") << true << QStringList{"1000", " ", "0.1"};
    QTest::newRow("overflow, nothing calculated yet") << false << QStringList{"1e999", "6800", "0.1"};
    QTest::newRow("overflow after the tone") << true << QStringList{"1", "1e308", "1000000"};
}

void TestReadout::detailKeptByMessageBoxes()
{
    QFETCH(bool, toneFirst);
    QFETCH(QStringList, entries);

    if (toneFirst)
        calculate(QStringLiteral("1000"), QStringLiteral("6800"), QStringLiteral("0.1"));
    // The entries were typed again since the tone.
    const QStringList before = toneFirst ? stale(ToneDetails) : QStringList(3, Placeholder);

    MessageBoxWatcher watcher;
    calculate(entries.at(0), entries.at(1), entries.at(2));
    QCOMPARE(watcher.boxes.size(), 1);
    QCOMPARE(toolTips(), before);
    QCOMPARE(descriptions(), before);
}

void TestReadout::toolTipShowsTypedTextAsTyped_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("R_A") << "Text1";
    QTest::newRow("T1") << "Text4";
}

// Markup typed into an entry is shown as typed, line for line, not obeyed.
void TestReadout::toolTipShowsTypedTextAsTyped()
{
    QFETCH(QString, name);

    calculate(QStringLiteral("<i>1</i>k"), QStringLiteral("6800"), QStringLiteral("0.1"));
    QLineEdit *box = child<QLineEdit>(qPrintable(name));
    QVERIFY(box->toolTip().startsWith(QStringLiteral("注意：R_A 输入“<i>1</i>k”读作 0 Ω")));
    QTextDocument shown;
    shown.setHtml(shownToolTip(box));
    QCOMPARE(shown.toPlainText(), box->toolTip());
}

void TestReadout::waveformToScale_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<double>("chargeShare"); // T1 / T, or none

    QTest::newRow("audio tone") << QStringList{"1000", "6800", "0.1"} << 7800.0 / 14600;
    QTest::newRow("long charge") << QStringList{"10000", "1000", "1"} << 11000.0 / 12000;
    QTest::newRow("R_A = 0") << QStringList{"0", "6800", "0.1"} << 0.5;
    QTest::newRow("R_B = 0, always high") << QStringList{"1000", "0", "0.1"} << 1.0;
    QTest::newRow("none for a negative R_A") << QStringList{"-1000", "6800", "0.1"} << 0.0;
    QTest::newRow("none for C = 0") << QStringList{"1000", "6800", "0"} << 0.0;
}

// The output trace of the T box's tooltip, as it is on screen: at every scale
// its levels are solid lines a logical pixel thick, and its high and low spans
// over the period are those of T1 and T2.
void TestReadout::waveformToScale()
{
    QFETCH(QStringList, entries);
    QFETCH(double, chargeShare);

    // After a design that has one, so that a design without shows none, not the old one.
    calculate(QStringLiteral("1000"), QStringLiteral("6800"), QStringLiteral("0.1"));
    calculate(entries.at(0), entries.at(1), entries.at(2));
    QLineEdit *box = child<QLineEdit>("Text6");
    const QString html = shownToolTip(box);
    QTextDocument document;
    document.setHtml(html);
    QVERIFY(document.toPlainText().startsWith(box->toolTip()));
    QCOMPARE(html.contains(QStringLiteral("<img")), chargeShare > 0);
    if (chargeShare == 0 || chargeShare == 1) // nothing to measure without both levels
        return;

    // Drawn for the screen's device pixel ratio, not scaled up to it.
    const QRegularExpressionMatch image =
        QRegularExpression(QStringLiteral("src=\"data:image/png;base64,([^\"]+)\" width=\"(\\d+)\"")).match(html);
    QVERIFY(image.hasMatch());
    const QImage drawn = QImage::fromData(QByteArray::fromBase64(image.captured(1).toLatin1()), "PNG");
    QCOMPARE(drawn.width(), qRound(image.captured(2).toInt() * box->devicePixelRatio()));

    // The capacitor's purple trace swings between the dotted guides at 2/3 and 1/3.
    QList<int> guideRows, curveRows;
    for (int y = 0; y < drawn.height(); ++y) {
        int guide = 0;
        bool curve = false;
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor c = drawn.pixelColor(x, y);
            guide += c == QColor(150, 150, 150);
            curve = curve || (c.alpha() > 128 && c.red() - c.green() > 60 && c.blue() - c.green() > 40);
        }
        if (guide > drawn.width() / 8)
            guideRows << y;
        if (curve)
            curveRows << y;
    }
    QVERIFY(!guideRows.isEmpty() && !curveRows.isEmpty());
    const int tolerance = 2 * qRound(drawn.devicePixelRatio());
    QVERIFY2(qAbs(curveRows.first() - guideRows.first()) <= tolerance, qPrintable(QString::number(curveRows.first())));
    QVERIFY2(qAbs(curveRows.last() - guideRows.last()) <= tolerance, qPrintable(QString::number(curveRows.last())));

    QWidget *tip = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("qtooltip_label") && widget->isVisible())
            tip = widget;
    QVERIFY(tip);
    const QImage shown = tip->grab().toImage();
    const int thickness = qRound(shown.devicePixelRatio());

    // The runs of the output's blue in each row, longer than its edges are wide:
    // the high level's rows, then the low level's, `thickness` rows each.
    QList<QList<std::pair<int, int>>> levels;
    for (int y = 0; y < shown.height(); ++y) {
        QList<std::pair<int, int>> runs;
        for (int x = 0, end = 0; x < shown.width(); x = end + 1) {
            for (end = x; end < shown.width() && shown.pixel(end, y) == qRgb(0, 0, 255);)
                ++end;
            if (end - x >= 3 * thickness)
                runs.append({x, end - 1});
        }
        if (!runs.isEmpty())
            levels << runs;
    }
    QCOMPARE(levels.size(), 2 * thickness);
    const QList<std::pair<int, int>> high = levels.first(), low = levels.last();
    QCOMPARE(high.size(), 2);
    const double period = high.at(1).first - high.at(0).first;
    const double charge = high.at(0).second - high.at(0).first;
    const double discharge = low.at(0).second - low.at(0).first;
    QVERIFY2(qAbs(charge - chargeShare * period) <= 2, qPrintable(QString::number(charge / period)));
    QVERIFY2(qAbs(discharge - (1 - chargeShare) * period) <= 2, qPrintable(QString::number(discharge / period)));
}

QMenu *TestReadout::openMenu(QLineEdit *box, bool byKey)
{
    if (byKey) {
        // What the X11 platform makes of the menu key for the focused box:
        // QTest::keyClick sends the key alone.
        box->setFocus();
        const QPoint cursor = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, cursor, box->mapToGlobal(cursor));
        QApplication::sendEvent(box, &event);
    } else {
        QTest::mouseClick(m_form->windowHandle(), Qt::RightButton, {}, box->mapTo(m_form, box->rect().center()));
    }
    if (!QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }))
        return nullptr;
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

void TestReadout::copyExactValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<QString>("exact");

    // The audio tone's three times, to 15 significant digits.
    QTest::newRow("T1 by the menu key") << "Text4" << true << "0.00054054";
    QTest::newRow("T2 by the menu key") << "Text5" << true << "0.00047124";
    QTest::newRow("T by the menu key") << "Text6" << true << "0.00101178";
    QTest::newRow("T by a right click") << "Text6" << false << "0.00101178";
}

void TestReadout::copyExactValue()
{
    QFETCH(QString, name);
    QFETCH(bool, byKey);
    QFETCH(QString, exact);

    QLineEdit *result = child<QLineEdit>(qPrintable(name));
    QMenu *menu = openMenu(result, byKey);
    QVERIFY(menu);
    // Qt's own entries first, then a separator and the copy entry, not yet usable.
    const QList<QAction *> before = menu->actions();
    QVERIFY(before.size() > 2);
    QVERIFY(before.at(before.size() - 2)->isSeparator());
    QCOMPARE(before.last()->text(), CopyExact);
    QVERIFY(!before.last()->isEnabled());
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());

    calculate(QStringLiteral("1000"), QStringLiteral("6800"), QStringLiteral("0.1"));
    QApplication::clipboard()->setText(QStringLiteral("nothing yet"));
    menu = openMenu(result, byKey);
    QVERIFY(menu);
    QAction *copy = menu->actions().last();
    QCOMPARE(copy->text(), CopyExact);
    QVERIFY(copy->isEnabled());
    if (byKey) {
        // From no active entry, Up goes to the last one.
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Return);
    } else {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(copy).center());
    }
    QTRY_COMPARE(QApplication::clipboard()->text(), exact);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

QTEST_MAIN(TestReadout)
#include "tst_readout.moc"
