#include "link/ui/window_operations.h"

#include <QMdiSubWindow>

namespace trivo {

void WindowOperations::cancel()
{
    for (quint64 n : running_)
        owner_.cancel(n);
}

bool WindowOperations::holdClose(QCloseEvent* event)
{
    if (running_.isEmpty())
        return false;
    closing_ = true;
    cancel();
    event->ignore();
    return true;
}

void WindowOperations::closeIfHeld()
{
    if (!closing_ || !running_.isEmpty() || !window_)
        return;
    // Inside the main window the frame is what closes; it asks the window again.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window_->parentWidget()))
        frame->close();
    else
        window_->close();
}

}  // namespace trivo
