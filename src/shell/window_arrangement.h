#pragma once
// Arrangement of the main window's child windows: tiles side by side or one above the other, and the
// icons of minimised children in rows along the bottom. The geometry is plain arithmetic; arrange()
// applies it to an MDI area.
#include <QList>
#include <QRect>
#include <QSize>

class QMdiArea;

namespace trivo {

enum class Arrangement { Cascade, TileHorizontal, TileVertical, ArrangeIcons };

// `count` tiles filling `area` exactly: side by side (each the full height) or one above the other
// (each the full width). The first tiles take the spare pixels.
QList<QRect> tilesSideBySide(const QRect& area, int count);
QList<QRect> tilesOneAbove(const QRect& area, int count);

// Top-left corners for the icons, left to right along the bottom of `area`, a new row above when one is full.
QList<QPoint> iconPositions(const QRect& area, const QList<QSize>& iconSizes);

// Applies an arrangement to the visible children: tiles and cascade take the windows that are not
// minimised (the most recently active first) and leave the icons' rows free.
void arrange(QMdiArea* area, Arrangement how);

}  // namespace trivo
