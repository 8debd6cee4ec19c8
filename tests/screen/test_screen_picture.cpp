// The preview, the display bitmap and picture import: packing, plotting, reduction to white and blue, and
// real BMP files in every encoding the import must take.
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "bmp_writer.h"
#include "screen/home_screen_picture.h"
#include "screen/picture_file.h"
#include "screen/screen_transfer.h"
#include "support/rig.h"
#include "support/files.h"

using namespace trivo;
using bmptest::Encoding;

Q_DECLARE_METATYPE(trivo::DisplayBitmap)
Q_DECLARE_METATYPE(bmptest::Encoding)

namespace {

QImage randomPicture(int w, int h, const QList<QRgb>& colours, quint32 seed)
{
    QRandomGenerator rng(seed);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, colours[int(rng.bounded(quint32(colours.size())))]);
    return img;
}

DisplayBitmap bitmapOf(std::initializer_list<std::pair<int, uint8_t>> bytes)
{
    DisplayBitmap b{};
    for (auto [i, v] : bytes)
        b[std::size_t(i)] = v;
    return b;
}

// Where the preview should be white after an import of `source`: pure white pixels inside 240 x 64.
void compareWithImport(const HomeScreenPicture& preview, const QImage& source)
{
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            const bool inside = x < source.width() && y < source.height();
            const bool white = inside && (source.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
            const QRgb got = preview.pixel(x, y);
            if (got != (white ? kScreenWhite : kScreenBlue))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3").arg(x).arg(y).arg(got, 8, 16)));
        }
    }
}

const QRgb kWhite = qRgb(255, 255, 255), kBlue = qRgb(0, 0, 255), kBlack = qRgb(0, 0, 0);

// A run-length stream written byte by byte, and the picture it stands for: one palette index per pixel,
// top row first, where pixels the stream never reaches hold index 0.
struct RleCase {
    const char* name;
    bool four;
    bool topDown;
    QList<QRgb> palette;
    QByteArray stream;  // hex
    QStringList rows;
};

// Index 0 is white in most cases, so that a pixel left to chance shows on the wire as a blue dot.
QList<RleCase> rleCases()
{
    const QList<QRgb> palette = {kWhite, kBlue, kBlack, qRgb(255, 0, 0)};
    return {
        {"RLE8 early end of bitmap",
         false,
         false,
         palette,
         "0C01 0000 0402 0001",
         {"000000000000", "000000000000", "222200000000", "111111111111"}},
        {"RLE8 end of line in the middle of rows",
         false,
         false,
         palette,
         "0501 0000 0302 0000 0201 0302 0000",
         {"112220000000", "222000000000", "111110000000"}},
        {"RLE8 delta",
         false,
         false,
         palette,
         "0201 0002 0502 0302 0000 0101 0001",
         {"1000000000000000", "0000000222000000", "0000000000000000", "1100000000000000"}},
        {"RLE8 odd absolute runs and their padding",
         false,
         false,
         palette,
         "0003 010201 00 0005 0201020102 00 0000 0003 030102 00 0001",
         {"3120000000000", "1212121200000"}},
        {"RLE4 nibbles",
         true,
         false,
         palette,
         "0512 0003 2130 0000 0005 123120 00 0002 0200 0433 0000 0310 0001",
         {"10100000000000", "12312003333000", "12121213000000"}},
        {"RLE8 top-down, early end", false, true, palette, "0801 0000 0202 0001", {"11111111", "22000000", "00000000"}},
        {"RLE4 early end, index 0 blue", true, false, {kBlue, kWhite}, "0811 0001", {"00000000", "11111111"}},
    };
}

QByteArray rleFile(const RleCase& c)
{
    const int width = int(c.rows.first().size());
    const int height = int(c.rows.size());
    return bmptest::rleBmp(width, c.topDown ? -height : height, c.four, c.palette,
                           QByteArray::fromHex(QByteArray(c.stream).replace(' ', "")));
}

QImage rleExpected(const RleCase& c)
{
    QImage img(int(c.rows.first().size()), int(c.rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, c.palette[QString(c.rows[y][x]).toInt(nullptr, 16)]);
    return img;
}

// The 60 reports that send the preview to the emulated display, one hex line each.
QByteArray wireOf(const HomeScreenPicture& preview)
{
    test::Rig rig;
    rig.transport.clearRecord();
    sendHomeScreen(rig.link, preview, silentProgress());
    QByteArray lines;
    for (const std::vector<uint8_t>& r : rig.outputs())
        lines += QByteArray(reinterpret_cast<const char*>(r.data()), qsizetype(r.size())).toHex() + '\n';
    return lines;
}

QByteArray wireOfImport(const QString& path)
{
    HomeScreenPicture preview;
    if (!importPicture(path, preview).ok())
        return QByteArray("refused\n");
    return wireOf(preview);
}

// Another picture read and dropped just before, so that its memory is there to be reused.
void openAnotherPicture(const QString& folder, const QString& kind)
{
    if (kind.isEmpty())
        return;
    QRandomGenerator rng(7);
    QImage noise(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, rng.bounded(2) ? kBlack : qRgb(0x5A, 0xA5, 0x33));
    const QString path = folder + QStringLiteral("/before-") + kind + QStringLiteral(".bmp");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(
        bmptest::writeBmp(noise, kind == QLatin1String("rle") ? bmptest::Encoding::Rle8 : bmptest::Encoding::Rgb24));
    f.close();
    if (!readPictureFile(path).ok())
        qFatal("the picture opened before was refused");
}

// Child mode: every case's reports, each after another picture, written where TRIVO_RLE_WIRE says.
int writeRleWire(const QString& out)
{
    QTemporaryDir dir;
    QByteArray all;
    for (const RleCase& c : rleCases()) {
        openAnotherPicture(dir.path(), QStringLiteral("noise"));
        const QString path = dir.filePath(QStringLiteral("case.bmp"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(rleFile(c)) < 0)
            return 2;
        f.close();
        all += QByteArray(c.name) + '\n' + wireOfImport(path);
    }
    QFile f(out);
    return f.open(QIODevice::WriteOnly) && f.write(all) == all.size() ? 0 : 2;
}

}  // namespace

class TestScreenPicture : public QObject {
    Q_OBJECT
private slots:
    void packsPixelsIntoBytes_data();
    void packsPixelsIntoBytes();
    void onlyPureWhiteIsWhite_data();
    void onlyPureWhiteIsWhite();
    void plotsBytesBackIntoPixels_data();
    void plotsBytesBackIntoPixels();
    void plotPositionWrapsAtTheRowEnd();
    void packThenPlotRoundTrips_data();
    void packThenPlotRoundTrips();
    void placeCutsAndPads();
    void placeBlendsTranslucentPixels();

    void importsBmpFiles_data();
    void importsBmpFiles();
    void sixteenBitWhiteStaysWhite_data();
    void sixteenBitWhiteStaysWhite();
    void importsOtherFormats();
    void refusesFilesThatAreNotPictures_data();
    void refusesFilesThatAreNotPictures();
    void runLengthGapsTakeIndexZero_data();
    void runLengthGapsTakeIndexZero();
    void runLengthWireDoesNotDependOnTheAllocator();

private:
    QString writeFile(const QString& name, const QByteArray& bytes);
    QTemporaryDir dir_;
};

QString TestScreenPicture::writeFile(const QString& name, const QByteArray& bytes)
{
    test::writeAll(dir_.filePath(name), bytes);
    return dir_.filePath(name);
}

// Each row: white pixels to set on an all-blue preview, and the bitmap expected.
void TestScreenPicture::packsPixelsIntoBytes_data()
{
    QTest::addColumn<QList<QPoint>>("whites");
    QTest::addColumn<DisplayBitmap>("expected");
    QList<QPoint> firstEight;
    for (int x = 0; x < 8; ++x)
        firstEight << QPoint(x, 0);
    QTest::newRow("all blue") << QList<QPoint>{} << DisplayBitmap{};
    QTest::newRow("row 0, x 0..7 white") << firstEight << bitmapOf({{0, 0xFF}});
    QTest::newRow("leftmost pixel is bit 7") << QList<QPoint>{{0, 0}} << bitmapOf({{0, 0x80}});
    QTest::newRow("eighth pixel is bit 0") << QList<QPoint>{{7, 0}} << bitmapOf({{0, 0x01}});
    QTest::newRow("x 8 starts byte 1") << QList<QPoint>{{8, 0}} << bitmapOf({{1, 0x80}});
    QTest::newRow("x 239 ends the row") << QList<QPoint>{{239, 0}} << bitmapOf({{29, 0x01}});
    QTest::newRow("row 1 starts at byte 30") << QList<QPoint>{{0, 1}} << bitmapOf({{30, 0x80}});
    QTest::newRow("middle of the screen") << QList<QPoint>{{123, 37}, {124, 37}} << bitmapOf({{37 * 30 + 15, 0x18}});
    QTest::newRow("last pixel") << QList<QPoint>{{239, 63}} << bitmapOf({{1919, 0x01}});
}

void TestScreenPicture::packsPixelsIntoBytes()
{
    QFETCH(QList<QPoint>, whites);
    QFETCH(DisplayBitmap, expected);
    HomeScreenPicture p;
    for (const QPoint& pt : whites)
        p.setPixel(pt.x(), pt.y(), kScreenWhite);
    QCOMPARE(p.pack(), expected);
}

void TestScreenPicture::onlyPureWhiteIsWhite_data()
{
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<bool>("white");
    QTest::newRow("255 255 255") << qRgb(255, 255, 255) << true;
    QTest::newRow("254 255 255") << qRgb(254, 255, 255) << false;
    QTest::newRow("255 254 255") << qRgb(255, 254, 255) << false;
    QTest::newRow("255 255 254") << qRgb(255, 255, 254) << false;
    QTest::newRow("16-bit white as Qt decodes it") << qRgb(0xF8, 0xF8, 0xF8) << false;
    QTest::newRow("black") << qRgb(0, 0, 0) << false;
    QTest::newRow("grey") << qRgb(128, 128, 128) << false;
    QTest::newRow("blue") << qRgb(0, 0, 255) << false;
    QTest::newRow("yellow") << qRgb(255, 255, 0) << false;
}

// Both the pack and the reduction of an import decide on the same rule.
void TestScreenPicture::onlyPureWhiteIsWhite()
{
    QFETCH(QRgb, colour);
    QFETCH(bool, white);
    HomeScreenPicture p;
    p.fill(colour);
    const DisplayBitmap packed = p.pack();
    QVERIFY(std::all_of(packed.begin(), packed.end(), [&](uint8_t b) { return b == (white ? 0xFF : 0x00); }));
    p.reduceToTwoColours();
    QCOMPARE(p.pixel(17, 33), white ? kScreenWhite : kScreenBlue);
    QCOMPARE(p.pixel(239, 63), white ? kScreenWhite : kScreenBlue);
}

void TestScreenPicture::plotsBytesBackIntoPixels_data()
{
    QTest::addColumn<uint8_t>("fillByte");
    QTest::addColumn<QRgb>("startColour");
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("00 over white paints all blue") << uint8_t(0x00) << kScreenWhite << kScreenBlue;
    QTest::newRow("FF over blue paints all white") << uint8_t(0xFF) << kScreenBlue << kScreenWhite;
}

void TestScreenPicture::plotsBytesBackIntoPixels()
{
    QFETCH(uint8_t, fillByte);
    QFETCH(QRgb, startColour);
    QFETCH(QRgb, colour);
    HomeScreenPicture p;
    p.fill(startColour);
    DisplayBitmap b;
    b.fill(fillByte);
    p.plot(b);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            QCOMPARE(p.pixel(x, y), colour);
    QCOMPARE(p.plotPosition(), QPoint(0, 64));
}

void TestScreenPicture::plotPositionWrapsAtTheRowEnd()
{
    HomeScreenPicture p;
    p.setPlotPosition(236, 5);
    p.plotByte(0xA5);  // 1010 0101: x 236..239 of row 5, then x 0..3 of row 6
    QCOMPARE(p.plotPosition(), QPoint(4, 6));
    const QList<QRgb> expected = {kScreenWhite, kScreenBlue,  kScreenWhite, kScreenBlue,
                                  kScreenBlue,  kScreenWhite, kScreenBlue,  kScreenWhite};
    const QList<QPoint> where = {{236, 5}, {237, 5}, {238, 5}, {239, 5}, {0, 6}, {1, 6}, {2, 6}, {3, 6}};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(p.pixel(where[i].x(), where[i].y()), expected[i]);
    // Past the last row the plot draws nothing and does not fail.
    p.setPlotPosition(0, 64);
    p.plotByte(0xFF);
    QCOMPARE(p.plotPosition(), QPoint(8, 64));
    QCOMPARE(p.pack(), bitmapOf({{5 * 30 + 29, 0x0A}, {6 * 30, 0x50}}));
}

void TestScreenPicture::packThenPlotRoundTrips_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 77u, 4096u, 123456789u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestScreenPicture::packThenPlotRoundTrips()
{
    QFETCH(quint32, seed);
    HomeScreenPicture original;
    original.place(randomPicture(kScreenWidth, kScreenHeight, {kScreenWhite, kScreenBlue}, seed));
    const DisplayBitmap bitmap = original.pack();
    HomeScreenPicture redrawn;
    redrawn.fill(kScreenWhite);
    redrawn.setPlotPosition(99, 9);
    redrawn.plot(bitmap);
    QCOMPARE(redrawn.image(), original.image());
    QCOMPARE(redrawn.pack(), bitmap);
}

void TestScreenPicture::placeCutsAndPads()
{
    HomeScreenPicture p;
    QImage large = randomPicture(300, 100, {kWhite, kBlack}, 5);
    p.place(large);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            QCOMPARE(p.pixel(x, y), large.pixel(x, y));

    p.fill(kScreenWhite);
    QImage small(10, 4, QImage::Format_RGB32);
    small.fill(kWhite);
    p.place(small);
    QCOMPARE(p.pixel(9, 3), kScreenWhite);
    QCOMPARE(p.pixel(10, 3), kScreenBlue);
    QCOMPARE(p.pixel(9, 4), kScreenBlue);
    QCOMPARE(p.pixel(239, 63), kScreenBlue);
}

void TestScreenPicture::placeBlendsTranslucentPixels()
{
    QImage img(3, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(255, 255, 255, 255));
    img.setPixel(1, 0, qRgba(255, 255, 255, 0));
    img.setPixel(2, 0, qRgba(255, 255, 255, 128));
    HomeScreenPicture p;
    p.place(img);
    QCOMPARE(p.pixel(0, 0), kScreenWhite);
    QCOMPARE(p.pixel(1, 0), kScreenBlue);
    QCOMPARE(p.pixel(2, 0), qRgb(128, 128, 255));
}

// ---- files -----------------------------------------------------------------------------------------

void TestScreenPicture::importsBmpFiles_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QRgb>>("colours");
    const QList<QRgb> two = {kWhite, kBlue};
    const QList<QRgb> mixed = {kWhite, kBlue, kBlack, qRgb(254, 255, 255), qRgb(255, 0, 0), qRgb(90, 200, 30)};
    const QList<QRgb> many = mixed + QList<QRgb>{qRgb(255, 255, 254), qRgb(1, 2, 3), qRgb(128, 128, 128)};
    const QSize screen(kScreenWidth, kScreenHeight);
    QTest::newRow("1-bit white and blue") << Encoding::Indexed1 << false << screen << two;
    QTest::newRow("1-bit black and white") << Encoding::Indexed1 << false << screen << QList<QRgb>{kBlack, kWhite};
    QTest::newRow("4-bit palette") << Encoding::Indexed4 << false << screen << mixed;
    QTest::newRow("8-bit palette") << Encoding::Indexed8 << false << screen << many;
    QTest::newRow("8-bit top-down") << Encoding::Indexed8 << true << screen << many;
    QTest::newRow("4-bit RLE") << Encoding::Rle4 << false << screen << mixed;
    QTest::newRow("8-bit RLE") << Encoding::Rle8 << false << screen << many;
    QTest::newRow("24-bit") << Encoding::Rgb24 << false << screen << many;
    QTest::newRow("24-bit top-down") << Encoding::Rgb24 << true << screen << many;
    QTest::newRow("32-bit") << Encoding::Rgb32 << false << screen << many;
    QTest::newRow("24-bit larger, cut") << Encoding::Rgb24 << false << QSize(301, 99) << many;
    QTest::newRow("8-bit smaller, padded") << Encoding::Indexed8 << false << QSize(101, 30) << many;
    QTest::newRow("1-bit odd width") << Encoding::Indexed1 << false << QSize(13, 64) << two;
    QTest::newRow("4-bit RLE odd width") << Encoding::Rle4 << false << QSize(237, 61) << mixed;
}

void TestScreenPicture::importsBmpFiles()
{
    QFETCH(Encoding, encoding);
    QFETCH(bool, topDown);
    QFETCH(QSize, size);
    QFETCH(QList<QRgb>, colours);
    const QImage source = randomPicture(size.width(), size.height(), colours, quint32(qHash(QTest::currentDataTag())));
    const QString path =
        writeFile(QStringLiteral("%1.bmp").arg(QTest::currentDataTag()), bmptest::writeBmp(source, encoding, topDown));
    QStringList paths{path};
    if (encoding == Encoding::Rle4 || encoding == Encoding::Rle8) {
        // Run-length files whose header leaves the image size 0, and without the end-of-bitmap mark.
        QByteArray bytes = bmptest::writeBmp(source, encoding, topDown);
        bytes.replace(34, 4, QByteArray(4, '\0'));
        paths << writeFile(QStringLiteral("%1-no-size.bmp").arg(QTest::currentDataTag()), bytes)
              << writeFile(QStringLiteral("%1-no-end.bmp").arg(QTest::currentDataTag()), bytes.chopped(2));
    }
    PictureFile file;
    for (const QString& p : paths) {
        file = readPictureFile(p);
        QVERIFY2(file.ok(), qPrintable(file.error.description));
        QCOMPARE(file.image.size(), size);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                QCOMPARE(file.image.pixel(x, y) | 0xFF000000u, source.pixel(x, y));
    }

    HomeScreenPicture preview;
    preview.fill(kScreenWhite);
    preview.place(file.image);
    preview.reduceToTwoColours();
    compareWithImport(preview, source);
}

void TestScreenPicture::sixteenBitWhiteStaysWhite_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<bool>("topDown");
    QTest::newRow("5-5-5") << Encoding::Rgb555 << false;
    QTest::newRow("5-5-5 top-down") << Encoding::Rgb555 << true;
    QTest::newRow("5-6-5 bit fields") << Encoding::Rgb565 << false;
}

// Full-scale channels must come out as 255, and one step below full scale must not.
void TestScreenPicture::sixteenBitWhiteStaysWhite()
{
    QFETCH(Encoding, encoding);
    QFETCH(bool, topDown);
    const QRgb nearWhite = qRgb(0xF0, 0xFF, 0xFF);  // red one 5-bit step below full scale
    const QImage source =
        randomPicture(kScreenWidth, kScreenHeight, {kWhite, kBlue, kBlack, qRgb(255, 0, 0), nearWhite}, 16);
    const QString path = writeFile(QStringLiteral("16-%1.bmp").arg(QTest::currentDataTag()),
                                   bmptest::writeBmp(source, encoding, topDown));
    const PictureFile file = readPictureFile(path);
    QVERIFY2(file.ok(), qPrintable(file.error.description));
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            const QRgb s = source.pixel(x, y);
            const QRgb expected = s == nearWhite ? qRgb(247, 255, 255) : s;  // 30 / 31 of full scale
            QCOMPARE(file.image.pixel(x, y) | 0xFF000000u, expected);
        }
    }
    HomeScreenPicture preview;
    preview.place(file.image);
    preview.reduceToTwoColours();
    compareWithImport(preview, source);
}

// Through "Tous les fichiers" any format Qt reads is taken, whatever the file's name.
void TestScreenPicture::importsOtherFormats()
{
    const QImage source = randomPicture(200, 50, {kWhite, kBlue, kBlack}, 9);
    const QString path = dir_.filePath(QStringLiteral("picture.png"));
    QVERIFY(source.save(path, "PNG"));
    const QString renamed = dir_.filePath(QStringLiteral("picture-without-extension"));
    QVERIFY(QFile::copy(path, renamed));
    for (const QString& p : {path, renamed}) {
        const PictureFile file = readPictureFile(p);
        QVERIFY2(file.ok(), qPrintable(file.error.description));
        QCOMPARE(file.image.convertToFormat(QImage::Format_RGB32), source);
    }
}

void TestScreenPicture::refusesFilesThatAreNotPictures_data()
{
    QTest::addColumn<QByteArray>("bytes");  // empty name: no file at all
    QTest::addColumn<PictureError>("error");
    const QImage source = randomPicture(kScreenWidth, kScreenHeight, {kWhite, kBlue}, 3);
    const QByteArray bmp24 = bmptest::writeBmp(source, Encoding::Rgb24);
    const QByteArray rle8 = bmptest::writeBmp(source, Encoding::Rle8);
    const QByteArray bmp16 = bmptest::writeBmp(source, Encoding::Rgb555);
    QTest::newRow("24-bit missing its last row") << bmp24.left(bmp24.size() - 720) << PictureError::Truncated;
    QTest::newRow("24-bit missing one byte") << bmp24.left(bmp24.size() - 1) << PictureError::Truncated;
    QTest::newRow("16-bit cut in the middle") << bmp16.left(bmp16.size() / 2) << PictureError::Truncated;
    QTest::newRow("RLE cut short of its image size") << rle8.left(rle8.size() - 10) << PictureError::Truncated;
    QByteArray rle8NoSize = rle8, rle4NoSize = bmptest::writeBmp(source, Encoding::Rle4);
    for (QByteArray* b : {&rle8NoSize, &rle4NoSize})
        b->replace(34, 4, QByteArray(4, '\0'));  // image size left 0, as encoders may
    QTest::newRow("RLE8 cut, image size not given")
        << rle8NoSize.left(rle8NoSize.size() / 2) << PictureError::Truncated;
    QTest::newRow("RLE4 cut, image size not given")
        << rle4NoSize.left(rle4NoSize.size() - 3) << PictureError::Truncated;
    QTest::newRow("header only") << bmp24.left(54) << PictureError::Truncated;
    QTest::newRow("cut inside the header") << bmp24.left(30) << PictureError::Truncated;
    QTest::newRow("BM and nothing else") << QByteArray("BM") << PictureError::Truncated;
    QTest::newRow("text") << QByteArray("ceci n'est pas une image\r\n") << PictureError::NotAPicture;
    QTest::newRow("empty file") << QByteArray() << PictureError::NotAPicture;
}

void TestScreenPicture::refusesFilesThatAreNotPictures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(PictureError, error);
    const QString path = writeFile(QStringLiteral("bad-%1.bmp").arg(QTest::currentDataTag()), bytes);
    const PictureFile file = readPictureFile(path);
    QCOMPARE(file.kind(), error);
    QVERIFY(file.image.isNull());
    QVERIFY(file.error.description.endsWith(QDir::toNativeSeparators(path)));

    const PictureFile missing = readPictureFile(dir_.filePath(QStringLiteral("absent.bmp")));
    QCOMPARE(missing.kind(), PictureError::NotFound);
}

void TestScreenPicture::runLengthGapsTakeIndexZero_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("before");
    const QList<RleCase> cases = rleCases();
    for (int i = 0; i < cases.size(); ++i)
        for (const char* before : {"", "noise", "rle"})
            QTest::addRow("%s, after %s", cases[i].name, *before ? before : "nothing")
                << i << QString::fromLatin1(before);
}

// The pixels a stream never reaches take palette index 0, whatever was decoded before, and so do the dots
// sent for them.
void TestScreenPicture::runLengthGapsTakeIndexZero()
{
    QFETCH(int, index);
    QFETCH(QString, before);
    const RleCase c = rleCases().at(index);
    const QString path = writeFile(QStringLiteral("rle-%1.bmp").arg(index), rleFile(c));
    const QImage expected = rleExpected(c);

    openAnotherPicture(dir_.path(), before);
    const PictureFile file = readPictureFile(path);
    QVERIFY2(file.ok(), qPrintable(file.error.description));
    QCOMPARE(file.image.size(), expected.size());
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if ((file.image.pixel(x, y) | 0xFF000000u) != expected.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, not %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(file.image.pixel(x, y), 8, 16)
                                     .arg(expected.pixel(x, y), 8, 16)));

    openAnotherPicture(dir_.path(), before);
    HomeScreenPicture meant;
    meant.place(expected);
    meant.reduceToTwoColours();
    QCOMPARE(wireOfImport(path), wireOf(meant));
}

// The same files read by this program run afresh under two allocator fillings put the same reports on the
// wire, and those are the reports of the pictures meant.
void TestScreenPicture::runLengthWireDoesNotDependOnTheAllocator()
{
    QByteArray meant;
    for (const RleCase& c : rleCases()) {
        HomeScreenPicture preview;
        preview.place(rleExpected(c));
        preview.reduceToTwoColours();
        meant += QByteArray(c.name) + '\n' + wireOf(preview);
    }
    for (const char* fill : {"0", "165"}) {
        const QString out = dir_.filePath(QStringLiteral("wire-%1.txt").arg(fill));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TRIVO_RLE_WIRE"), out);
        env.insert(QStringLiteral("MALLOC_PERTURB_"), QString::fromLatin1(fill));
        // The sanitizer's allocator ignores MALLOC_PERTURB_ and has its own filling.
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   (asan.isEmpty() ? QString() : asan + QLatin1Char(':'))
                       + QStringLiteral("malloc_fill_byte=%1:max_malloc_fill_size=1048576").arg(fill));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAllStandardError().constData());
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray wire = f.readAll();
        if (wire != meant) {
            const QList<QByteArray> got = wire.split('\n'), want = meant.split('\n');
            for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i)
                if (got[i] != want[i])
                    QFAIL(qPrintable(QStringLiteral("MALLOC_PERTURB_=%1, line %2: %3 instead of %4")
                                         .arg(fill)
                                         .arg(i + 1)
                                         .arg(QString::fromLatin1(got[i]), QString::fromLatin1(want[i]))));
            QFAIL("not the same number of lines");
        }
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString wire = qEnvironmentVariable("TRIVO_RLE_WIRE");
    if (!wire.isEmpty())
        return writeRleWire(wire);
    TestScreenPicture test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_screen_picture.moc"
