#include "waveform.h"

#include "application.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace ferolune::ui {

namespace {

// Logical pixels: the labels' column, the plot, the thresholds' labels.
constexpr QSizeF Size(276, 116);
constexpr qreal PlotLeft = 34;
constexpr qreal PlotRight = 250;
constexpr qreal OutputHigh = 8;
constexpr qreal OutputLow = 32;
constexpr qreal TwoThirds = 48;
constexpr qreal OneThird = 78;
constexpr qreal Marks = 92;

// The window's blue and the glyphs' purple.
const QColor OutputColour(0, 0, 255);
const QColor CapacitorColour(126, 4, 104);
const QColor GuideColour(150, 150, 150);
const QColor TextColour(0, 0, 0);

// The capacitor's voltage, in parts of the supply, a fraction s of the way
// through the charge (towards the supply, time constant t1 / ln 2) or the
// discharge (towards 0, t2 / ln 2): it starts at one threshold and ends at the
// other.
qreal charging(qreal s)
{
    return 1 - 2.0 / 3 * std::exp2(-s);
}

qreal discharging(qreal s)
{
    return 2.0 / 3 * std::exp2(-s);
}

qreal voltageY(qreal voltage)
{
    return OneThird - (voltage - 1.0 / 3) * 3 * (OneThird - TwoThirds);
}

} // namespace

QImage drawWaveform(double t1, double t2, qreal devicePixelRatio)
{
    QImage image((Size * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);

    const double period = t1 + t2;
    // Two periods across the plot.
    const auto x = [&](double time) { return PlotLeft + time / (2 * period) * (PlotRight - PlotLeft); };

    // Straight lines are drawn without smoothing, on whole device pixels,
    // solid and sharp at every scale; only the capacitor's curve is smoothed.
    QPainter painter(&image);
    QFont font(SongFamily.toString());
    font.setPixelSize(12);
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    // The thresholds and the edges, faint behind the traces.
    painter.setPen(QPen(GuideColour, 1, Qt::DotLine));
    for (const qreal y : {TwoThirds, OneThird})
        painter.drawLine(QPointF(PlotLeft, y), QPointF(PlotRight, y));
    for (const double time : {t1, period, period + t1})
        painter.drawLine(QPointF(x(time), OutputHigh), QPointF(x(time), Marks));

    QPainterPath output(QPointF(x(0), OutputLow));
    QPainterPath capacitor(QPointF(x(0), voltageY(1.0 / 3)));
    for (const double start : {0.0, period}) {
        output.lineTo(x(start), OutputHigh);
        output.lineTo(x(start + t1), OutputHigh);
        output.lineTo(x(start + t1), OutputLow);
        output.lineTo(x(start + period), OutputLow);
        // A point every logical pixel is smooth at any scale.
        for (auto [from, length, curve] :
             {std::tuple(start, t1, &charging), std::tuple(start + t1, t2, &discharging)}) {
            const int steps = std::max(1, int(std::ceil(x(from + length) - x(from))));
            for (int step = 1; step <= steps; ++step) {
                const qreal s = qreal(step) / steps;
                capacitor.lineTo(x(from + s * length), voltageY(curve(s)));
            }
        }
    }
    painter.setPen(QPen(OutputColour, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawPath(output);

    // T1 and T2 under the first period, each label centred on its span unless
    // T2's is too short for it.
    painter.setPen(QPen(TextColour, 1));
    for (const qreal edge : {x(0), x(t1), x(period)})
        painter.drawLine(QPointF(edge, Marks - 3), QPointF(edge, Marks + 3));
    painter.drawLine(QPointF(x(0), Marks), QPointF(x(period), Marks));
    const qreal labelTop = Marks + 4;
    const QString t1Label = QStringLiteral("T1"), t2Label = QStringLiteral("T2");
    const qreal t1Centre = (x(0) + x(t1)) / 2;
    const qreal t2Centre = std::max((x(t1) + x(period)) / 2, t1Centre + metrics.horizontalAdvance(t1Label) + 4);
    for (const auto &[label, centre] : {std::pair(t1Label, t1Centre), std::pair(t2Label, t2Centre)}) {
        const qreal width = metrics.horizontalAdvance(label);
        painter.drawText(QPointF(centre - width / 2, labelTop + metrics.ascent()), label);
    }

    // What the traces are, left; the thresholds, right.
    const auto labelAt = [&](const QString &text, qreal left, qreal middle) {
        painter.drawText(QPointF(left, middle + (metrics.ascent() - metrics.descent()) / 2), text);
    };
    labelAt(QStringLiteral("输出"), 0, (OutputHigh + OutputLow) / 2);
    labelAt(QStringLiteral("电容"), 0, (TwoThirds + OneThird) / 2);
    labelAt(QStringLiteral("2/3"), PlotRight + 4, TwoThirds);
    labelAt(QStringLiteral("1/3"), PlotRight + 4, OneThird);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(CapacitorColour, 1));
    painter.drawPath(capacitor);
    return image;
}

QString waveformHtml(double t1, double t2, qreal devicePixelRatio)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    drawWaveform(t1, t2, devicePixelRatio).save(&buffer, "PNG");
    return QStringLiteral("<p><img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%3\"></p>")
        .arg(QLatin1String(png.toBase64()))
        .arg(Size.width())
        .arg(Size.height());
}

} // namespace ferolune::ui
