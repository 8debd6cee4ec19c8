#include "common/ui/form_scroll_area.h"

#include <QStyle>

namespace trivo {

FormScrollArea::FormScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
}

QSize FormScrollArea::sizeHint() const
{
    // QScrollArea's own hint stops at a few dozen lines of text, whatever the form.
    if (!widget())
        return QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    return widget()->sizeHint() + QSize(frame + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this), frame);
}

}  // namespace trivo
