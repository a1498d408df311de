// The windows load these pictures through Qt's readers and draw them unscaled: these
// tests decode the committed files as the program will and look at what they show.
// Their file formats, as Pillow reads them, are asset_formats.py's.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QRect>
#include <QString>
#include <QTest>
#include <QXmlStreamReader>

#include <utility>

namespace {

QByteArray readAsset(const QString &name)
{
    QFile file(QStringLiteral(FEROLUNE_ASSET_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

const QColor Purple(126, 4, 104);

QImage decode(const QByteArray &bytes, QByteArray *format = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // No file name and no format hint: Qt has to recognise the content itself.
    QImageReader reader(&buffer);
    if (format)
        *format = reader.format();
    return reader.read();
}

// Bounding box of the opaque pixels.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

bool isWhite(QRgb pixel)
{
    return qRed(pixel) >= 240 && qGreen(pixel) >= 240 && qBlue(pixel) >= 240;
}

bool near(QRgb pixel, const QColor &colour, int tolerance)
{
    return qAbs(qRed(pixel) - colour.red()) <= tolerance && qAbs(qGreen(pixel) - colour.green()) <= tolerance
        && qAbs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// The points of each polyline of an SVG, in its own units.
QList<QList<QPointF>> svgPolylines(const QByteArray &data)
{
    QList<QList<QPointF>> lines;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("polyline"))
            continue;
        QList<QPointF> points;
        const QString text = xml.attributes().value(QLatin1String("points")).toString();
        for (const QString &pair : text.split(u' ', Qt::SkipEmptyParts)) {
            const qsizetype comma = pair.indexOf(u',');
            points.append(QPointF(pair.left(comma).toDouble(), pair.mid(comma + 1).toDouble()));
        }
        lines.append(points);
    }
    return lines;
}

// A picture as one grey level per pixel: the ink's opacity for a glyph, the brightness
// for a JPEG; at `reduce` 2, each 2×2 block averaged to one pixel.
QList<QList<double>> greyLevels(const QImage &image, bool glyph, int reduce)
{
    QList<QList<double>> grey(image.height() / reduce, QList<double>(image.width() / reduce));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            grey[y / reduce][x / reduce] += (glyph ? qAlpha(pixel) : qGray(pixel)) / double(reduce * reduce);
        }
    return grey;
}

// Mean absolute difference of two grey pictures of one size, `b` moved by (dx, dy).
double meanDifference(const QList<QList<double>> &a, const QList<QList<double>> &b, int dx = 0, int dy = 0)
{
    const qsizetype h = a.size(), w = a.first().size();
    double sum = 0;
    for (qsizetype y = 0; y < h; ++y)
        for (qsizetype x = 0; x < w; ++x)
            sum += qAbs(a[y][x] - b[qBound(qsizetype(0), y + dy, h - 1)][qBound(qsizetype(0), x + dx, w - 1)]);
    return sum / double(h * w);
}

} // namespace

class AssetFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void decodesWithQt_data();
    void decodesWithQt();
    void scalableIconIsWellFormed();
    void glyphInkIsOpaqueRestTransparent_data();
    void glyphInkIsOpaqueRestTransparent();
    void glyphsTellTheirSymbolsApart();
    void iconIsTheSameDrawingInEveryFile();
    void bannerHasItsBevel();
    void principleLeavesTheButtonAreaWhite();
    void doubleDrawingMatchesSingle_data();
    void doubleDrawingMatchesSingle();
};

void AssetFormatTest::decodesWithQt_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("qtFormat");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    // Each glyph, and the double drawing of each picture for scaled screens: twice the size.
    const std::pair<const char *, const char *> glyphs[] = {{"R_A", "ra"}, {"R_B", "rb"}, {"C", "c"},
                                                            {"T_1", "t1"}, {"T_2", "t2"}, {"T", "t"}};
    for (const auto &[symbol, stem] : glyphs) {
        QTest::addRow("glyph %s", symbol)
            << QStringLiteral("glyph_%1.gif").arg(QLatin1String(stem)) << QByteArray("gif") << 30 << 30;
        QTest::addRow("glyph %s @2x", symbol)
            << QStringLiteral("glyph_%1@2x.gif").arg(QLatin1String(stem)) << QByteArray("gif") << 60 << 60;
    }
    QTest::newRow("capacitance banner") << QStringLiteral("capacitance_banner.jpg") << QByteArray("jpeg") << 259 << 19;
    QTest::newRow("principle picture") << QStringLiteral("principle.jpg") << QByteArray("jpeg") << 229 << 227;
    QTest::newRow("capacitance banner @2x")
        << QStringLiteral("capacitance_banner@2x.jpg") << QByteArray("jpeg") << 518 << 38;
    QTest::newRow("principle picture @2x") << QStringLiteral("principle@2x.jpg") << QByteArray("jpeg") << 458 << 454;

    QTest::newRow("window icon") << QStringLiteral("ferolune.ico") << QByteArray("ico") << 32 << 32;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        QTest::addRow("menu icon %d", size)
            << QStringLiteral("ferolune-%1.png").arg(size) << QByteArray("png") << size << size;
}

void AssetFormatTest::decodesWithQt()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, qtFormat);
    QFETCH(int, width);
    QFETCH(int, height);

    QVERIFY2(QImageReader::supportedImageFormats().contains(qtFormat), qtFormat.constData());
    QByteArray format;
    const QImage image = decode(readAsset(file), &format);
    QCOMPARE(format, qtFormat);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(width, height));
}

// The program draws no SVG, the desktop's icon theme does: well-formed, and its drawing
// the 32-unit square of the icon's curves.
void AssetFormatTest::scalableIconIsWellFormed()
{
    QXmlStreamReader xml(readAsset(QStringLiteral("ferolune.svg")));
    QVERIFY(xml.readNextStartElement());
    QCOMPARE(xml.name(), QLatin1String("svg"));
    QCOMPARE(xml.namespaceUri(), QLatin1String("http://www.w3.org/2000/svg"));
    const QXmlStreamAttributes attributes = xml.attributes();
    QCOMPARE(attributes.value(QLatin1String("width")).toInt(), 128);
    QCOMPARE(attributes.value(QLatin1String("height")).toInt(), 128);
    QCOMPARE(attributes.value(QLatin1String("viewBox")), QLatin1String("0 0 32 32"));
    while (!xml.atEnd())
        xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
}

void AssetFormatTest::glyphInkIsOpaqueRestTransparent_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("subscript");

    QTest::newRow("R_A") << QStringLiteral("glyph_ra.gif") << true;
    QTest::newRow("R_B") << QStringLiteral("glyph_rb.gif") << true;
    QTest::newRow("C") << QStringLiteral("glyph_c.gif") << false;
    QTest::newRow("T_1") << QStringLiteral("glyph_t1.gif") << true;
    QTest::newRow("T_2") << QStringLiteral("glyph_t2.gif") << true;
    QTest::newRow("T") << QStringLiteral("glyph_t.gif") << false;
}

void AssetFormatTest::glyphInkIsOpaqueRestTransparent()
{
    QFETCH(QString, file);
    QFETCH(bool, subscript);

    const QImage image = decode(readAsset(file)).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!image.isNull());

    // The purple ink, opaque; the white the file marks transparent vanishes; nothing else.
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0)
                continue;
            QCOMPARE(qAlpha(pixel), 255);
            QCOMPARE(QColor(pixel).rgb(), Purple.rgb());
            ++ink;
        }
    }
    // A letter, not an empty or filled square.
    QVERIFY2(ink > 40 && ink < 300, qPrintable(QString::number(ink)));

    // The capital starts near the top left; a subscript reaches lower right, a lone letter
    // stays in the middle.
    const QRect box = inkBox(image);
    if (subscript) {
        QVERIFY2(box.top() >= 2 && box.top() <= 5, qPrintable(QString::number(box.top())));
        QVERIFY2(box.bottom() >= 23 && box.bottom() <= 27, qPrintable(QString::number(box.bottom())));
        QVERIFY(box.left() <= 6);
        QVERIFY(box.right() >= 20);
        int lowerRight = 0;
        for (int y = 21; y < 28; ++y)
            for (int x = 15; x < 30; ++x)
                lowerRight += qAlpha(image.pixel(x, y)) != 0;
        QVERIFY2(lowerRight >= 10, "no subscript at the lower right");
    } else {
        QVERIFY2(qAbs(box.center().y() - 15) <= 3, qPrintable(QString::number(box.center().y())));
        QVERIFY(qAbs(box.center().x() - 15) <= 3);
    }
}

void AssetFormatTest::glyphsTellTheirSymbolsApart()
{
    const auto load = [](const char *file) {
        return decode(readAsset(QString::fromLatin1(file))).convertToFormat(QImage::Format_ARGB32);
    };
    const QImage ra = load("glyph_ra.gif"), rb = load("glyph_rb.gif"), c = load("glyph_c.gif");
    const QImage t1 = load("glyph_t1.gif"), t2 = load("glyph_t2.gif"), t = load("glyph_t.gif");
    const QImage all[] = {ra, rb, c, t1, t2, t};
    for (int i = 0; i < 6; ++i)
        for (int j = i + 1; j < 6; ++j)
            QVERIFY2(all[i] != all[j], qPrintable(QStringLiteral("glyphs %1 and %2 are the same").arg(i).arg(j)));

    // Symbols with the same capital share it, and only it.
    const QRect capital(0, 0, 15, 15);
    QCOMPARE(ra.copy(capital), rb.copy(capital));
    QCOMPARE(t1.copy(capital), t2.copy(capital));
    QVERIFY(ra.copy(capital) != t1.copy(capital));
}

void AssetFormatTest::iconIsTheSameDrawingInEveryFile()
{
    const QImage ico = decode(readAsset(QStringLiteral("ferolune.ico"))).convertToFormat(QImage::Format_ARGB32);
    const QImage png = decode(readAsset(QStringLiteral("ferolune-32.png"))).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(ico.size(), QSize(32, 32));
    QCOMPARE(png.size(), QSize(32, 32));

    const QColor blue(0, 0, 255), red(255, 0, 0), silver(192, 192, 192);
    int counts[3] = {0, 0, 0};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = ico.pixel(x, y);
            QCOMPARE(pixel, png.pixel(x, y));
            if (qAlpha(pixel) == 0)
                continue;
            QCOMPARE(qAlpha(pixel), 255);
            const QRgb rgb = QColor(pixel).rgb();
            if (rgb == blue.rgb())
                ++counts[0];
            else if (rgb == red.rgb())
                ++counts[1];
            else if (rgb == silver.rgb())
                ++counts[2];
            else
                QFAIL(qPrintable(QStringLiteral("unexpected colour at %1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY2(counts[0] >= 20, "too little blue oscillation");
    QVERIFY2(counts[1] >= 20, "too little red trace");
    QVERIFY2(counts[2] >= 20, "too little shadow");

    // The other renderings keep the transparent background and both traces.
    for (const int size : {16, 24, 48, 64, 128, 256}) {
        const QImage big =
            decode(readAsset(QStringLiteral("ferolune-%1.png").arg(size))).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(big.size(), QSize(size, size));
        QCOMPARE(qAlpha(big.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(big.pixel(size - 1, 0)), 0);
        int blueish = 0, reddish = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb p = big.pixel(x, y);
                blueish += qAlpha(p) >= 200 && near(p, blue, 60);
                reddish += qAlpha(p) >= 200 && near(p, red, 60);
            }
        }
        // Each trace runs across the whole width.
        QVERIFY2(blueish >= size, qPrintable(QString::number(blueish)));
        QVERIFY2(reddish >= size, qPrintable(QString::number(reddish)));
    }

    // The scalable icon's curves run along the traces of the largest PNG: nearly all
    // of their points fall on opaque blue, red or the blend of the two, not on the
    // silver shadow or the transparent background.
    const QImage largest = decode(readAsset(QStringLiteral("ferolune-256.png"))).convertToFormat(QImage::Format_ARGB32);
    const QList<QList<QPointF>> curves = svgPolylines(readAsset(QStringLiteral("ferolune.svg")));
    QCOMPARE(curves.size(), 2);
    for (const QList<QPointF> &curve : curves) {
        QVERIFY(curve.size() > 100);
        qsizetype onTrace = 0;
        for (const QPointF &point : curve) {
            const QRgb p = largest.pixel(qMin(255, int(point.x() * 8)), qMin(255, int(point.y() * 8)));
            onTrace += qAlpha(p) >= 200 && qGreen(p) < 60;
        }
        QVERIFY2(onTrace >= curve.size() * 95 / 100,
                 qPrintable(QStringLiteral("%1 of %2").arg(onTrace).arg(curve.size())));
    }
}

void AssetFormatTest::bannerHasItsBevel()
{
    const QImage banner = decode(readAsset(QStringLiteral("capacitance_banner.jpg")));
    QCOMPARE(banner.size(), QSize(259, 19));
    // Sampled away from the type, with room for JPEG's small colour errors.
    const int tolerance = 24;
    for (const int x : {3, 128, 255}) {
        QVERIFY(near(banner.pixel(x, 18), QColor(62, 64, 1), tolerance));
        QVERIFY(near(banner.pixel(x, 17), QColor(190, 187, 0), tolerance));
    }
    for (const int y : {4, 9, 14}) {
        QVERIFY(near(banner.pixel(258, y), QColor(62, 64, 1), tolerance));
        QVERIFY(near(banner.pixel(257, y), QColor(190, 187, 0), tolerance));
        QVERIFY(near(banner.pixel(2, y), QColor(255, 255, 0), tolerance));
    }
    // Dark type across the strip.
    int dark = 0;
    for (int y = 1; y < 17; ++y)
        for (int x = 1; x < 257; ++x)
            dark += qGray(banner.pixel(x, y)) < 80;
    QVERIFY2(dark > 300, qPrintable(QString::number(dark)));
}

void AssetFormatTest::principleLeavesTheButtonAreaWhite()
{
    const QImage picture = decode(readAsset(QStringLiteral("principle.jpg")));
    QCOMPARE(picture.size(), QSize(229, 227));
    for (int y = 192; y <= 217; ++y)
        for (int x = 152; x <= 217; ++x)
            QVERIFY2(isWhite(picture.pixel(x, y)), qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
    // Right of the last formula, below the one above it.
    for (int y = 185; y < 227; ++y)
        for (int x = 110; x < 229; ++x)
            QVERIFY2(isWhite(picture.pixel(x, y)), qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
    // Six lines of type, at a steady pitch.
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < 227; ++y) {
        bool ink = false;
        for (int x = 0; x < 229 && !ink; ++x)
            ink = qGray(picture.pixel(x, y)) < 128;
        if (ink && !inLine)
            ++lines;
        inLine = ink;
    }
    QCOMPARE(lines, 6);
}

void AssetFormatTest::doubleDrawingMatchesSingle_data()
{
    QTest::addColumn<QString>("file");
    for (const char *file : {"glyph_ra.gif", "glyph_rb.gif", "glyph_c.gif", "glyph_t1.gif", "glyph_t2.gif",
                             "glyph_t.gif", "capacitance_banner.jpg", "principle.jpg"})
        QTest::newRow(file) << QString::fromLatin1(file);
}

// Brought down to the single size, the double drawing lies closer to the single one
// than the single one does to itself moved by a pixel: the same picture in the same
// place, only finer.
void AssetFormatTest::doubleDrawingMatchesSingle()
{
    QFETCH(QString, file);
    QString twice = file;
    twice.insert(twice.lastIndexOf(u'.'), QStringLiteral("@2x"));
    const bool glyph = file.endsWith(QLatin1String(".gif"));
    const QImage single = decode(readAsset(file)).convertToFormat(QImage::Format_ARGB32);
    const QImage doubled = decode(readAsset(twice)).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(doubled.size(), single.size() * 2);

    const auto a = greyLevels(single, glyph, 1);
    const auto b = greyLevels(doubled, glyph, 2);
    double nearestShift = 255;
    for (const auto &[dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
        nearestShift = qMin(nearestShift, meanDifference(a, a, dx, dy));
    const double difference = meanDifference(a, b);
    QVERIFY2(difference < nearestShift, qPrintable(QStringLiteral("%1 against %2").arg(difference).arg(nearestShift)));
}

QTEST_MAIN(AssetFormatTest)
#include "tst_assets.moc"
