#include "screen/home_screen_picture.h"

#include <algorithm>

namespace trivo {

HomeScreenPicture::HomeScreenPicture() : image_(kScreenWidth, kScreenHeight, QImage::Format_RGB32)
{
    image_.fill(kScreenBlue);
}

QRgb HomeScreenPicture::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= kScreenWidth || y >= kScreenHeight)
        return kScreenBlue;
    return reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
}

void HomeScreenPicture::setPixel(int x, int y, QRgb colour)
{
    if (x < 0 || y < 0 || x >= kScreenWidth || y >= kScreenHeight)
        return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = colour | 0xFF000000u;
}

void HomeScreenPicture::fill(QRgb colour) { image_.fill(colour | 0xFF000000u); }

namespace {
int blend(int source, int background, int alpha) { return (source * alpha + background * (255 - alpha) + 127) / 255; }
}  // namespace

void HomeScreenPicture::place(const QImage& picture, QRgb background)
{
    fill(background);
    if (picture.isNull())
        return;
    // Non-premultiplied, so that an opaque pixel keeps its exact colour whatever the source format.
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    const int width = std::min(source.width(), kScreenWidth);
    const int height = std::min(source.height(), kScreenHeight);
    for (int y = 0; y < height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb c = row[x];
            const int a = qAlpha(c);
            if (a == 255) {
                setPixel(x, y, c);
            } else {
                setPixel(x, y,
                         qRgb(blend(qRed(c), qRed(background), a), blend(qGreen(c), qGreen(background), a),
                              blend(qBlue(c), qBlue(background), a)));
            }
        }
    }
}

void HomeScreenPicture::reduceToTwoColours()
{
    for (int x = 0; x < kScreenWidth; ++x)
        for (int y = 0; y < kScreenHeight; ++y)
            setPixel(x, y, isScreenWhite(pixel(x, y)) ? kScreenWhite : kScreenBlue);
}

DisplayBitmap HomeScreenPicture::pack() const
{
    DisplayBitmap bitmap{};
    std::size_t n = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x0 = 0; x0 < kScreenWidth; x0 += 8) {
            uint8_t byte = 0;
            for (int k = 0; k < 8; ++k) {
                if (isScreenWhite(pixel(x0 + k, y)))
                    byte |= uint8_t(0x80u >> k);
            }
            bitmap[n++] = byte;
        }
    }
    return bitmap;
}

void HomeScreenPicture::setPlotPosition(int x, int y)
{
    plotX_ = x;
    plotY_ = y;
}

void HomeScreenPicture::doteur(QRgb colour)
{
    setPixel(plotX_, plotY_, colour);
    if (++plotX_ >= kScreenWidth) {
        plotX_ = 0;
        ++plotY_;
    }
}

void HomeScreenPicture::plotByte(uint8_t byte)
{
    for (int bit = 7; bit >= 0; --bit)
        doteur((byte >> bit) & 1 ? kScreenWhite : kScreenBlue);
}

void HomeScreenPicture::plot(const DisplayBitmap& bitmap)
{
    setPlotPosition(0, 0);
    for (uint8_t byte : bitmap)
        plotByte(byte);
}

}  // namespace trivo
