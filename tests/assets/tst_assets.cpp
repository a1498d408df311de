// The windows load these pictures through Qt's readers and draw them unscaled, and the
// icon also goes into the Windows executable, so the exact file formats matter as much
// as the pictures: these tests read the committed bytes and decode them as the program will.

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

#include <cstdint>
#include <utility>

namespace {

enum class Kind { Gif, Jpeg, Ico, Png, Svg };

QByteArray readAsset(const QString &name)
{
    QFile file(QStringLiteral(FEROLUNE_ASSET_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

unsigned byteAt(const QByteArray &data, qsizetype i)
{
    return static_cast<unsigned char>(data.at(i));
}

unsigned le16(const QByteArray &data, qsizetype i)
{
    return byteAt(data, i) | (byteAt(data, i + 1) << 8);
}

unsigned be16(const QByteArray &data, qsizetype i)
{
    return (byteAt(data, i) << 8) | byteAt(data, i + 1);
}

std::uint32_t le32(const QByteArray &data, qsizetype i)
{
    return le16(data, i) | (std::uint32_t{le16(data, i + 2)} << 16);
}

std::uint32_t be32(const QByteArray &data, qsizetype i)
{
    return (std::uint32_t{be16(data, i)} << 16) | be16(data, i + 2);
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

// The palette indices of a GIF's single image, decoded here rather than by Qt so that
// they can be held against what Qt's reader makes of the same pixels.
QByteArray gifIndices(const QByteArray &data)
{
    qsizetype i = 13 + 3 * (qsizetype{2} << (byteAt(data, 10) & 0x07));
    while (i < data.size() && byteAt(data, i) == 0x21) {
        i += 2;
        while (byteAt(data, i) != 0)
            i += byteAt(data, i) + 1;
        ++i;
    }
    if (i >= data.size() || byteAt(data, i) != 0x2C)
        return {};
    i += 10;
    const int minCodeSize = int(byteAt(data, i++));
    QByteArray stream;
    while (i < data.size() && byteAt(data, i) != 0) {
        stream += data.mid(i + 1, byteAt(data, i));
        i += byteAt(data, i) + 1;
    }

    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    QList<QByteArray> table;
    int width = minCodeSize + 1;
    int previous = -1;
    QByteArray out;
    const auto reset = [&] {
        table.clear();
        for (int c = 0; c < clear + 2; ++c)
            table.append(QByteArray(1, char(c)));
        width = minCodeSize + 1;
        previous = -1;
    };
    reset();
    qsizetype bit = 0;
    while (bit + width <= stream.size() * 8) {
        int code = 0;
        for (int b = 0; b < width; ++b, ++bit)
            code |= int((byteAt(stream, bit / 8) >> (bit % 8)) & 1u) << b;
        if (code == clear) {
            reset();
            continue;
        }
        if (code == end)
            return out;
        QByteArray entry;
        if (code < table.size())
            entry = table.at(code);
        else if (code == table.size() && previous >= 0)
            entry = table.at(previous) + table.at(previous).at(0);
        else
            return {};
        out += entry;
        if (previous >= 0 && table.size() < 4096)
            table.append(table.at(previous) + entry.at(0));
        if (table.size() == (1 << width) && width < 12)
            ++width;
        previous = code;
    }
    return {}; // no end code
}

void checkGif(const QByteArray &data, int width, int height)
{
    QVERIFY(data.startsWith("GIF89a"));
    QCOMPARE(le16(data, 6), unsigned(width));
    QCOMPARE(le16(data, 8), unsigned(height));
    const unsigned flags = byteAt(data, 10);
    QVERIFY2(flags & 0x80, "no global colour table");
    QCOMPARE(flags & 0x07, 0u); // 2^(0+1) = two entries
    QCOMPARE(data.mid(13, 6), QByteArray::fromHex("7e0468ffffff"));

    // Walk the blocks up to the image: the graphic control extension must precede it.
    qsizetype i = 13 + 6;
    bool transparentWhite = false;
    while (i < data.size() && byteAt(data, i) == 0x21) {
        const unsigned label = byteAt(data, i + 1);
        if (label == 0xF9) {
            QCOMPARE(byteAt(data, i + 2), 4u);
            QVERIFY2(byteAt(data, i + 3) & 0x01, "transparency flag not set");
            QCOMPARE(byteAt(data, i + 6), 1u);
            transparentWhite = true;
        }
        i += 2;
        while (byteAt(data, i) != 0)
            i += byteAt(data, i) + 1;
        ++i;
    }
    QVERIFY2(transparentWhite, "no graphic control extension before the image");
    QCOMPARE(byteAt(data, i), 0x2Cu);
    QCOMPARE(le16(data, i + 1), 0u);
    QCOMPARE(le16(data, i + 3), 0u);
    QCOMPARE(le16(data, i + 5), unsigned(width));
    QCOMPARE(le16(data, i + 7), unsigned(height));
    QCOMPARE(byteAt(data, i + 9) & 0x80, 0u); // no local colour table
    QCOMPARE(byteAt(data, data.size() - 1), 0x3Bu);
}

void checkJpeg(const QByteArray &data, int width, int height)
{
    QCOMPARE(be16(data, 0), 0xFFD8u);
    // JFIF wants its APP0 segment right after the start of image.
    QCOMPARE(be16(data, 2), 0xFFE0u);
    QCOMPARE(data.mid(6, 5), QByteArray("JFIF", 5));

    int baselineFrames = 0;
    qsizetype i = 2;
    while (i + 4 <= data.size()) {
        QCOMPARE(byteAt(data, i), 0xFFu);
        const unsigned marker = byteAt(data, i + 1);
        if (marker == 0xD9)
            break;
        const qsizetype length = be16(data, i + 2);
        if (marker == 0xC0) {
            ++baselineFrames;
            QCOMPARE(byteAt(data, i + 4), 8u);
            QCOMPARE(be16(data, i + 5), unsigned(height));
            QCOMPARE(be16(data, i + 7), unsigned(width));
            QCOMPARE(byteAt(data, i + 9), 3u);
            for (qsizetype c = 0; c < 3; ++c)
                QCOMPARE(byteAt(data, i + 11 + 3 * c), 0x11u); // 4:4:4, no chroma subsampling
        } else if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            QFAIL(qPrintable(QStringLiteral("non-baseline frame marker FF%1").arg(marker, 2, 16, QLatin1Char('0'))));
        }
        if (marker == 0xDB) {
            // Fine quantisation keeps thin type free of ringing (libjpeg quality 92 and above).
            for (qsizetype t = i + 4; t < i + 2 + length; t += 65) {
                QCOMPARE(byteAt(data, t) >> 4, 0u); // 8-bit entries
                for (qsizetype q = t + 1; q < t + 65; ++q)
                    QVERIFY2(byteAt(data, q) <= 20, "coarse quantisation table");
            }
        }
        if (marker == 0xDA) {
            // Entropy-coded data: skip to the next marker that is not a stuffed byte or restart.
            i += 2 + length;
            while (i + 1 < data.size()
                   && !(byteAt(data, i) == 0xFF && byteAt(data, i + 1) != 0
                        && (byteAt(data, i + 1) < 0xD0 || byteAt(data, i + 1) > 0xD7)))
                ++i;
            continue;
        }
        i += 2 + length;
    }
    QCOMPARE(baselineFrames, 1);
    QCOMPARE(be16(data, data.size() - 2), 0xFFD9u);
}

void checkIco(const QByteArray &data, int width, int height)
{
    QCOMPARE(le16(data, 0), 0u);
    QCOMPARE(le16(data, 2), 1u); // icon, not cursor
    QCOMPARE(le16(data, 4), 1u); // one image
    QCOMPARE(byteAt(data, 6), unsigned(width));
    QCOMPARE(byteAt(data, 7), unsigned(height));
    QCOMPARE(byteAt(data, 8), 16u);
    QCOMPARE(le16(data, 10), 1u);
    QCOMPARE(le16(data, 12), 4u);
    const std::uint32_t size = le32(data, 14);
    const std::uint32_t offset = le32(data, 18);
    QCOMPARE(offset, 22u);
    QCOMPARE(qsizetype(offset + size), data.size());

    // A BMP, not a PNG, with the XOR and AND bitmaps stacked (double height).
    const qsizetype h = offset;
    QVERIFY(!data.mid(h, 4).startsWith("\x89PNG"));
    QCOMPARE(le32(data, h), 40u);
    QCOMPARE(le32(data, h + 4), std::uint32_t(width));
    QCOMPARE(le32(data, h + 8), std::uint32_t(2 * height));
    QCOMPARE(le16(data, h + 12), 1u);
    QCOMPARE(le16(data, h + 14), 4u);
    QCOMPARE(le32(data, h + 16), 0u); // BI_RGB
    const std::uint32_t colours = le32(data, h + 32);
    QVERIFY(colours == 0 || colours == 16);

    const qsizetype xorRow = ((width * 4 + 31) / 32) * 4;
    const qsizetype andRow = ((width + 31) / 32) * 4;
    const qsizetype mask = h + 40 + 16 * 4 + xorRow * height;
    QCOMPARE(qsizetype(size), 40 + 16 * 4 + (xorRow + andRow) * height);

    int transparent = 0;
    for (qsizetype b = mask; b < mask + andRow * height; ++b)
        transparent += int(qPopulationCount(quint8(byteAt(data, b))));
    QVERIFY2(transparent > 0, "the AND mask leaves no pixel transparent");
    QVERIFY2(transparent < width * height, "the AND mask hides every pixel");
}

void checkPng(const QByteArray &data, int width, int height)
{
    QVERIFY(data.startsWith("\x89PNG\r\n\x1a\n"));
    QCOMPARE(data.mid(12, 4), QByteArray("IHDR"));
    QCOMPARE(be32(data, 16), std::uint32_t(width));
    QCOMPARE(be32(data, 20), std::uint32_t(height));
}

// Well-formed SVG whose drawing is the 32-unit square of the icon's curves.
void checkSvg(const QByteArray &data, int width, int height)
{
    QXmlStreamReader xml(data);
    QVERIFY(xml.readNextStartElement());
    QCOMPARE(xml.name(), QLatin1String("svg"));
    QCOMPARE(xml.namespaceUri(), QLatin1String("http://www.w3.org/2000/svg"));
    const QXmlStreamAttributes attributes = xml.attributes();
    QCOMPARE(attributes.value(QLatin1String("width")).toInt(), width);
    QCOMPARE(attributes.value(QLatin1String("height")).toInt(), height);
    QCOMPARE(attributes.value(QLatin1String("viewBox")), QLatin1String("0 0 32 32"));
    while (!xml.atEnd())
        xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
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

Q_DECLARE_METATYPE(Kind)

class AssetFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void formatFacts_data();
    void formatFacts();
    void decodesWithQt_data() { formatFacts_data(); }
    void decodesWithQt();
    void glyphInkIsOpaqueRestTransparent_data();
    void glyphInkIsOpaqueRestTransparent();
    void glyphsTellTheirSymbolsApart();
    void iconIsTheSameDrawingInEveryFile();
    void bannerHasItsBevel();
    void principleLeavesTheButtonAreaWhite();
    void doubleDrawingMatchesSingle_data();
    void doubleDrawingMatchesSingle();
};

void AssetFormatTest::formatFacts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("qtFormat");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    // Each glyph, and the double drawing of each picture for scaled screens: twice the
    // size, the same rules.
    const std::pair<const char *, const char *> glyphs[] = {{"R_A", "ra"}, {"R_B", "rb"}, {"C", "c"},
                                                            {"T_1", "t1"}, {"T_2", "t2"}, {"T", "t"}};
    for (const auto &[symbol, stem] : glyphs) {
        QTest::addRow("glyph %s", symbol)
            << QStringLiteral("glyph_%1.gif").arg(QLatin1String(stem)) << Kind::Gif << QByteArray("gif") << 30 << 30;
        QTest::addRow("glyph %s @2x", symbol)
            << QStringLiteral("glyph_%1@2x.gif").arg(QLatin1String(stem)) << Kind::Gif << QByteArray("gif") << 60 << 60;
    }
    QTest::newRow("capacitance banner") << QStringLiteral("capacitance_banner.jpg") << Kind::Jpeg << QByteArray("jpeg")
                                        << 259 << 19;
    QTest::newRow("principle picture") << QStringLiteral("principle.jpg") << Kind::Jpeg << QByteArray("jpeg") << 229
                                       << 227;
    QTest::newRow("capacitance banner @2x")
        << QStringLiteral("capacitance_banner@2x.jpg") << Kind::Jpeg << QByteArray("jpeg") << 518 << 38;
    QTest::newRow("principle picture @2x")
        << QStringLiteral("principle@2x.jpg") << Kind::Jpeg << QByteArray("jpeg") << 458 << 454;

    QTest::newRow("window icon") << QStringLiteral("ferolune.ico") << Kind::Ico << QByteArray("ico") << 32 << 32;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        QTest::addRow("menu icon %d", size)
            << QStringLiteral("ferolune-%1.png").arg(size) << Kind::Png << QByteArray("png") << size << size;
    QTest::newRow("scalable icon") << QStringLiteral("ferolune.svg") << Kind::Svg << QByteArray("svg") << 128 << 128;
}

void AssetFormatTest::formatFacts()
{
    QFETCH(QString, file);
    QFETCH(Kind, kind);
    QFETCH(int, width);
    QFETCH(int, height);

    const QByteArray data = readAsset(file);
    QVERIFY2(data.size() > 24, qPrintable(file + QStringLiteral(" is missing or truncated")));
    switch (kind) {
    case Kind::Gif:
        checkGif(data, width, height);
        break;
    case Kind::Jpeg:
        checkJpeg(data, width, height);
        break;
    case Kind::Ico:
        checkIco(data, width, height);
        break;
    case Kind::Png:
        checkPng(data, width, height);
        break;
    case Kind::Svg:
        checkSvg(data, width, height);
        break;
    }
}

void AssetFormatTest::decodesWithQt()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, qtFormat);
    QFETCH(int, width);
    QFETCH(int, height);

    if (qtFormat == "svg")
        QSKIP("the program draws no SVG; the desktop's icon theme does");
    QVERIFY2(QImageReader::supportedImageFormats().contains(qtFormat), qtFormat.constData());
    QByteArray format;
    const QImage image = decode(readAsset(file), &format);
    QCOMPARE(format, qtFormat);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(width, height));
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

    const QByteArray data = readAsset(file);
    const QImage image = decode(data).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!image.isNull());
    const QByteArray indices = gifIndices(data);
    QCOMPARE(indices.size(), qsizetype(image.width()) * image.height());

    // Index 0 is the purple ink, index 1 the white that must vanish.
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int index = indices.at(qsizetype(y) * image.width() + x);
            QVERIFY(index == 0 || index == 1);
            if (index == 1) {
                QCOMPARE(qAlpha(pixel), 0);
                continue;
            }
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
