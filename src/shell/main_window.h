#pragma once
// The main window PR: the multiple-document frame that holds every other window, its status bar with the
// connection state, and the shutdown path through the link window.
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <functional>
#include <memory>

#include "common/language.h"
#include "common/main_services.h"
#include "emulator/faults.h"

class QComboBox;
class QLabel;
class QMenu;
class QMdiArea;
class QMdiSubWindow;

namespace trivo {

class DisplayOwner;
class ElidedLabel;
class Dialogs;
class UsbWindow;
class ConfigWindow;
class ScreenWindow;
class RegistersWindow;
class MaintenanceWindow;
class MenuBar;
class EmulatedTransport;
class EmulatedPanelView;
namespace journal {
class Journal;
struct JournalSettings;
}

inline const QString kInitialPanel1Text = FR("Connectez votre TRIVO ZURED COMPTEUR.");
inline const QString kStatusBarTip = FR("La connection avec le TRIVO_CT est symbolisée par une diode verte.");

class MainWindow : public QMainWindow, public MainServices {
    Q_OBJECT
public:
    MainWindow(DisplayOwner& owner, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: normal state, link window shown minimised, caption, dialog folder, monitor started.
    void MDIForm_Load();

    // The display's one owner: every window's operations go through it.
    DisplayOwner& owner() { return owner_; }
    Dialogs& dialogs() { return dialogs_; }
    QMdiArea* mdiArea() const { return mdi_; }
    UsbWindow* usbWindow() const { return usb_; }
    QMdiSubWindow* usbSubWindow() const { return usbSub_; }

    // Child windows: created on first use, brought forward when they already exist.
    ConfigWindow* showConfigWindow();  // also moved to (50, 50) twips
    // The configuration window (opened, and so read, when it is not open yet): `then` runs on it once the
    // window's operation under way has come back, at once when none runs, so that it finds the form as the
    // read left it.
    void withConfigWindow(std::function<void(ConfigWindow&)> then);
    ScreenWindow* showScreenWindow();
    RegistersWindow* showRegistersWindow();
    MaintenanceWindow* showMaintenanceWindow();
    ConfigWindow* configWindow() const;
    ScreenWindow* screenWindow() const;
    RegistersWindow* registersWindow() const;
    MaintenanceWindow* maintenanceWindow() const;
    QMdiSubWindow* subWindowOf(QWidget* child) const;

    // Shutdown by any route: the link window's close command, then the program ends.
    void quit();
    // What "the program ends" does; tests replace it.
    void setExitHandler(std::function<void()> handler) { exitHandler_ = std::move(handler); }

    // The training mode runs on the emulated display; the caption says so.
    void setTrainingMode(bool on);
    bool trainingMode() const { return training_; }
    // Training mode on the emulated display: adds the "Simulation" menu (plug, unplug, update mode,
    // live view of the panel).
    void enableSimulation(EmulatedTransport& transport);
    EmulatedPanelView* showEmulatedPanel();
    // The objectName of a fault's action in the "Pannes" menu: MENU_SIM_PANNE_ and its name.
    static QString faultActionName(Fault fault);

    // Several displays: the chooser in the status bar, and choosing one (its USB path).
    QComboBox* displayChooser() const { return chooser_; }
    void chooseDisplay(const QString& path);
    void nameDisplay();

    QString tag() const { return tag_; }
    QString panel1Text() const;
    // Index in ImageList1: 1 waiting, 2 not answering, 3 connected.
    int panel1Picture() const { return panel1Picture_; }
    QPixmap imageList1(int index) const;  // 1-based

    static QString captionForVersion(int major, int minor, int revision);

    // The station's service journal: the one handed by useJournal, else one opened here on first use.
    journal::Journal& journal();
    // The journal the program made before the display's owner, so that it outlives every operation that
    // the display's thread runs; the main window uses it and does not own it.
    void useJournal(journal::Journal& journal) { journal_ = &journal; }
    // Where the station's journal is kept: the user's data folder, and the shared server, operator and
    // lot of the settings (journal/base, journal/operateur, journal/lot); a training session's own.
    static journal::JournalSettings journalSettings(bool training);
    // Tells the operator what opening the journal found (a database set aside, a server unreachable).
    void showJournalNotice();
    journal::Journal* serviceJournal() override { return &journal(); }
    // The display connected now as the journal names it (serial number, else USB path); "" when none.
    QString connectedDisplay() const;

    // MainServices
    void setStatusPanel2(const QString& text) override;
    QString statusPanel2() const override;
    QString dialogFolder() const override;
    QString programFolder() const override;

signals:
    void childWindowsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fitOnScreen();
    void onMonitorTick(bool connected);
    void showLinkState();
    void refreshDisplays();
    void addFaultMenu(QMenu& simulation);
    void setPanel1(const QString& text, int picture);
    QMdiSubWindow* addChild(QWidget* child);
    void updateCaption();

    DisplayOwner& owner_;
    Dialogs& dialogs_;
    QMdiArea* mdi_ = nullptr;
    UsbWindow* usb_ = nullptr;
    QMdiSubWindow* usbSub_ = nullptr;
    QPointer<ConfigWindow> config_;
    QPointer<ScreenWindow> screen_;
    QPointer<RegistersWindow> registers_;
    QPointer<MaintenanceWindow> maintenance_;
    QPointer<EmulatedPanelView> panel_;
    EmulatedTransport* emulated_ = nullptr;
    MenuBar* menus_ = nullptr;
    QLabel* panel1Icon_ = nullptr;
    ElidedLabel* panel1Text_ = nullptr;
    ElidedLabel* panel2_ = nullptr;
    QComboBox* chooser_ = nullptr;
    int panel1Picture_ = 0;
    QList<QPixmap> imageList_;
    QString tag_;
    bool training_ = false;
    bool quitting_ = false;
    std::function<void()> exitHandler_;
    journal::Journal* journal_ = nullptr;
    std::unique_ptr<journal::Journal> ownJournal_;  // without a journal handed (tests)
};

}  // namespace trivo
