#include "common/ui/elided_label.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>

namespace trivo {

namespace {
const QString kEllipsis = QStringLiteral("…");
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    // The height stays that of one line: the label never wraps.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFullText(text);
}

void ElidedLabel::setFullText(const QString& text)
{
    if (text == full_ && !text.isEmpty())
        return;
    full_ = text;
    elide();
    // The hint follows the whole text, which the shown one no longer tells.
    updateGeometry();
}

// The label's own frame, margin and indent around one line of text, as QLabel lays them out.
static QSize textMargins(const QLabel& label)
{
    const QMargins frame = label.contentsMargins();
    return {frame.left() + frame.right() + 2 * label.margin() + std::max(label.indent(), 0),
            frame.top() + frame.bottom() + 2 * label.margin()};
}

int ElidedLabel::textRoom() const { return width() - textMargins(*this).width(); }

QSize ElidedLabel::sizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(full_), fontMetrics().height()) + textMargins(*this);
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(kEllipsis), fontMetrics().height()) + textMargins(*this);
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        elide();
        updateGeometry();
    }
}

void ElidedLabel::elide()
{
    const QFontMetrics metrics = fontMetrics();
    const QString shown = metrics.horizontalAdvance(full_) <= textRoom()
                              ? full_
                              : metrics.elidedText(full_, Qt::ElideRight, std::max(textRoom(), 0));
    if (shown != text())
        QLabel::setText(shown);
    // Without a tooltip of its own, the label's parent tells its own where the text is whole.
    setToolTip(shown == full_ ? QString() : full_);
}

}  // namespace trivo
