#pragma once
// The home-screen preview and the display bitmap it turns into. The preview is a 240 x 64 picture in which
// only pure white counts as a lit dot; the display bitmap is the form the display stores: one bit per
// pixel, 30 bytes per row, top row first, bit 7 the leftmost pixel, 1 = white.
#include <array>
#include <cstdint>

#include <QImage>
#include <QPoint>

namespace trivo {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 64;
constexpr int kBitmapBytesPerRow = kScreenWidth / 8;
constexpr int kBitmapBytes = kBitmapBytesPerRow * kScreenHeight;  // 1920

// The two colours the window's operations draw.
constexpr QRgb kScreenWhite = 0xFFFFFFFFu;  // RGB (255, 255, 255)
constexpr QRgb kScreenBlue = 0xFF0000FFu;   // RGB (0, 0, 255)

using DisplayBitmap = std::array<uint8_t, kBitmapBytes>;

// Only exactly RGB (255, 255, 255) is white; alpha is not looked at.
constexpr bool isScreenWhite(QRgb colour) { return (colour & 0x00FFFFFFu) == 0x00FFFFFFu; }

class HomeScreenPicture {
public:
    HomeScreenPicture();  // all blue

    // 240 x 64, Format_RGB32.
    const QImage& image() const { return image_; }

    QRgb pixel(int x, int y) const;
    // Outside the 240 x 64 area nothing is drawn, as on a picture box.
    void setPixel(int x, int y, QRgb colour);
    void fill(QRgb colour);

    // Puts a decoded picture unscaled with its top-left corner at (0, 0): a larger one is cut, a smaller one
    // leaves the rest in the background colour. Translucent pixels are blended over the background.
    // The colours are kept as they are; reduceToTwoColours() follows on an import.
    void place(const QImage& picture, QRgb background = kScreenBlue);

    // Every pixel that is not exactly white becomes blue; white stays white.
    void reduceToTwoColours();

    // Preview to display bitmap, from the current pixels.
    DisplayBitmap pack() const;

    // The plot position used by doteur; set to (0, 0) before a read redraws the picture.
    void setPlotPosition(int x, int y);
    QPoint plotPosition() const { return QPoint(plotX_, plotY_); }
    // Draws one pixel at the plot position and advances it; x wraps at 240 onto the next row.
    void doteur(QRgb colour);
    // Eight doteur calls, bit 7 first: white for a 1 bit, blue for a 0 bit.
    void plotByte(uint8_t byte);
    // Sets the plot position to (0, 0) and plots the 1920 bytes in order.
    void plot(const DisplayBitmap& bitmap);

private:
    QImage image_;
    int plotX_ = 0;
    int plotY_ = 0;
};

}  // namespace trivo
