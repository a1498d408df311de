// The design window: opened from an entry's menu, searched as the user types,
// filled into the main window; its circuit names the parts where they are drawn.

#include "window_test.h"

#include "ui/circuitview.h"
#include "ui/designwindow.h"
#include "ui/windowing.h"

#include <QLabel>
#include <QMenu>
#include <QTableWidget>

using ferolune::ui::CircuitView;
using ferolune::ui::DesignWindow;

class TestDesignWindow : public MainWindowTest
{
    Q_OBJECT

private slots:
    void openTypeAndFill();
    void valuesStandAtTheirParts();
    void besideOrCentred();
};

void TestDesignWindow::openTypeAndFill()
{
    QVERIFY(!m_form->findChild<DesignWindow *>()); // nothing made before it is asked for
    auto *entry = child<QLineEdit>("Text1");
    emit entry->customContextMenuRequested(QPoint(4, 4));
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QCOMPARE(menu->actions().constLast()->text(), QStringLiteral("按目标频率设计…"));
    menu->actions().constLast()->trigger();
    menu->close();

    auto *window = m_form->findChild<DesignWindow *>();
    QVERIFY(window && window->isVisible() && !window->isModal());
    auto *target = window->findChild<QLineEdit *>(QStringLiteral("targetEdit"));
    auto *duty = window->findChild<QLineEdit *>(QStringLiteral("dutyEdit"));
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("candidateTable"));
    auto *message = window->findChild<QLabel *>(QStringLiteral("messageLabel"));
    QTest::keyClicks(target, QStringLiteral("abc"));
    QTest::keyClicks(duty, QStringLiteral("90%"));
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(message->text(), QStringLiteral("频率或周期要以数开头，如 38k、1 kHz、2 s、500 ms"));
    target->clear();
    QTest::keyClicks(target, QStringLiteral("2 s"));
    QCOMPARE(table->rowCount(), 8);
    QCOMPARE(window->findChild<CircuitView *>()->value(CircuitView::Part::Ra), table->item(0, 0)->text());

    QTest::keyClick(duty, Qt::Key_Return);
    QCOMPARE(entry->text(), QStringLiteral("3300000"));
    QCOMPARE(child<QLineEdit>("Text2")->text(), QStringLiteral("470000"));
    QCOMPARE(child<QLineEdit>("Text3")->text(), QStringLiteral("0.68"));
    QCOMPARE(results(), (QStringList{QStringLiteral("1.78"), QStringLiteral("0.22"), QStringLiteral("2.00")}));
    QVERIFY(child<QLineEdit>("Text6")->toolTip().contains(QStringLiteral("频率 f = ") + table->item(0, 3)->text()));

    QTest::keyClick(table, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(duty->text(), QStringLiteral("90%"));
}

// Changing one part's value changes the drawing only beside that part's body.
void TestDesignWindow::valuesStandAtTheirParts()
{
    const QString before[] = {QStringLiteral("1 kΩ"), QStringLiteral("2 kΩ"), QStringLiteral("3 nF")};
    for (const CircuitView::Part part : {CircuitView::Part::Ra, CircuitView::Part::Rb, CircuitView::Part::C}) {
        CircuitView circuit;
        circuit.setValues(before[0], before[1], before[2]);
        const QImage drawn = circuit.grab().toImage();
        QString after[] = {before[0], before[1], before[2]};
        after[int(part)] = QStringLiteral("8.87 MΩ");
        circuit.setValues(after[0], after[1], after[2]);
        QVERIFY(circuit.accessibleDescription().contains(QStringLiteral(" = 8.87 MΩ 接在")));
        const QImage redrawn = circuit.grab().toImage();
        QRect changed;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (drawn.pixel(x, y) != redrawn.pixel(x, y))
                    changed |= QRect(QPoint(x, y) / drawn.devicePixelRatio(), QSize(1, 1));
        QVERIFY(!changed.isEmpty());
        // Antialiasing may touch the pixel beside the box; the value stands nearest its own part.
        QVERIFY(CircuitView::labelRect(part).adjusted(-1, -1, 1, 1).contains(changed));
        const auto distance = [&](CircuitView::Part other) {
            return qAbs(CircuitView::bodyRect(other).center().y() - changed.center().y());
        };
        for (const CircuitView::Part other : {CircuitView::Part::Ra, CircuitView::Part::Rb, CircuitView::Part::C})
            QVERIFY(other == part || distance(part) < distance(other));
    }
}

void TestDesignWindow::besideOrCentred()
{
    const QRect screen(0, 0, 1600, 900);
    const QSize outer(800, 400);
    using ferolune::ui::besideFramePosition;
    QCOMPARE(besideFramePosition(screen, QRect(100, 300, 400, 280), outer), QPoint(500, 300));
    QCOMPARE(besideFramePosition(screen, QRect(1000, 300, 400, 280), outer), QPoint(200, 300));
    QCOMPARE(besideFramePosition(QRect(0, 0, 1024, 768), QRect(300, 250, 400, 280), outer), QPoint(99, 189));
}

QTEST_MAIN(TestDesignWindow)
#include "tst_designwindow.moc"
