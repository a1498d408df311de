#include "ui/application.h"
#include "ui/display.h"
#include "ui/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ferolune::ui::lookForDisplay();
    QApplication app(argc, argv);
    ferolune::ui::setUpApplication(app);
    ferolune::ui::Form1 window;
    window.show();
    return app.exec();
}
