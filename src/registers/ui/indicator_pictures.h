#pragma once
// The pictures of the registers window, drawn in code: 32 x 32 indicators (grey when off, coloured when
// on) and the 16 x 16 blue-and-white level bars and radio icon.
#include <QColor>
#include <QPixmap>

namespace trivo::registers {

constexpr int kIndicatorSize = 32;
constexpr int kBarSize = 16;

enum class IndicatorShape { PushButton, Buzzer, Led };

// A grey (off) picture when colour is invalid, else the picture lit in that colour.
QPixmap indicatorPicture(IndicatorShape shape, const QColor& colour = QColor());
// Bar k of the level graph (0 = shortest, 7 = tallest).
QPixmap levelBarPicture(int index);
QPixmap radioIconPicture();

inline const QColor kRed(230, 0, 0);
inline const QColor kGreen(0, 200, 0);
inline const QColor kBlue(0, 60, 255);
inline const QColor kLightBlue(120, 210, 255);

}  // namespace trivo::registers
