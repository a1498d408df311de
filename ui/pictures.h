#pragma once

#include <QPixmap>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

namespace ferolune::ui {

// The forms' pixmap function: loads a picture a form names, as QPixmap would,
// and notes where it came from, so that followScreenScale() can put its double
// drawing ("glyph_ra@2x.gif" beside "glyph_ra.gif") in its place.
QPixmap formPicture(const char *path);

// Shows the form pictures of a window (its labels' pixmaps and a textured
// background) as its screen needs them: the files the form names where a device
// pixel is a pixel, their double drawings wherever the device pixel ratio is
// above 1, which Qt draws pixel for pixel at 2 and scales down smoothly at 1.25
// or 1.5. The window follows when it moves to a screen of another scale.
void followScreenScale(QWidget *window);

} // namespace ferolune::ui
