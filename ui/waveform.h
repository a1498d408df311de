#pragma once

#include <QImage>
#include <QString>

namespace ferolune::ui {

// The timing diagram of the T box's tooltip, to scale for a charge time t1 > 0
// and a discharge time t2 >= 0: over two periods the output, high for t1 and
// low for t2, and below it the capacitor's voltage rising from 1/3 to 2/3 of
// the supply and falling back, with t1 and t2 marked; drawn in the program's
// face for a screen of the given device pixel ratio.
QImage drawWaveform(double t1, double t2, qreal devicePixelRatio);

// The diagram as a paragraph of a rich-text tooltip, sized in logical pixels.
QString waveformHtml(double t1, double t2, qreal devicePixelRatio);

} // namespace ferolune::ui
