#pragma once

#include <QStringView>

QT_BEGIN_NAMESPACE
class QApplication;
QT_END_NAMESPACE

namespace ferolune::ui {

inline constexpr QStringView ApplicationName = u"Ferolune";
// "1.00" in the version fields, "1.0" in the main window's caption; both come
// from the project's version in CMake.
inline constexpr QStringView ApplicationVersion = u"" FEROLUNE_DISPLAY_VERSION;
inline constexpr QStringView CaptionVersion = u"" FEROLUNE_CAPTION_VERSION;
// The caption of every message box the program shows.
inline constexpr QStringView ApplicationTitle = u"Quandel";
// The family of the Song face in the program's resources, which draws 宋体.
inline constexpr QStringView SongFamily = u"Ferolune Song";
// The name of the desktop entry, which docks and Wayland compositors match the
// windows to.
inline constexpr QStringView DesktopFileName = u"" FEROLUNE_APP_ID;

// Identity, look and language shared by every window of the program. Call it
// once, before the first window is created.
void setUpApplication(QApplication &app);

} // namespace ferolune::ui
