#pragma once
// Arrangement of the main window's child windows: tiles side by side or one above the other, the icons of
// minimised children in rows along the bottom, and every child kept inside the area. The geometry is plain
// arithmetic; arrange() and keepChildrenInView() apply it to an MDI area.
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

// `frame` no larger than `area` and moved inside it, by as little as it takes.
QRect keptInside(const QRect& frame, const QRect& area);

// Keeps each child window of `area` wholly in view when it opens and whenever it changes size (a window
// that unfolds, an operator's resize): moved back from the edge it crosses and no larger than the area,
// its contents scrolling where they cannot shrink. A child the operator drags partly out stays there.
void keepChildrenInView(QMdiArea* area);

// Applies an arrangement to the visible children: tiles and cascade take the windows that are not
// minimised (the most recently active first) and leave the icons' rows free.
void arrange(QMdiArea* area, Arrangement how);

}  // namespace trivo
