#pragma once
// The main window on the shared rig, in a program folder of the test's own (documents can be put there or
// left out, files written there), its display unplugged and no connection check run yet.
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include "shell/main_window.h"
#include "support/rig.h"

namespace trivo::test {

class FolderMainWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    QString folder;
    QString programFolder() const override { return folder; }
};

struct MainWindowRig {
    OwnerRig rig{false};
    EmulatedTransport& transport = rig.transport;
    DisplayOwner& owner = rig.owner;
    StrictDialogs& dialogs = rig.dialogs;
    FolderMainWindow main{owner, dialogs};
    QTemporaryDir programDir;

    MainWindowRig() { main.folder = programDir.path(); }
    QAction* item(const QString& name) const { return main.menuBar()->findChild<QAction*>(name); }
    void choose(const QString& name) const
    {
        QAction* action = item(name);
        QVERIFY2(action, qPrintable(name));
        action->trigger();
    }
    // One tick of the monitor, and whatever it started (the configuration window's read), waited for.
    void tick() { rig.tick(); }
    bool settled() { return rig.settled(); }
};

}  // namespace trivo::test
