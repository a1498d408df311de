#include "application.h"

#include "accessibility.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QResource>
#include <QStyleFactory>
#include <QToolTip>
#include <QTranslator>

namespace ferolune::ui {

namespace {

// The Song face the program carries holds every character its windows show by
// themselves, so they look the same on every desktop, with or without CJK fonts.
// Its files lie uncompressed in the executable (ui/CMakeLists.txt), and Qt reads
// them there: addApplicationFont() would copy their 0.2 MiB to the heap.
void loadSongFace()
{
    for (const QString &file :
         {QStringLiteral(":/fonts/FeroluneSong-Regular.otf"), QStringLiteral(":/fonts/FeroluneSong-Bold.otf")}) {
        const QResource face(file);
        QFontDatabase::addApplicationFontFromData(
            QByteArray::fromRawData(reinterpret_cast<const char *>(face.data()), face.size()));
    }
}

// The forms name 宋体; these are the Song and Ming faces that stand in for it,
// best first: the program's own, then the desktop's for text pasted into the
// boxes that the program's face lacks.
void substituteSongFaces()
{
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {SongFamily.toString(), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                                QStringLiteral("Songti SC"), QStringLiteral("STSong"),
                                QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                                QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL SungtiL GB"),
                                QStringLiteral("Noto Serif CJK"), QStringLiteral("Noto Serif CJK TC")});
}

// The program is made for a Simplified Chinese desktop, so Qt's own texts (the
// OK button, the text boxes' context menu) are Chinese whatever the locale. A
// Linux desktop has them where Qt is; the Windows program carries its own.
void loadChineseQtTexts(QApplication &app)
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                              QStringLiteral(":/translations")};
    auto *translator = new QTranslator(&app);
    for (const QString &folder : folders) {
        if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}

// The icon theme's sizes up to 128 pixels (ui/CMakeLists.txt says why no more),
// so that a task switcher need not scale one; the 32-pixel one is the picture of
// the Windows .ico.
QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {FEROLUNE_WINDOW_ICON_SIZES}) {
        // Read as PNG outright: left to find the format, Qt 6.4 loads every image
        // plugin (the ico one too) to ask it about the file before its own reader.
        QImageReader reader(QStringLiteral(":/assets/ferolune-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace

void setUpApplication(QApplication &app)
{
    QApplication::setApplicationName(ApplicationName.toString());
    QApplication::setApplicationVersion(ApplicationVersion.toString());
    QApplication::setOrganizationName(ApplicationName.toString());
    QGuiApplication::setDesktopFileName(DesktopFileName.toString());
    QApplication::setWindowIcon(applicationIcon());

    // The orange group boxes with their blue captions come from the palette;
    // Fusion honours it on every desktop, the native styles do not all do so.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    loadSongFace();
    substituteSongFaces();
    // A Chinese desktop's default window font, so buttons and group box captions
    // share the Song face of the boxes; the desktop's sans default would pull in a
    // second CJK family through glyph fallback, some 3 MiB more at start-up.
    // Every text the program shows by itself is in its face, so Qt need not
    // sort the system's fallback faces for each script it meets (Chinese in the
    // captions, Greek in the units). The entry boxes, where a user may paste
    // anything, take the fallbacks back: their fonts in form1.ui ask for them.
    QFont font(QStringLiteral("宋体"), 9);
    font.setStyleStrategy(QFont::NoFontMerging);
    QApplication::setFont(font);
    // The tooltips echo what the user typed, so, like the entry boxes, they
    // take the desktop's faces for what the program's face lacks.
    font.setStyleStrategy(QFont::PreferDefault);
    QToolTip::setFont(font);
    loadChineseQtTexts(app);
    installAccessibility();
}

} // namespace ferolune::ui
