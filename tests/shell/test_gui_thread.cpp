// No window ever calls the display from the GUI thread: between the display's owner and the emulated
// display stands a transport that notes every call made on the application's main thread. Each row drives
// one operation from its window as the operator would, waits for it, ends the program, and checks that
// the operation reached the display and that nothing was called on the GUI thread, the end included.
#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "config/config_file_io.h"
#include "configwindow/config_window.h"
#include "emulator/emulated_display.h"
#include "link/display_owner.h"
#include "maintenance/hex_fixtures.h"
#include "maintenance/ui/maintenance_window.h"
#include "registers/ui/registers_window.h"
#include "screen/ui/screen_window.h"
#include "shell/main_window.h"
#include "shell/usb_window.h"
#include "support/rig.h"
#include "support/settings_sandbox.h"
#include "support/files.h"

using namespace trivo;

namespace {

// Passes every call on, naming those made on the GUI thread.
class GuiThreadWatch : public HidTransport {
public:
    explicit GuiThreadWatch(HidTransport& inner) : inner_(inner) {}

    QStringList onGuiThread() const
    {
        std::lock_guard lock(mutex_);
        return onGui_;
    }

    std::vector<HidInterfaceInfo> enumerate() override { return via("enumerate").enumerate(); }
    Handle open(const std::string& path) override { return via("open").open(path); }
    ReportLengths reportLengths(Handle handle) override { return via("reportLengths").reportLengths(handle); }
    int write(Handle handle, const uint8_t* data, std::size_t length) override
    {
        return via("write").write(handle, data, length);
    }
    ReadStatus read(Handle handle, uint8_t* buffer, std::size_t length, int timeoutMs, std::size_t& bytesRead) override
    {
        return via("read").read(handle, buffer, length, timeoutMs, bytesRead);
    }
    bool close(Handle handle) override { return via("close").close(handle); }
    std::string lastError() const override { return via("lastError").lastError(); }

private:
    HidTransport& via(const char* call) const
    {
        if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
            std::lock_guard lock(mutex_);
            onGui_ << QString::fromLatin1(call);
        }
        return inner_;
    }

    HidTransport& inner_;
    mutable std::mutex mutex_;
    mutable QStringList onGui_;
};

// The program on the watched display: connected, its configuration window opened and read at once.
struct Fixture {
    QTemporaryDir dir;
    EmulatedTransport display;
    GuiThreadWatch watch{display};
    test::StrictDialogs dialogs;
    std::unique_ptr<DisplayOwner> owner;
    std::unique_ptr<MainWindow> main;
    int exits = 0;

    Fixture()
    {
        display.plug(true);
        owner = std::make_unique<DisplayOwner>(watch);
        owner->setReadTimeoutMs(50);
        main = std::make_unique<MainWindow>(*owner, dialogs);
        main->setExitHandler([this] { ++exits; });
        main->show();
        main->MDIForm_Load();
        owner->stopMonitor();  // its ticks are called by hand
        tick();
    }
    void tick()
    {
        owner->DETECT_CON_Timer();
        settle();
    }
    void settle() { QVERIFY(test::settle(*owner)); }
    // The end of the program, by whatever route: the windows go first, then the display's owner.
    void end()
    {
        main.reset();
        owner.reset();
    }

    ConfigWindow* config() const { return main->configWindow(); }
    void choose(const char* item) const { main->menuBar()->findChild<QAction*>(QLatin1String(item))->trigger(); }
    void usbClick(const char* button) const
    {
        main->usbWindow()->findChild<QPushButton*>(QLatin1String(button))->click();
    }
    RegistersWindow* registers()
    {
        RegistersWindow* window = main->showRegistersWindow();
        window->Timer1().stop();  // its cycles are called by hand
        settle();                 // its load's read
        return window;
    }
    std::size_t written() const { return display.outputReports().size(); }
};

struct Operation {
    std::string name;
    std::function<void(Fixture&)> prepare;  // what the operator did before (may reach the display too)
    std::function<void(Fixture&)> act;
    // That the operation reached the display; when not given, reports were written during act.
    std::function<bool(Fixture&)> reached;
};

// Each LED and buzzer key of the registers window, pressed, then released.
void keyRows(std::vector<Operation>& rows)
{
    using Handler = void (RegistersWindow::*)();
    const std::tuple<const char*, Handler, Handler> keys[] = {
        {"G4", &RegistersWindow::G4_MouseDown, &RegistersWindow::G4_MouseUp},
        {"G5", &RegistersWindow::G5_MouseDown, &RegistersWindow::G5_MouseUp},
        {"G6", &RegistersWindow::G6_MouseDown, &RegistersWindow::G6_MouseUp},
        {"G7", &RegistersWindow::G7_MouseDown, &RegistersWindow::G7_MouseUp},
    };
    for (const auto& [key, down, up] : keys) {
        rows.push_back({std::string("key ") + key + " pressed", [](Fixture& f) { f.registers(); },
                        [down = down](Fixture& f) { (f.main->registersWindow()->*down)(); }});
        rows.push_back({std::string("key ") + key + " released",
                        [down = down](Fixture& f) {
                            (f.registers()->*down)();
                            f.settle();
                        },
                        [up = up](Fixture& f) { (f.main->registersWindow()->*up)(); }});
    }
}

const std::vector<Operation>& operations()
{
    static const std::vector<Operation> rows = [] {
        const auto none = [](Fixture&) {};
        const auto button = [](int index) { return [index](Fixture& f) { f.config()->BOUTON_Click(index); }; };
        const auto onScreen = [](void (ScreenWindow::*handler)()) {
            return [handler](Fixture& f) { (f.main->showScreenWindow()->*handler)(); };
        };
        const auto backUp = [](Fixture& f) {
            f.dialogs.folderAnswers << f.dir.filePath(QStringLiteral("sauvegarde"));
            f.dialogs.expect();  // where it was saved
            f.choose("MENU_SAUVEGARDE_AFF");
        };
        std::vector<Operation> r{
            {"configuration read", none, button(5)},
            {"programming", none, button(6)},
            {"programming with read-back", [](Fixture& f) { f.choose("MENU_VERIF_PROG"); }, button(6)},
            {"command Raz C", none, button(0)},
            {"command Raz T", none, button(1)},
            {"command +1", none, button(2)},
            {"command -1", none, button(3)},
            {"command Reset", none, button(4)},
            {"picture send", none, onScreen(&ScreenWindow::but_WR_HID_ECR_Click)},
            {"picture send with read-back", [](Fixture& f) { f.choose("MENU_VERIF_ECRAN"); },
             onScreen(&ScreenWindow::but_WR_HID_ECR_Click)},
            {"picture read", none, onScreen(&ScreenWindow::but_RD_HID_ECR_Click)},
            {"picture clear", none, onScreen(&ScreenWindow::Command2_Click)},
            {"registers read", [](Fixture& f) { f.registers(); },
             [](Fixture& f) { f.main->registersWindow()->but_RD_HID_ECR_Click(); }},
            {"registers timer cycle", [](Fixture& f) { f.registers(); },
             [](Fixture& f) { f.main->registersWindow()->Timer1_Timer(); }},
            {"firmware update",
             [](Fixture& f) {
                 const QString path = f.dir.filePath(QStringLiteral("fw.HEX"));
                 test::writeAll(path, hexfix::dataRecords(4) + hexfix::kEndOfFile + "\r\n");
                 {
                     const auto lock = f.display.lock();
                     f.display.display().updateMode = true;
                 }
                 MaintenanceWindow* maintenance = f.main->showMaintenanceWindow();
                 f.dialogs.expect(MsgResult::Yes);
                 maintenance->Maj_Click();
                 f.dialogs.fileAnswers << path;
                 maintenance->Cmd_Openfile_Click();
                 QVERIFY(maintenance->imageLoaded());
             },
             [](Fixture& f) {
                 f.dialogs.expect(MsgResult::Yes);
                 f.main->maintenanceWindow()->CMD_Flash_OK_Click();
             },
             [](Fixture& f) { return f.main->maintenanceWindow()->lastFlash().completed; }},
            {"verification", none, [](Fixture& f) { f.choose("MENU_VERIFIER"); }},
            {"comparison with a file",
             [](Fixture& f) {
                 const QString path = f.dir.filePath(QStringLiteral("c.config_CP"));
                 QVERIFY(saveConfiguration(path, f.config()->formState()).ok());
                 f.dialogs.fileAnswers << path;
             },
             [](Fixture& f) { f.choose("MENU_COMPARER"); }},
            {"backup", none, backUp},
            {"restore",
             [backUp](Fixture& f) {
                 backUp(f);
                 f.settle();
                 f.dialogs.folderAnswers << f.dir.filePath(QStringLiteral("sauvegarde"));
                 f.dialogs.expect(MsgResult::Yes).expect();  // the question, then what was restored
             },
             [](Fixture& f) { f.choose("MENU_RESTAURE_AFF"); }},
            {"link window Envoi", none, [](Fixture& f) { f.usbClick("but_WR_HID"); }},
            {"link window Lire", none, [](Fixture& f) { f.usbClick("but_RD_HID"); }},
            // The buffer as a read left it, cleared, then sent: every byte sent is 0.
            {"link window efface",
             [](Fixture& f) {
                 f.usbClick("but_RD_HID");
                 f.settle();
             },
             [](Fixture& f) {
                 f.usbClick("but_CLEAR_HID");
                 f.usbClick("but_WR_HID");
             },
             [](Fixture& f) {
                 const std::vector<uint8_t> sent = f.display.outputReports().back();
                 return std::all_of(sent.begin(), sent.end(), [](uint8_t b) { return b == 0; });
             }},
            {"link window Quitter", none, [](Fixture& f) { f.usbClick("Command1"); },
             [](Fixture& f) { return f.exits == 1 && f.display.openHandles() == 0; }},
            // The display found again after a loose cable.
            {"connection check",
             [](Fixture& f) {
                 f.display.plug(false);
                 f.tick();
                 f.display.plug(true);
             },
             [](Fixture& f) { f.owner->DETECT_CON_Timer(); },
             [](Fixture& f) { return f.owner->state() == LinkState::Connected && f.display.openHandles() > 0; }},
        };
        keyRows(r);
        return r;
    }();
    return rows;
}

}  // namespace

class TestGuiThread : public QObject {
    Q_OBJECT
private slots:
    void init() { test::sandboxSettings(); }

    void noWindowOperationCallsTheDisplayFromTheGuiThread_data()
    {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < operations().size(); ++i)
            QTest::newRow(operations()[i].name.c_str()) << int(i);
    }
    void noWindowOperationCallsTheDisplayFromTheGuiThread()
    {
        QFETCH(int, row);
        const Operation& operation = operations()[std::size_t(row)];
        Fixture f;
        QVERIFY(f.config());
        operation.prepare(f);
        f.settle();
        const std::size_t before = f.written();
        operation.act(f);
        f.settle();
        QVERIFY(operation.reached ? operation.reached(f) : f.written() > before);
        f.end();
        QCOMPARE(f.watch.onGuiThread(), QStringList());
    }
};

QTEST_MAIN(TestGuiThread)
#include "test_gui_thread.moc"
