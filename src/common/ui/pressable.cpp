#include "common/ui/pressable.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace trivo {

namespace {

// A label or a frame seen by a screen reader as the button it is: its caption or title for a name, and a
// press action.
class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        if (auto* label = qobject_cast<const QLabel*>(widget()))
            return label->text().remove(QLatin1Char('&'));
        if (auto* frame = qobject_cast<const QGroupBox*>(widget()))
            return frame->title().remove(QLatin1Char('&'));
        return QString();
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (!widget()->isEnabled())
            return;
        if (auto* button = qobject_cast<LabelButton*>(widget()))
            button->click();
        else if (auto* frame = qobject_cast<PressableFrame*>(widget()))
            frame->click();
    }
};

QAccessibleInterface* pressableFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String(LabelButton::staticMetaObject.className())
        || className == QLatin1String(PressableFrame::staticMetaObject.className()))
        return new PressableAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(pressableFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

// The focus frame: in the control's own text colour, which is chosen to read on its background.
void drawFocusFrame(QWidget* widget, const QRect& around)
{
    QPainter p(widget);
    p.setPen(QPen(widget->palette().color(widget->foregroundRole()), 2, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(around);
}

}  // namespace

bool isPressKey(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Select;
}

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    installAccessibleFactory();
    setFocusPolicy(Qt::StrongFocus);
}

void LabelButton::click()
{
    emit pressed();
    emit released();
    emit clicked();
}

void LabelButton::keyPressEvent(QKeyEvent* event)
{
    if (!isPressKey(event->key())) {
        QLabel::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && !isDown()) {
        keyDown_ = true;
        emit pressed();
    }
    event->accept();
}

void LabelButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!isPressKey(event->key())) {
        QLabel::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && keyDown_) {
        keyDown_ = false;
        emit released();
        emit clicked();
    }
    event->accept();
}

void LabelButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || isDown()) {
        QLabel::mousePressEvent(event);
        return;
    }
    mouseDown_ = true;
    emit pressed();
    event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !mouseDown_) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    mouseDown_ = false;
    emit released();
    if (rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

// A key held while the focus leaves, or a control greyed while held, comes up without a click: every
// press gets its release.
void LabelButton::letGo(bool click)
{
    if (!isDown())
        return;
    keyDown_ = mouseDown_ = false;
    emit released();
    if (click)
        emit clicked();
}

void LabelButton::focusOutEvent(QFocusEvent* event)
{
    if (keyDown_)
        letGo(false);
    QLabel::focusOutEvent(event);
}

void LabelButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        letGo(false);
    QLabel::changeEvent(event);
}

void LabelButton::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (hasFocus())
        drawFocusFrame(this, rect().adjusted(focusInset_, focusInset_, -focusInset_ - 1, -focusInset_ - 1));
}

PressableFrame::PressableFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
    installAccessibleFactory();
    setFocusPolicy(Qt::StrongFocus);
}

// A group box takes Space for its own check box before keyPressEvent would see it.
bool PressableFrame::event(QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QGroupBox::event(event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPressKey(key->key()))
        return QGroupBox::event(event);
    if (event->type() == QEvent::KeyPress && !key->isAutoRepeat() && isEnabled())
        emit pressed();
    event->accept();
    return true;
}

void PressableFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QGroupBox::mousePressEvent(event);
        return;
    }
    emit pressed();
    event->accept();
}

void PressableFrame::paintEvent(QPaintEvent* event)
{
    QGroupBox::paintEvent(event);
    if (!hasFocus())
        return;
    // Around the title, which is what the frame toggles.
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect title = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    drawFocusFrame(this, title.adjusted(-3, -1, 3, 1).intersected(rect().adjusted(1, 1, -1, -1)));
}

}  // namespace trivo
