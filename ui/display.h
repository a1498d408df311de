#pragma once

namespace ferolune::ui {

// Has Qt look for a display on X11 and then on Wayland where the session names
// no platform, and turns Qt's end when it finds none (an abort, with a core dump
// and advice to reinstall) into one line on standard error, in Chinese and
// English, naming what is missing, and exit status 1. Call it before the
// application is created.
void lookForDisplay();

} // namespace ferolune::ui
