#include "registers/ui/indicator_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace trivo::registers {

namespace {

const QColor kOffFill(170, 170, 170);
const QColor kOutline(90, 90, 90);
const QColor kBarBlue(0, 0, 200);

void drawLed(QPainter& p, const QColor& colour)
{
    const bool on = colour.isValid();
    const QColor base = on ? colour : kOffFill;
    QRadialGradient glow(QPointF(12, 11), 16);
    glow.setColorAt(0.0, on ? base.lighter(170) : QColor(220, 220, 220));
    glow.setColorAt(1.0, on ? base.darker(120) : QColor(120, 120, 120));
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(glow);
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QRectF(9, 8, 7, 5));
}

void drawPushButton(QPainter& p, const QColor& colour)
{
    const bool on = colour.isValid();
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 4, 4);
    p.setBrush(on ? colour : kOffFill);
    // A pressed cap sits lower and smaller.
    p.drawEllipse(on ? QRectF(8, 9, 16, 16) : QRectF(7, 7, 18, 18));
}

void drawBuzzer(QPainter& p, const QColor& colour)
{
    const bool on = colour.isValid();
    const QColor body = on ? colour : kOffFill;
    QPainterPath speaker;
    speaker.moveTo(4, 12);
    speaker.lineTo(10, 12);
    speaker.lineTo(17, 5);
    speaker.lineTo(17, 27);
    speaker.lineTo(10, 20);
    speaker.lineTo(4, 20);
    speaker.closeSubpath();
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(body);
    p.drawPath(speaker);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(on ? body.darker(150) : kOffFill, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(14, 10, 8, 12), -60 * 16, 120 * 16);
    p.drawArc(QRectF(14, 6, 14, 20), -60 * 16, 120 * 16);
}

}  // namespace

QPixmap indicatorPicture(IndicatorShape shape, const QColor& colour)
{
    QPixmap pixmap(kIndicatorSize, kIndicatorSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (shape) {
    case IndicatorShape::PushButton: drawPushButton(p, colour); break;
    case IndicatorShape::Buzzer: drawBuzzer(p, colour); break;
    case IndicatorShape::Led: drawLed(p, colour); break;
    }
    return pixmap;
}

QPixmap levelBarPicture(int index)
{
    QPixmap pixmap(kBarSize, kBarSize);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    const int height = 2 * (index + 1);  // 2 px for the first bar, the full 16 px for the eighth
    p.fillRect(QRect(3, kBarSize - height, 10, height), kBarBlue);
    return pixmap;
}

QPixmap radioIconPicture()
{
    QPixmap pixmap(kBarSize, kBarSize);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBarBlue, 1.5));
    // Mast with a small triangle on top and two waves.
    p.drawLine(QPointF(8, 6), QPointF(8, 15));
    p.drawLine(QPointF(8, 9), QPointF(5, 15));
    p.drawLine(QPointF(8, 9), QPointF(11, 15));
    p.drawArc(QRectF(4, 1, 8, 8), 30 * 16, 120 * 16);
    p.drawArc(QRectF(1, -2, 14, 12), 30 * 16, 120 * 16);
    p.setBrush(kBarBlue);
    p.drawEllipse(QRectF(6.5, 4.5, 3, 3));
    return pixmap;
}

}  // namespace trivo::registers
