#include "shell/program_end.h"

#include "link/display_owner.h"
#include "shell/main_window.h"

namespace trivo {

void endProgramOnQuit(MainWindow& main, DisplayOwner& owner, std::function<void()> end)
{
    // Called once the link window has asked the owner to close the link: its answer comes after.
    main.setExitHandler([&main, &owner, end = std::move(end)] {
        QObject::connect(&owner, &DisplayOwner::linkClosed, &owner, end, Qt::SingleShotConnection);
        main.hide();
        // Deleted at the event loop's next turn, outside the slot of its child that asked; a posted call
        // rather than deleteLater, which a loop that was not running when asked would leave waiting.
        QMetaObject::invokeMethod(&main, [&main] { delete &main; }, Qt::QueuedConnection);
    });
}

}  // namespace trivo
