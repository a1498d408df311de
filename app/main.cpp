#include "ui/application.h"
#include "ui/display.h"
#include "ui/form1.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    using ferolune::ui::Display;
    switch (ferolune::ui::findDisplay()) {
    case Display::None:
        std::fputs(ferolune::ui::noDisplayMessage().toUtf8().constData(), stderr);
        return 1;
    case Display::Wayland:
        qputenv("QT_QPA_PLATFORM", "wayland");
        break;
    case Display::Platform:
        break;
    }
    QApplication app(argc, argv);
    ferolune::ui::setUpApplication(app);
    ferolune::ui::Form1 window;
    window.show();
    return app.exec();
}
