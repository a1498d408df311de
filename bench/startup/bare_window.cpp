// The yardstick for the start-up benchmark: the least a Qt Widgets program
// does to put a window of Ferolune's size on the screen.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(397, 258);
    window.show();
    return app.exec();
}
