#pragma once
// Pictures of the windows to look at, saved in the build's screenshots folder. Each is checked as it is
// saved: at least of the size its widget is laid out at, and not blank (one colour over nearly all of it),
// so that a window that draws nothing fails its test instead of leaving an empty picture behind.
#include <QDir>
#include <QHash>
#include <QImage>
#include <QLayout>
#include <QTest>
#include <QWidget>

#include <algorithm>

namespace trivo::test {

inline void screenshot(const QImage& picture, const QString& name, QSize expected = QSize(32, 32))
{
    QHash<QRgb, int> colours;
    int commonest = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            commonest = std::max(commonest, ++colours[picture.pixel(x, y)]);
    const int pixels = picture.width() * picture.height();
    QString fault;
    if (picture.width() < expected.width() || picture.height() < expected.height())
        fault = QStringLiteral("is %1x%2, laid out at %3x%4").arg(picture.width()).arg(picture.height()).arg(expected.width()).arg(expected.height());
    else if (colours.size() < 3 || commonest > pixels * 0.995)
        fault = QStringLiteral("is blank: %1 colours, one on %2 of %3 pixels").arg(colours.size()).arg(commonest).arg(pixels);
    else if (!QDir().mkpath(QStringLiteral(TRIVO_SCREENSHOT_DIR))
             || !picture.save(QStringLiteral(TRIVO_SCREENSHOT_DIR "/") + name))
        fault = QStringLiteral("cannot be saved in " TRIVO_SCREENSHOT_DIR);
    if (!fault.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("screenshot %1 %2").arg(name, fault)), __FILE__, __LINE__);
}

// The picture must hold the window at the size its layout needs: a window shown smaller than that has
// its controls squeezed or cut, whatever grab() returns.
inline void screenshot(QWidget* widget, const QString& name)
{
    const QImage picture = widget->grab().toImage();
    const QSize laidOut = widget->layout() ? widget->layout()->totalMinimumSize() : widget->minimumSizeHint();
    screenshot(picture, name, laidOut.expandedTo(QSize(32, 32)) * picture.devicePixelRatio());
}

}  // namespace trivo::test
