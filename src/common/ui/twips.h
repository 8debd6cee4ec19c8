#pragma once
// Positions and sizes of the windows are given in twips (1440 per inch).
#include <QWidget>
#include <cmath>

namespace trivo {

inline int twipsToPixels(int twips, const QWidget* widget = nullptr)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

inline int pixelsToTwips(int pixels, const QWidget* widget = nullptr)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

}  // namespace trivo
