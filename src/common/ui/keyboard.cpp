#include "common/ui/keyboard.h"

#include <QMdiSubWindow>
#include <QShortcut>
#include <QWidget>

namespace trivo {

void closeOnEscape(QWidget* window, std::function<void()> instead)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setObjectName(QStringLiteral("ECHAP"));
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated, window, [window, instead] {
        if (instead)
            instead();
        else
            closeWindow(window);
    });
}

void closeWindow(QWidget* window)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        frame->close();
    else
        window->close();
}

}  // namespace trivo
