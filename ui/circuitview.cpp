#include "circuitview.h"

#include <QPainter>

#include <utility>

namespace ferolune::ui {

namespace {

constexpr int Width = 330;
constexpr int Height = 240;

// The wiring, in the drawing's pixels: the column of R_A, R_B and C on the
// left, the 555 in the middle, the supply above and ground below.
constexpr int Column = 85;
constexpr int Supply = 20;
constexpr int Ground = 222;
constexpr int Pin7 = 98;
constexpr int Pin6 = 148;
constexpr int Pin2 = 170;
constexpr int Output = 98; // pin 3
constexpr int Control = 148; // pin 5
constexpr QRect Chip(150, 60, 80, 132);
constexpr int Pin4 = 165;
constexpr int Pin8 = 210;
constexpr int Pin1 = 190;
constexpr int ControlCapacitor = 265;

constexpr QRect Bodies[] = {QRect(Column - 6, 38, 13, 40), QRect(Column - 6, 114, 13, 40),
                            QRect(Column - 12, 185, 25, 8)};
constexpr QRect Labels[] = {QRect(0, 34, Column - 12, 48), QRect(0, 110, Column - 12, 48),
                            QRect(0, 172, Column - 16, 40)};
constexpr const char16_t *Names[] = {u"R", u"R", u"C"};
constexpr const char16_t *Subscripts[] = {u"A", u"B", u""};

// A name with its subscript ("R" and "A") and the value below, right-aligned in the box.
void drawLabel(QPainter &painter, const QRect &box, const QString &name, const QString &subscript, const QString &value)
{
    const QFont font = painter.font();
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.75);
    const QFontMetrics metrics(font), smallMetrics(small);
    const int lineHeight = metrics.height();
    const int top = box.center().y() - (value.isEmpty() ? lineHeight / 2 : lineHeight);
    const int nameWidth = metrics.horizontalAdvance(name) + smallMetrics.horizontalAdvance(subscript);
    const int x = box.right() - nameWidth;
    painter.drawText(QPoint(x, top + metrics.ascent()), name);
    painter.setFont(small);
    painter.drawText(QPoint(x + metrics.horizontalAdvance(name), top + metrics.ascent() + metrics.descent() / 2 + 2),
                     subscript);
    painter.setFont(font);
    if (!value.isEmpty())
        painter.drawText(QRect(box.left(), top + lineHeight, box.width(), lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, value);
}

void dot(QPainter &painter, int x, int y)
{
    painter.save();
    painter.setBrush(painter.pen().color());
    painter.drawEllipse(QPointF(x + 0.5, y + 0.5), 2.5, 2.5);
    painter.restore();
}

// Two plates across a vertical wire.
void capacitor(QPainter &painter, int x, int top)
{
    painter.save();
    QPen plates = painter.pen();
    plates.setWidthF(2);
    painter.setPen(plates);
    painter.drawLine(QLineF(x - 11, top + 1, x + 12, top + 1));
    painter.drawLine(QLineF(x - 11, top + 7, x + 12, top + 7));
    painter.restore();
}

} // namespace

CircuitView::CircuitView(QWidget *parent) : QWidget(parent)
{
    setFixedSize(Width, Height);
    setValues({}, {}, {});
}

void CircuitView::setValues(const QString &ra, const QString &rb, const QString &c)
{
    m_values[0] = ra;
    m_values[1] = rb;
    m_values[2] = c;
    // What the drawing shows, for a screen reader.
    const auto named = [](const QString &name, const QString &value) {
        return value.isEmpty() ? name : name + QStringLiteral(" = ") + value;
    };
    setAccessibleDescription(
        QStringLiteral("555 多谐振荡器：8 脚和 4 脚接 VCC；%1 接在 VCC 与 7 脚之间；%2 接在 7 脚与 6、2 脚之间；"
                       "%3 接在 6、2 脚与地之间；5 脚经 10 nF 接地；1 脚接地；3 脚为输出")
            .arg(named(QStringLiteral("R_A"), ra), named(QStringLiteral("R_B"), rb), named(QStringLiteral("C"), c)));
    update();
}

QString CircuitView::value(Part part) const
{
    return m_values[int(part)];
}

QSize CircuitView::sizeHint() const
{
    return {Width, Height};
}

QRect CircuitView::bodyRect(Part part)
{
    return Bodies[int(part)];
}

QRect CircuitView::labelRect(Part part)
{
    return Labels[int(part)];
}

void CircuitView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    QPen pen(palette().text().color(), 1);
    painter.setPen(pen);
    painter.setFont(font());
    // One-pixel lines through the pixels' centres, crisp at every whole scale.
    const auto line = [&](int x1, int y1, int x2, int y2) {
        painter.drawLine(QLineF(x1 + 0.5, y1 + 0.5, x2 + 0.5, y2 + 0.5));
    };

    // Supply and ground.
    line(Column, Supply, Pin8, Supply);
    line(Column, Ground, ControlCapacitor, Ground);
    painter.drawText(QRect(0, Supply - 9, Column - 6, 18), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("VCC"));
    painter.drawText(QRect(0, Ground - 9, Column - 6, 18), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("GND"));

    // The timing column: R_A, R_B and C.
    const QRect ra = Bodies[0], rb = Bodies[1], c = Bodies[2];
    line(Column, Supply, Column, ra.top());
    painter.drawRect(QRectF(ra).adjusted(0.5, 0.5, -0.5, -0.5));
    line(Column, ra.bottom(), Column, rb.top());
    painter.drawRect(QRectF(rb).adjusted(0.5, 0.5, -0.5, -0.5));
    line(Column, rb.bottom(), Column, c.top());
    capacitor(painter, Column, c.top());
    line(Column, c.top() + 7, Column, Ground);
    for (int part = 0; part < 3; ++part)
        drawLabel(painter, Labels[part], QString::fromUtf16(Names[part]), QString::fromUtf16(Subscripts[part]),
                  m_values[part]);

    // The 555 and its pins.
    painter.drawRect(QRectF(Chip).adjusted(0.5, 0.5, -0.5, -0.5));
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(Chip, Qt::AlignCenter, QStringLiteral("555"));
    painter.setFont(font());
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.8);
    const auto pinNumber = [&](const QRect &box, const char *number) {
        painter.setFont(small);
        painter.drawText(box, Qt::AlignCenter, QString::fromLatin1(number));
        painter.setFont(font());
    };
    const int left = Chip.left(), right = Chip.right(), top = Chip.top(), bottom = Chip.bottom();
    line(Column, Pin7, left, Pin7);
    pinNumber(QRect(left + 2, Pin7 - 8, 12, 16), "7");
    line(Column, Pin2, left, Pin2);
    pinNumber(QRect(left + 2, Pin2 - 8, 12, 16), "2");
    const int joint = (Column + left) / 2;
    line(joint, Pin2, joint, Pin6);
    line(joint, Pin6, left, Pin6);
    pinNumber(QRect(left + 2, Pin6 - 8, 12, 16), "6");
    line(Pin4, Supply, Pin4, top);
    pinNumber(QRect(Pin4 - 6, top + 2, 12, 14), "4");
    line(Pin8, Supply, Pin8, top);
    pinNumber(QRect(Pin8 - 6, top + 2, 12, 14), "8");
    line(Pin1, bottom, Pin1, Ground);
    pinNumber(QRect(Pin1 - 6, bottom - 15, 12, 14), "1");
    line(right, Output, Width - 20, Output);
    pinNumber(QRect(right - 13, Output - 8, 12, 16), "3");
    painter.drawEllipse(QPointF(Width - 17.5, Output + 0.5), 3, 3);
    painter.drawText(QRect(right + 4, Output - 24, Width - right - 8, 18), Qt::AlignCenter, QStringLiteral("输出"));
    line(right, Control, ControlCapacitor, Control);
    pinNumber(QRect(right - 13, Control - 8, 12, 16), "5");
    line(ControlCapacitor, Control, ControlCapacitor, 180);
    capacitor(painter, ControlCapacitor, 180);
    line(ControlCapacitor, 187, ControlCapacitor, Ground);
    painter.drawText(QRect(ControlCapacitor + 17, 174, Width - ControlCapacitor - 17, 20),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("10 nF"));

    for (const auto &[x, y] : {std::pair{Column, Pin7}, std::pair{Column, Pin2}, std::pair{joint, Pin2},
                               std::pair{Pin4, Supply}, std::pair{Pin1, Ground}})
        dot(painter, x, y);
}

} // namespace ferolune::ui
