#pragma once

#include <QString>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

// What screen readers are told about the program's windows where Qt's own
// accessible interfaces would tell them something else: the two windows are
// frames, the result boxes read-only text, the glyphs above the boxes
// decorative, the principle window's picture readable line by line, and the
// design window's circuit a graphic.
namespace ferolune::ui {

// Call it once, before the first window is created.
void installAccessibility();

// Lays an empty label over each line of text that the window's background
// picture shows, named with its text, before `before` among the window's
// children, so that a screen reader reads the picture line by line. The lines
// file is the one the picture generator writes beside the picture.
void readPictureAloud(QWidget *window, const QString &linesFile, QWidget *before);

} // namespace ferolune::ui
