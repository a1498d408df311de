// What the program's accessibility interfaces answer a screen reader, asked
// directly: the arithmetic of selections and character boxes, and the
// principle picture's lines among the window's children. The real bus is
// tested by tests/app/accessibility_test.py.

#include "window_test.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    if (!face)
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    return face;
}

// The principle picture's lines, as the picture generator wrote them beside it.
QJsonArray pictureLines()
{
    QFile file(QStringLiteral(":/assets/principle.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no principle.json");
    return QJsonDocument::fromJson(file.readAll())["lines"].toArray();
}

// What the principle picture shows, line by line.
const QStringList PrincipleLines{QStringLiteral("2.555 Ferolune:"),
                                 QStringLiteral("请输入 R_A, R_B, C"),
                                 QStringLiteral("输出：充电时间 T1，放电时间 T2，周期 T"),
                                 QStringLiteral("T = 0.693(R_A + 2R_B)C"),
                                 QStringLiteral("T1 = 0.693(R_A + R_B)C"),
                                 QStringLiteral("T2 = 0.693 R_B C")};

QPair<int, int> selectionOf(QAccessibleTextInterface *text, int index)
{
    int start = -1;
    int end = -1;
    text->selection(index, &start, &end);
    return {start, end};
}

} // namespace

class TestAccessibility : public MainWindowTest
{
    Q_OBJECT

private slots:
    void groupsLeaveOutTheirDecorativePictures_data();
    void groupsLeaveOutTheirDecorativePictures();
    void resultBoxSelection();
    void resultBoxCharacterBoxes();
    void principleLinesComeBeforeTheButton();
    void principleLinesFollowTheWindow();
};

void TestAccessibility::groupsLeaveOutTheirDecorativePictures_data()
{
    QTest::addColumn<QString>("group");
    QTest::newRow("输入") << QStringLiteral("Frame1");
    QTest::newRow("输出") << QStringLiteral("Frame2");
}

void TestAccessibility::groupsLeaveOutTheirDecorativePictures()
{
    QFETCH(QString, group);
    auto *frame = m_form->findChild<QGroupBox *>(group);
    QVERIFY(frame);
    QAccessibleInterface *face = accessible(frame);

    QList<QObject *> decorative;
    QList<QObject *> read;
    for (QWidget *widget : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        (widget->property("decorative").toBool() ? decorative : read) << widget;
    QCOMPARE(decorative.size(), 3);

    QCOMPARE(face->childCount(), read.size());
    QList<QObject *> children;
    for (int i = 0; i < face->childCount(); ++i) {
        QAccessibleInterface *child = face->child(i);
        QVERIFY(child);
        QCOMPARE(face->indexOfChild(child), i);
        children << child->object();
    }
    QCOMPARE(children, read);
    // The caption labels each of them, as Qt's own group boxes say.
    QCOMPARE(face->relations(QAccessible::Labelled).size(), read.size());
    QCOMPARE(face->child(-1), nullptr);
    QCOMPARE(face->child(face->childCount()), nullptr);
}

// A screen reader selects, reads back and clears a selection of a result box;
// the box has one selection at most.
void TestAccessibility::resultBoxSelection()
{
    auto *box = child<QLineEdit>("Text6");
    box->setText(QStringLiteral("0.0211"));
    QAccessibleInterface *face = accessible(box);
    QVERIFY(face->state().readOnly);
    QVERIFY(face->state().selectableText);
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("0.0211"));
    QAccessibleTextInterface *text = face->textInterface();
    QVERIFY(text);

    QCOMPARE(text->selectionCount(), 0);
    QCOMPARE(selectionOf(text, 0), qMakePair(0, 0));

    text->setSelection(0, 2, 5);
    QCOMPARE(box->selectedText(), QStringLiteral("021"));
    QCOMPARE(text->selectionCount(), 1);
    QCOMPARE(selectionOf(text, 0), qMakePair(2, 5));
    QCOMPARE(selectionOf(text, 1), qMakePair(0, 0));

    text->setSelection(1, 0, 1);
    text->removeSelection(1);
    QCOMPARE(box->selectedText(), QStringLiteral("021"));

    text->removeSelection(0);
    QVERIFY(!box->hasSelectedText());
    QCOMPARE(text->selectionCount(), 0);
}

// Each character's box on the screen starts where the text cursor stands
// when the cursor is before it, and runs one character's advance.
void TestAccessibility::resultBoxCharacterBoxes()
{
    auto *box = child<QLineEdit>("Text4");
    box->setText(QStringLiteral("0.69"));
    QAccessibleTextInterface *text = accessible(box)->textInterface();
    const QFontMetrics metrics(box->font());

    const int length = static_cast<int>(box->text().size());
    for (int cursor = 0; cursor < length; ++cursor) {
        box->setCursorPosition(cursor);
        const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QRect character = text->characterRect(cursor);
        QCOMPARE(character.left(), box->mapToGlobal(caret.center()).x());
        QCOMPARE(character.top(), box->mapToGlobal(caret.topLeft()).y());
        QCOMPARE(character.width(), metrics.horizontalAdvance(box->text().at(cursor)));
    }
    QVERIFY(text->characterRect(-1).isNull());
    QVERIFY(text->characterRect(length).isNull());
}

// The picture's six lines are the window's first children, read in order;
// the 退出 button follows them.
void TestAccessibility::principleLinesComeBeforeTheButton()
{
    Form2 principle;
    QAccessibleInterface *face = accessible(&principle);
    auto *button = principle.findChild<QPushButton *>(QStringLiteral("Command1"));
    QVERIFY(button);

    // Beside its name, the window tells what the picture is about.
    QVERIFY(!face->text(QAccessible::Description).isEmpty());

    constexpr int Lines = 6;
    const QJsonArray lines = pictureLines();
    QCOMPARE(lines.size(), Lines);
    QCOMPARE(face->childCount(), Lines + 1);
    for (int i = 0; i < Lines; ++i) {
        QAccessibleInterface *line = face->child(i);
        QVERIFY(line);
        QCOMPARE(line->role(), QAccessible::StaticText);
        QCOMPARE(line->text(QAccessible::Name), PrincipleLines[i]);
        QVERIFY(!line->actionInterface());
        QCOMPARE(face->indexOfChild(line), i);
        QCOMPARE(face->child(i), line);
    }
    QAccessibleInterface *last = face->child(Lines);
    QVERIFY(last);
    QCOMPARE(last->object(), button);
    QCOMPARE(face->indexOfChild(last), Lines);
    QCOMPARE(face->child(-1), nullptr);
    QCOMPARE(face->child(Lines + 1), nullptr);
}

// The lines are hidden while the window is, lie inside it when it shows, and
// go with it.
void TestAccessibility::principleLinesFollowTheWindow()
{
    auto *principle = new Form2;
    QAccessibleInterface *line = accessible(principle)->child(0);
    QVERIFY(line->isValid());
    QVERIFY(line->state().invisible);
    QVERIFY(line->state().readOnly);

    principle->show();
    QVERIFY(QTest::qWaitForWindowExposed(principle));
    QVERIFY(!line->state().invisible);
    const QJsonValue drawn = pictureLines()[0];
    QCOMPARE(line->rect(),
             QRect(principle->mapToGlobal(QPoint(drawn["x"].toInt(), drawn["y"].toInt())),
                   QSize(drawn["width"].toInt(), drawn["height"].toInt())));

    const QAccessible::Id id = QAccessible::uniqueId(line);
    delete principle;
    QCOMPARE(QAccessible::accessibleInterface(id), nullptr);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
