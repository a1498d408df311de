// The floor for the start-up benchmark: the bare window plus one label "计算"
// in the system's Noto Serif CJK SC. Whatever a Qt program pays to draw its
// first CJK text (fontconfig's set-up, opening a CJK face) is in here, so the
// distance from this window to Ferolune is what Ferolune itself adds.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.resize(397, 258);
    auto *label = new QLabel(QStringLiteral("计算"), &window);
    label->setFont(QFont(QStringLiteral("Noto Serif CJK SC"), 9));
    label->move(24, 224);
    window.show();
    return app.exec();
}
