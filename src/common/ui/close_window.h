#pragma once
// Closing a window from its own keys and buttons: inside the main window it is the frame around it that
// closes (and so destroys it), on its own the window itself.
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QWidget>

namespace trivo {

inline void closeWindowFrame(QWidget* window)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        frame->close();
    else
        window->close();
}

// Échap closes a secondary window, as it does a dialog. For a window's keyPressEvent: true when it closed.
inline bool closeOnEscape(QWidget* window, QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return false;
    event->accept();
    closeWindowFrame(window);
    return true;
}

}  // namespace trivo
