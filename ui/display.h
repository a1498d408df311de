#pragma once

namespace ferolune::ui {

// Whether a window system the program can show its windows on is there: the X
// server named by DISPLAY or the Wayland compositor named by WAYLAND_DISPLAY,
// whichever Qt would try. When none answers, says on standard error, in Chinese
// and English, which is missing. Call it before the application is created:
// Qt would abort instead.
bool canOpenDisplay();

} // namespace ferolune::ui
