#pragma once

#include <QString>

namespace ferolune::ui {

// Where the program can show its windows. Asked before the application is
// created: Qt aborts when the platform it starts has no display.
enum class Display {
    Platform, // the platform Qt chooses: an X server answers, or one without a display was named
    Wayland, // only a Wayland compositor answers, which Qt 6.4 tries only if the session says Wayland
    None, // nothing answers
};
Display findDisplay();

// The line for standard error when there is none: which display is missing, in
// Chinese and English.
QString noDisplayMessage();

} // namespace ferolune::ui
