#include "shell/window_arrangement.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <algorithm>

namespace trivo {

namespace {
// Splits `length` into `count` parts differing by at most one pixel; returns the offsets and sizes.
QList<QPair<int, int>> split(int start, int length, int count)
{
    QList<QPair<int, int>> parts;
    const int base = length / count;
    int spare = length % count;
    int at = start;
    for (int i = 0; i < count; ++i) {
        const int size = base + (spare > 0 ? 1 : 0);
        if (spare > 0)
            --spare;
        parts.append({at, size});
        at += size;
    }
    return parts;
}
}  // namespace

QList<QRect> tilesSideBySide(const QRect& area, int count)
{
    QList<QRect> tiles;
    if (count <= 0)
        return tiles;
    for (const auto& [x, width] : split(area.left(), area.width(), count))
        tiles.append(QRect(x, area.top(), width, area.height()));
    return tiles;
}

QList<QRect> tilesOneAbove(const QRect& area, int count)
{
    QList<QRect> tiles;
    if (count <= 0)
        return tiles;
    for (const auto& [y, height] : split(area.top(), area.height(), count))
        tiles.append(QRect(area.left(), y, area.width(), height));
    return tiles;
}

QList<QPoint> iconPositions(const QRect& area, const QList<QSize>& iconSizes)
{
    QList<QPoint> positions;
    int x = area.left();
    int rowBottom = area.bottom() + 1;
    int rowHeight = 0;
    for (const QSize& size : iconSizes) {
        if (x > area.left() && x + size.width() > area.right() + 1) {
            rowBottom -= rowHeight;
            x = area.left();
            rowHeight = 0;
        }
        rowHeight = std::max(rowHeight, size.height());
        positions.append(QPoint(x, rowBottom - size.height()));
        x += size.width();
    }
    return positions;
}

QRect keptInside(const QRect& frame, const QRect& area)
{
    QRect kept(frame.topLeft(), frame.size().boundedTo(area.size()));
    kept.moveLeft(std::clamp(kept.left(), area.left(), area.right() + 1 - kept.width()));
    kept.moveTop(std::clamp(kept.top(), area.top(), area.bottom() + 1 - kept.height()));
    return kept;
}

namespace {
// Watches the area's children: each one's show and resize.
class ChildrenInView : public QObject {
public:
    explicit ChildrenInView(QMdiArea* area) : QObject(area), viewport_(area->viewport())
    {
        viewport_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ChildPolished:
            // A child is polished just before it first shows: the place and size it opens at are seen.
            if (watched == viewport_)
                if (auto* sub = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child()))
                    sub->installEventFilter(this);
            break;
        case QEvent::Show:
        case QEvent::Resize:
            if (auto* sub = qobject_cast<QMdiSubWindow*>(watched);
                sub && viewport_ && sub->isVisible() && !sub->isMinimized() && !sub->isMaximized()) {
                const QRect kept = keptInside(sub->geometry(), viewport_->rect());
                if (kept != sub->geometry())
                    sub->setGeometry(kept);
            }
            break;
        default: break;
        }
        return false;
    }

private:
    QPointer<QWidget> viewport_;
};
}  // namespace

void keepChildrenInView(QMdiArea* area) { new ChildrenInView(area); }

void arrange(QMdiArea* area, Arrangement how)
{
    if (!area)
        return;
    QList<QMdiSubWindow*> windows;
    QList<QMdiSubWindow*> icons;
    // Most recently active first, like the tile of the active window at the top left.
    QList<QMdiSubWindow*> order = area->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(order.begin(), order.end());
    for (QMdiSubWindow* sub : order) {
        if (sub->isHidden())
            continue;
        (sub->isMinimized() ? icons : windows).append(sub);
    }

    QRect free = area->viewport()->rect();
    if (!icons.isEmpty()) {
        QList<QSize> sizes;
        for (QMdiSubWindow* icon : icons)
            sizes.append(icon->size());
        const QList<QPoint> at = iconPositions(free, sizes);
        int top = free.bottom() + 1;
        for (int i = 0; i < icons.size(); ++i) {
            icons[i]->move(at[i]);
            top = std::min(top, at[i].y());
        }
        if (how != Arrangement::ArrangeIcons && top > free.top())
            free.setBottom(top - 1);
    }

    switch (how) {
    case Arrangement::ArrangeIcons: return;
    case Arrangement::Cascade:
        // Qt's cascade leaves minimised and hidden children where they are.
        area->cascadeSubWindows();
        return;
    case Arrangement::TileHorizontal:
    case Arrangement::TileVertical: {
        const QList<QRect> tiles = how == Arrangement::TileVertical ? tilesSideBySide(free, int(windows.size()))
                                                                    : tilesOneAbove(free, int(windows.size()));
        for (int i = 0; i < windows.size(); ++i) {
            if (windows[i]->isMaximized())
                windows[i]->showNormal();
            windows[i]->setGeometry(tiles[i]);
        }
        return;
    }
    }
}

}  // namespace trivo
