// The Song face the program carries: it holds every character the windows, the
// message boxes and Qt's Chinese texts put on screen; it draws the same pixels
// as the system's Noto Serif CJK SC it was cut from; the windows look the same
// on a desktop without any CJK font; text it lacks falls back to the system.

#include "window_test.h"

#include "ui/designwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>

#include <functional>
#include <memory>

namespace {

struct ShownText
{
    QString where;
    QString text;
    bool drawn = true; // accessible names and descriptions are spoken, not drawn
};

QString nameOf(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

QList<ShownText> textsOf(QWidget *window)
{
    QList<ShownText> shown;
    QList<QWidget *> widgets{window};
    widgets += window->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        const QString where = nameOf(window) + u'/' + nameOf(widget) + u' ';
        const auto add = [&](const char *what, const QString &text, bool drawn = true) {
            if (!text.isEmpty())
                shown.append({where + QLatin1String(what), text, drawn});
        };
        if (widget->isWindow())
            add("title", widget->windowTitle());
        add("tooltip", widget->toolTip());
        add("status tip", widget->statusTip());
        add("what's this", widget->whatsThis());
        add("accessible name", widget->accessibleName(), false);
        add("accessible description", widget->accessibleDescription(), false);
        if (const auto *label = qobject_cast<QLabel *>(widget))
            add("text", label->text());
        if (const auto *button = qobject_cast<QAbstractButton *>(widget))
            add("text", button->text());
        if (const auto *group = qobject_cast<QGroupBox *>(widget))
            add("title", group->title());
        if (auto *box = qobject_cast<QLineEdit *>(widget)) {
            add("text", box->text());
            add("placeholder", box->placeholderText());
            // Qt's context menu, from its Chinese translation, shortcuts included.
            const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
            // Qt puts the shortcut after a tab in the entry's text.
            for (const QAction *action : menu->actions()) {
                add("menu entry", action->text().section(u'\t', 0, 0));
                add("menu shortcut", action->text().section(u'\t', 1));
                add("menu shortcut", action->shortcut().toString(QKeySequence::NativeText));
            }
        }
        for (const QAction *action : widget->actions()) {
            add("action", action->text());
            add("action tooltip", action->toolTip());
        }
    }
    return shown;
}

// Presses "计算" with `entry` in the three boxes, which shows one of the two messages;
// `onBox` sees the box on screen, then it is answered with its first button.
void whileMessageShown(Form1 &window, const char *entry, const std::function<void(QMessageBox *)> &onBox)
{
    const ModalWatcher<QMessageBox> watcher([&](QMessageBox *box) {
        onBox(box);
        box->buttons().constFirst()->click();
    });
    for (const char *name : {"Text1", "Text2", "Text3"})
        window.findChild<QLineEdit *>(QLatin1String(name))->setText(QString::fromLatin1(entry));
    window.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
}

const char *const Empty = "";
const char *const Overflowing = "1e999";

QList<ShownText> everythingShown()
{
    ferolune::ui::Form1 main;
    ferolune::ui::Form2 principle;
    ferolune::ui::DesignWindow design;
    QList<ShownText> shown = textsOf(&main) + textsOf(&principle) + textsOf(&design);
    for (const char *entry : {Empty, Overflowing}) {
        whileMessageShown(main, entry, [&](QMessageBox *box) { shown += textsOf(box); });
    }
    return shown;
}

QRawFont embeddedFace(const char *file)
{
    QFile f(QStringLiteral(":/fonts/") + QLatin1String(file));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QRawFont(f.readAll(), 12);
}

// The glyphs `text` is drawn with in `font`; the first run when Qt needs more
// than one face.
QGlyphRun drawnBy(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    return runs.isEmpty() ? QGlyphRun() : runs.first();
}

// The grabs of the main window and of the two message boxes, as the user sees them.
QList<QImage> grabWindows()
{
    QList<QImage> grabs;
    ferolune::ui::Form1 main;
    main.show();
    if (!QTest::qWaitForWindowExposed(&main))
        return {};
    grabs << main.grab().toImage();
    for (const char *entry : {Empty, Overflowing}) {
        whileMessageShown(main, entry, [&](QMessageBox *box) { grabs << box->grab().toImage(); });
    }
    return grabs;
}

const QStringList GrabNames{QStringLiteral("main"), QStringLiteral("incomplete"), QStringLiteral("overflow")};

// The child side of samePixelsWithoutCjkFonts: saves the grabs into `folder`.
int saveGrabs(const QString &folder)
{
    ferolune::ui::setUpApplication(*qApp);
    for (const QString &family : QFontDatabase::families()) {
        if (family != ferolune::ui::SongFamily
            && QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese)) {
            qWarning("the private font configuration offers %s", qPrintable(family));
            return 2;
        }
    }
    const QList<QImage> grabs = grabWindows();
    if (grabs.size() != GrabNames.size())
        return 3;
    for (qsizetype i = 0; i < grabs.size(); ++i)
        if (!grabs[i].save(folder + u'/' + GrabNames[i] + QStringLiteral(".png")))
            return 4;
    return 0;
}

QString hex(const QString &characters)
{
    QStringList codes;
    for (const char32_t c : characters.toUcs4())
        codes << QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    return codes.join(u' ');
}

} // namespace

class TestSongFace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void walkSeesEveryKindOfText();
    void faceHoldsEveryCharacterShown_data();
    void faceHoldsEveryCharacterShown();
    void drawsLikeTheSystemFace_data();
    void drawsLikeTheSystemFace();
    void countsAsLatinFace();
    void pastedTextFallsBackToTheSystem_data();
    void pastedTextFallsBackToTheSystem();
    void samePixelsWithoutCjkFonts();
};

void TestSongFace::initTestCase()
{
    ferolune::ui::setUpApplication(*qApp);
}

// The walk below is only as good as what it reaches.
void TestSongFace::walkSeesEveryKindOfText()
{
    QStringList texts;
    for (const ShownText &shown : everythingShown())
        texts << shown.text;
    for (const QString &expected :
         {QStringLiteral("计算原理"), QStringLiteral("输出"), QStringLiteral("μF"),
          QStringLiteral("请填写完整的数据！"), QStringLiteral("数值溢出，请检查输入的数据！"),
          QStringLiteral("Quandel"), QStringLiteral("确定"), QStringLiteral("全选")})
        QVERIFY2(texts.contains(expected), qPrintable(expected));
}

void TestSongFace::faceHoldsEveryCharacterShown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("drawn");
    for (const ShownText &shown : everythingShown())
        QTest::addRow("%s", qPrintable(shown.where)) << shown.text << shown.drawn;
}

void TestSongFace::faceHoldsEveryCharacterShown()
{
    QFETCH(QString, text);
    QFETCH(bool, drawn);

    // Noto Serif CJK has no superscript six or nine; the banner's description
    // holds them, and screen readers speak it.
    const QString spokenOnly = QStringLiteral("⁶⁹");
    for (const char *file : {"FeroluneSong-Regular.otf", "FeroluneSong-Bold.otf"}) {
        const QRawFont face = embeddedFace(file);
        QVERIFY2(face.isValid(), file);
        QString missing;
        for (const char32_t c : text.toUcs4()) {
            if (c < 0x20 || face.supportsCharacter(c) || (!drawn && spokenOnly.contains(QChar(c))))
                continue;
            missing += QString::fromUcs4(&c, 1);
        }
        QVERIFY2(
            missing.isEmpty(),
            qPrintable(
                QStringLiteral("%1 lacks %2 (%3) of \"%4\"").arg(QLatin1String(file), missing, hex(missing), text)));
    }
}

void TestSongFace::drawsLikeTheSystemFace_data()
{
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("buttons and captions, 9 pt") << qreal(9) << false;
    QTest::newRow("entry boxes, 12 pt") << qreal(12) << false;
    QTest::newRow("result boxes, 12 pt bold") << qreal(12) << true;
    QTest::newRow("unit labels, 10.5 pt") << qreal(10.5) << false;
}

// The cut keeps the outlines, metrics and hints: every text the program shows
// draws pixel for pixel as in the face it was cut from.
void TestSongFace::drawsLikeTheSystemFace()
{
    QFETCH(qreal, points);
    QFETCH(bool, bold);

    const QString system = QStringLiteral("Noto Serif CJK SC");
    if (!QFontDatabase::families().contains(system))
        QSKIP("fonts-noto-cjk is not installed");
    QStringList texts;
    for (const ShownText &shown : everythingShown())
        if (shown.drawn)
            texts << shown.text;
    const QString all = texts.join(u'\n');

    const auto draw = [&](const QString &family) {
        QFont font(family);
        font.setPointSizeF(points);
        font.setBold(bold);
        font.setStyleStrategy(QFont::NoFontMerging);
        QImage image(1200, 1000, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.drawText(image.rect().adjusted(4, 4, -4, -4), Qt::TextWordWrap, all);
        return image;
    };
    QCOMPARE(QFontInfo(QFont(system)).family(), system);
    QVERIFY(draw(ferolune::ui::SongFamily.toString()) == draw(system));
}

// Qt draws the Greek units and the Chinese captions with the engine it made for
// the Latin text of the same size only when the face counts as a Latin one;
// otherwise it makes one more engine of the same face and size for each script.
void TestSongFace::countsAsLatinFace()
{
    QVERIFY(QFontDatabase::writingSystems(ferolune::ui::SongFamily.toString()).contains(QFontDatabase::Latin));
}

void TestSongFace::pastedTextFallsBackToTheSystem_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("R_A") << QStringLiteral("Text1");
    QTest::newRow("R_B") << QStringLiteral("Text2");
    QTest::newRow("C") << QStringLiteral("Text3");
}

// A rare ideograph pasted into an entry box is drawn by a CJK face of the
// system, not as the hollow box of the program's cut face, although the
// program's own texts draw in that face alone.
void TestSongFace::pastedTextFallsBackToTheSystem()
{
    QFETCH(QString, entry);
    const QString rare = QStringLiteral("龘");
    QVERIFY(!embeddedFace("FeroluneSong-Regular.otf").supportsCharacter(rare.at(0)));
    QFont plain(QStringLiteral("Serif"));
    plain.setStyleStrategy(QFont::PreferDefault);
    if (!drawnBy(rare, plain).rawFont().supportsCharacter(rare.at(0)))
        QSKIP("no system font has the character");

    ferolune::ui::Form1 main;
    auto *box = main.findChild<QLineEdit *>(entry);
    QVERIFY(box);
    box->setText(rare);
    const QGlyphRun run = drawnBy(box->text(), box->font());
    QVERIFY(run.rawFont().supportsCharacter(rare.at(0)));
    QVERIFY(run.rawFont().familyName() != ferolune::ui::SongFamily);
    QVERIFY(run.glyphIndexes().first() != 0);
}

// A desktop without CJK fonts, as a fresh install in another language has:
// fontconfig with the system's rules but DejaVu as its only fonts. The windows
// and both message boxes must come out exactly as with the full system.
void TestSongFace::samePixelsWithoutCjkFonts()
{
    const QString dejavu = QStringLiteral("/usr/share/fonts/truetype/dejavu");
    if (!QDir(dejavu).exists())
        QSKIP("fonts-dejavu-core is not installed");
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QFile config(work.filePath(QStringLiteral("fonts.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                                "<fontconfig>\n  <dir>%1</dir>\n  <cachedir>%2</cachedir>\n"
                                "  <include ignore_missing=\"yes\">/etc/fonts/conf.d</include>\n</fontconfig>\n")
                     .arg(dejavu, work.filePath(QStringLiteral("cache")))
                     .toUtf8());
    config.close();

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FONTCONFIG_FILE"), config.fileName());
    env.insert(QStringLiteral("FEROLUNE_SAVE_GRABS"), work.path());
    env.insert(QStringLiteral("HOME"), work.path()); // no per-user fonts either
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);

    const QList<QImage> here = grabWindows();
    QCOMPARE(here.size(), GrabNames.size());
    for (qsizetype i = 0; i < here.size(); ++i) {
        const QImage without(work.filePath(GrabNames[i] + QStringLiteral(".png")));
        QVERIFY2(!without.isNull(), qPrintable(GrabNames[i]));
        if (without.convertToFormat(QImage::Format_RGB32) != here[i].convertToFormat(QImage::Format_RGB32)) {
            const QString kept = QDir::temp().filePath(QStringLiteral("ferolune-%1-").arg(GrabNames[i]));
            without.save(kept + QStringLiteral("without-cjk.png"));
            here[i].save(kept + QStringLiteral("system.png"));
            QFAIL(qPrintable(QStringLiteral("%1 differs without CJK fonts; see %2*.png").arg(GrabNames[i], kept)));
        }
    }
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (const QString folder = qEnvironmentVariable("FEROLUNE_SAVE_GRABS"); !folder.isEmpty())
        return saveGrabs(folder);
    TestSongFace test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_songface.moc"
