// The program's icon: drawn from the SVG built into the program at every size the desktop asks for, the
// same picture as the installed one, and shown by the about window.
#include <QFile>
#include <QImage>
#include <QtTest>

#include "shell/about_window.h"
#include "shell/program_icon.h"
#include "support/files.h"

using namespace trivo;

namespace {
QImage iconImage(const QIcon& icon, int size)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The colour under a point given in the drawing's own 128-unit coordinates.
QColor at(const QImage& image, double x, double y)
{
    return image.pixelColor(int(x * image.width() / 128.0), int(y * image.height() / 128.0));
}
}  // namespace

class TestProgramIcon : public QObject {
    Q_OBJECT

private slots:
    void drawnAtEverySize_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 32, 48, 64, 128, 256})
            QTest::addRow("%d", size) << size;
    }
    void drawnAtEverySize()
    {
        QFETCH(int, size);
        const QImage image = iconImage(programIcon(), size);
        QVERIFY2(!image.isNull(), "the SVG icon engine (libqt6svg6) is missing");
        QCOMPARE(image.size(), QSize(size, size));
        // The panel's rounded case leaves the corners clear.
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(size - 1, size - 1).alpha(), 0);
        // A blue LCD across the top half of the panel, its frame dark.
        const QColor lcd = at(image, 22, 45);
        QCOMPARE(lcd.alpha(), 255);
        QVERIFY2(lcd.blue() > 120 && lcd.blue() > 2 * lcd.red() && lcd.blue() > lcd.green(), qPrintable(lcd.name()));
        // Three LEDs below it, red, green and blue from the left.
        const QColor red = at(image, 30, 92), green = at(image, 54, 92), blue = at(image, 78, 92);
        QVERIFY2(red.red() > 2 * red.green() && red.red() > 2 * red.blue(), qPrintable(red.name()));
        QVERIFY2(green.green() > 2 * green.red() && green.green() > green.blue(), qPrintable(green.name()));
        QVERIFY2(blue.blue() > 2 * blue.red() && blue.blue() > blue.green(), qPrintable(blue.name()));
    }

    void sameDrawingAsTheInstalledIcon()
    {
        const QByteArray built = test::readAll(QStringLiteral(":/icons/trivo-cp.svg"));
        QVERIFY(!built.isEmpty());
        QCOMPARE(built, test::readAll(QStringLiteral(TRIVO_SOURCE_DIR "/packaging/trivo-cp.svg")));
    }

    void aboutWindowShowsTheProgramIcon()
    {
        AboutWindow about(nullptr);
        QVERIFY(!about.windowIcon().isNull());
        QCOMPARE(iconImage(about.windowIcon(), 48), iconImage(programIcon(), 48));
    }
};

QTEST_MAIN(TestProgramIcon)
#include "test_program_icon.moc"
