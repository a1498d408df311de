#pragma once

#include <QStringView>

QT_BEGIN_NAMESPACE
class QApplication;
QT_END_NAMESPACE

namespace ferolune::ui {

inline constexpr QStringView ApplicationName = u"Ferolune";
inline constexpr QStringView ApplicationVersion = u"1.00";
// The caption of every message box the program shows.
inline constexpr QStringView ApplicationTitle = u"Quandel";

// Identity, look and language shared by every window of the program. Call it
// once, before the first window is created.
void setUpApplication(QApplication &app);

} // namespace ferolune::ui
