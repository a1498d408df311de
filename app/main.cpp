#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>

#ifdef Q_OS_LINUX
#include "ui/display.h"
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_LINUX
    ferolune::ui::lookForDisplay();
#endif
    QApplication app(argc, argv);
    ferolune::ui::setUpApplication(app);
    ferolune::ui::Form1 window;
    window.show();
    return app.exec();
}
