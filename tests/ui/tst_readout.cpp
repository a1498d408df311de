// The detail behind the result boxes' two decimals: tooltips, accessible
// descriptions and the copy entry of their context menu.
#include "window_test.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>

namespace {

const char *const ResultBoxes[] = {"Text4", "Text5", "Text6"};

const QString Placeholder = QStringLiteral("按“计算”后，这里显示精确值、频率和占空比");
const QString CopyExact = QStringLiteral("复制精确值");

// The T1, T2 and T boxes' detail: their own first line, then the lines they share.
QStringList details(const QStringList &firstLines, const QString &shared)
{
    QStringList texts;
    for (const QString &line : firstLines)
        texts << line + QLatin1Char('\n') + shared;
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
    void detailKeptByMessageBoxes_data();
    void detailKeptByMessageBoxes();
    void copyExactValue_data();
    void copyExactValue();

private:
    void calculate(const QString &ra, const QString &rb, const QString &c)
    {
        enter(ra, rb, c);
        clickCalculate();
    }
    QStringList toolTips() const;
    QStringList descriptions() const;
    QMenu *openMenu(QLineEdit *box, bool byKey);
};

QStringList TestReadout::toolTips() const
{
    QStringList texts;
    for (const char *name : ResultBoxes)
        texts << child<QLineEdit>(name)->toolTip();
    return texts;
}

QStringList TestReadout::descriptions() const
{
    QStringList texts;
    for (const char *name : ResultBoxes)
        texts << child<QLineEdit>(name)->accessibleDescription();
    return texts;
}

void TestReadout::detailAfterCalculation_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nothing calculated yet") << QStringList() << QStringList(3, Placeholder);
    QTest::newRow("audio tone") << QStringList{"1000", "6800", "0.1"} << ToneDetails;
    QTest::newRow("LED blinker") << QStringList{"1000", "10000", "47"}
                                 << details({QStringLiteral("T1 = 358.3 ms"), QStringLiteral("T2 = 325.7 ms"),
                                             QStringLiteral("T = 684.0 ms")},
                                            QStringLiteral("频率 f = 1.462 Hz\n占空比 T1/T = 52.4%\n"
                                                           "读入 R_A = 1.000 kΩ，R_B = 10.00 kΩ，C = 47.00 μF"));
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
    const QStringList before = toneFirst ? ToneDetails : QStringList(3, Placeholder);

    MessageBoxWatcher watcher;
    calculate(entries.at(0), entries.at(1), entries.at(2));
    QCOMPARE(watcher.boxes.size(), 1);
    QCOMPARE(toolTips(), before);
    QCOMPARE(descriptions(), before);
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

    // The audio tone's three times.
    QTest::newRow("T1 by the menu key") << "Text4" << true << "0.0005405399999999999";
    QTest::newRow("T2 by the menu key") << "Text5" << true << "0.00047123999999999994";
    QTest::newRow("T by the menu key") << "Text6" << true << "0.0010117799999999999";
    QTest::newRow("T by a right click") << "Text6" << false << "0.0010117799999999999";
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
