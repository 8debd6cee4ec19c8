#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QWindow>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QWidgetAction>

#include "common/dialogs.h"
#include "common/file_io.h"
#include "common/language.h"
#include "common/ui/elided_label.h"
#include "common/ui/number_box.h"
#include "common/ui/theme.h"
#include "common/ui/twips.h"
#include "configwindow/config_window.h"
#include "journal/journal.h"
#include "link/display_labels.h"
#include "link/display_owner.h"
#include "link/hotplug_watcher.h"
#include "maintenance/ui/maintenance_window.h"
#include "registers/ui/registers_window.h"
#include "screen/ui/screen_window.h"
#include "shell/emulated_panel_view.h"
#include "shell/menus.h"
#include "shell/production_menu.h"
#include "emulator/emulated_display.h"
#include "shell/usb_window.h"
#include "shell/window_arrangement.h"
#include "trivo_version.h"

namespace trivo {

namespace {
// What a screen reader says of the status bar and of the Pannes menu's number box.
const QString kPanel1Name = FR("État de la connexion");
const QString kPanel2Name = FR("Dernière opération");
const QString kFaultCountName = FR("Rapports avant le débranchement");

// A round diode on a dark rim, for the status bar.
QPixmap diode(const QColor& color)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(6, 6), 8);
    g.setColorAt(0, color.lighter(170));
    g.setColorAt(1, color.darker(130));
    p.setBrush(g);
    p.setPen(QPen(theme::kDiodeRim.get(), 1));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return pm;
}
}  // namespace

MainWindow::MainWindow(DisplayOwner& owner, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), owner_(owner), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("PR"));
    setProperty("Tag", QString());
    setWindowTitle(QStringLiteral(" TRIVO ZURED Zirevive ."));
    exitHandler_ = [] { QCoreApplication::exit(0); };

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MDIClient"));
    mdi_->setBackground(theme::kWorkspace.get());
    setCentralWidget(mdi_);
    keepChildrenInView(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::childWindowsChanged);

    // ImageList1: 1 waiting, 2 not answering, 3 connected.
    imageList_ = {diode(theme::kDiodeWaiting.get()), diode(theme::kDiodeNotAnswering.get()),
                  diode(theme::kDiodeConnected.get())};

    auto* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setToolTip(T(kStatusBarTip));
    auto* panel1 = new QWidget(bar);
    panel1->setObjectName(QStringLiteral("StatusBar1_Panel1"));
    auto* p1 = new QHBoxLayout(panel1);
    p1->setContentsMargins(2, 0, 2, 0);
    panel1Icon_ = new QLabel(panel1);
    panel1Icon_->setFixedSize(18, 18);
    // On a narrow screen the panels give way to the display chooser: their texts elide, whole in a tooltip.
    panel1Text_ = new ElidedLabel(T(kInitialPanel1Text), panel1);
    panel1Text_->setAccessibleName(T(kPanel1Name));
    p1->addWidget(panel1Icon_);
    p1->addWidget(panel1Text_, 1);
    panel2_ = new ElidedLabel(QString(), bar);
    panel2_->setObjectName(QStringLiteral("StatusBar1_Panel2"));
    panel2_->setAccessibleName(T(kPanel2Name));
    // Which display the windows work on, among those plugged in; it also names the one in use.
    chooser_ = new QComboBox(bar);
    chooser_->setObjectName(QStringLiteral("CHOIX_AFFICHEUR"));
    chooser_->setToolTip(T("Afficheur sur lequel travaillent les fenêtres."));
    chooser_->setAccessibleName(T("Afficheur"));
    chooser_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    chooser_->setMinimumContentsLength(24);
    // A choice is read whole: the chooser keeps its width and the panels beside it shrink.
    chooser_->setSizePolicy(QSizePolicy::Minimum, chooser_->sizePolicy().verticalPolicy());
    bar->addWidget(panel1, 1);
    bar->addWidget(chooser_);
    bar->addWidget(panel2_, 1);

    usb_ = new UsbWindow(owner_);
    usb_->setExitHandler([this] {
        if (exitHandler_)
            exitHandler_();
    });

    menus_ = new MenuBar(*this);
    menus_->build(menuBar());
    if (QMenu* option = menuBar()->findChild<QMenu*>(QStringLiteral("MENU_OPTION"))) {
        QAction* name = option->addAction(T("&Nommer l'afficheur..."));
        name->setObjectName(QStringLiteral("MENU_NOMMER_AFFICHEUR"));
        connect(name, &QAction::triggered, this, &MainWindow::nameDisplay);
    }

    connect(&owner_, &DisplayOwner::label3Changed, this, &MainWindow::showLinkState);
    connect(&owner_, &DisplayOwner::displaysChanged, this, &MainWindow::refreshDisplays);
    connect(&owner_, &DisplayOwner::monitorTick, this, &MainWindow::refreshDisplays);
    connect(chooser_, &QComboBox::activated, this,
            [this](int index) { chooseDisplay(chooser_->itemData(index).toString()); });
    // udev tells of a display at once; the checks of every second find it where udev cannot be reached.
    auto* hotplug = new HotplugWatcher(this);
    connect(hotplug, &HotplugWatcher::changed, this, [this] {
        if (!owner_.suspended())
            owner_.DETECT_CON_Timer();
    });
    refreshDisplays();
    connect(&owner_, &DisplayOwner::monitorTick, this, &MainWindow::onMonitorTick);
    fitOnScreen();
}

MainWindow::~MainWindow()
{
    // The children go with the frame; their last signals must not reach a half-destroyed window. A child
    // window closed just before (its deletion still pending) is no longer in the area's list: every
    // descendant is let go.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

QString MainWindow::captionForVersion(int major, int minor, int revision)
{
    return QStringLiteral(" TRIVO ZURED Zirevive %1.%2.%3").arg(major).arg(minor).arg(revision);
}

void MainWindow::updateCaption()
{
    QString caption = captionForVersion(TRIVO_VERSION_MAJOR, TRIVO_VERSION_MINOR, TRIVO_VERSION_PATCH);
    if (training_)
        caption = T("%1 - Simulation (afficheur émulé)").arg(caption);
    setWindowTitle(caption);
}

void MainWindow::setTrainingMode(bool on)
{
    training_ = on;
    updateCaption();
}

void MainWindow::enableSimulation(EmulatedTransport& transport)
{
    emulated_ = &transport;
    setTrainingMode(true);
    auto* menu = menuBar()->addMenu(T("&Simulation"));
    menu->setObjectName(QStringLiteral("MENU_SIMULATION"));
    auto* plug = menu->addAction(T("Afficheur &branché"));
    plug->setObjectName(QStringLiteral("MENU_SIM_BRANCHE"));
    plug->setCheckable(true);
    plug->setChecked(transport.plugged());
    connect(plug, &QAction::toggled, this, [this](bool on) { emulated_->plug(on); });
    auto* update = menu->addAction(T("Mode &mise à jour du micrologiciel"));
    update->setObjectName(QStringLiteral("MENU_SIM_MAJ"));
    update->setCheckable(true);
    update->setChecked(transport.display().updateMode);
    connect(update, &QAction::toggled, this, [this](bool on) {
        const auto lock = emulated_->lock();
        emulated_->display().updateMode = on;
    });
    // A bench of several displays: each has its own plug.
    QList<QAction*> plugs;
    for (int unit = 1; unit < transport.unitCount(); ++unit) {
        auto* unitPlug = menu->addAction(T("Afficheur %1 branché").arg(unit + 1));
        unitPlug->setObjectName(QStringLiteral("MENU_SIM_BRANCHE_%1").arg(unit + 1));
        unitPlug->setCheckable(true);
        unitPlug->setChecked(transport.unitPlugged(unit));
        connect(unitPlug, &QAction::toggled, this, [this, unit](bool on) { emulated_->plugUnit(unit, on); });
        plugs << unitPlug;
    }
    addFaultMenu(*menu);
    // A fault may unplug the display by itself: the switches show the emulated displays as they are now.
    connect(menu, &QMenu::aboutToShow, this, [this, plug, update, plugs] {
        for (int unit = 1; unit <= plugs.size(); ++unit) {
            const QSignalBlocker quiet(plugs[unit - 1]);
            plugs[unit - 1]->setChecked(emulated_->unitPlugged(unit));
        }
        const QSignalBlocker quietPlug(plug);
        const QSignalBlocker quietUpdate(update);
        const auto lock = emulated_->lock();
        plug->setChecked(emulated_->plugged());
        update->setChecked(emulated_->display().updateMode);
    });
    menu->addSeparator();
    // "&Pannes" has the P of this menu.
    auto* view = menu->addAction(T("Pa&nneau émulé..."));
    view->setObjectName(QStringLiteral("MENU_SIM_PANNEAU"));
    connect(view, &QAction::triggered, this, &MainWindow::showEmulatedPanel);
    menus_->production()->addSimulationItem(menu);
}

QString MainWindow::faultActionName(Fault fault)
{
    QString name = QString::fromLatin1(faultInfo(fault).name).toUpper();
    return QStringLiteral("MENU_SIM_PANNE_") + name.replace(QLatin1Char('-'), QLatin1Char('_'));
}

// "Pannes": every fault of the catalogue, checked while it is injected; the unplug counts the reports
// answered before it from the number in the box under it.
void MainWindow::addFaultMenu(QMenu& simulation)
{
    QMenu* faults = simulation.addMenu(T("&Pannes"));
    faults->setObjectName(QStringLiteral("MENU_SIM_PANNES"));
    QAction* none = faults->addAction(T("&Aucune panne"));
    none->setObjectName(QStringLiteral("MENU_SIM_PANNE_AUCUNE"));
    faults->addSeparator();

    // The number box takes the focus when its row is reached with the arrows, so that digits typed go in.
    auto* countBox = new QWidget(faults);
    auto* countRow = new QHBoxLayout(countBox);
    countRow->setContentsMargins(28, 2, 8, 2);
    auto* countLabel = new QLabel(T("N (rapports avant le débranchement) :"), countBox);
    auto* count = new QSpinBox(countBox);
    count->setObjectName(QStringLiteral("MENU_SIM_PANNE_N"));
    count->setRange(0, 100000);
    count->setValue(10);
    nameNumberBox(count, T(kFaultCountName));
    countLabel->setBuddy(count);
    countRow->addWidget(countLabel);
    countRow->addWidget(count);
    countBox->setFocusPolicy(Qt::StrongFocus);
    countBox->setFocusProxy(count);

    QList<QAction*> actions;
    for (const FaultInfo& info : faultCatalogue()) {
        QAction* action = faults->addAction(faultCaption(info.fault));
        action->setObjectName(faultActionName(info.fault));
        action->setCheckable(true);
        action->setData(static_cast<int>(info.fault));
        const Fault fault = info.fault;
        connect(action, &QAction::toggled, this, [this, fault, count](bool on) {
            if (!on)
                emulated_->removeFault(fault);
            else
                emulated_->injectFault(fault, fault == Fault::Unplugged ? count->value() : 0);
        });
        actions << action;
    }
    auto* countAction = new QWidgetAction(faults);
    countAction->setObjectName(QStringLiteral("MENU_SIM_PANNE_N_ACTION"));
    countAction->setDefaultWidget(countBox);
    faults->addAction(countAction);

    connect(none, &QAction::triggered, this, [this] { emulated_->clearFaults(); });
    connect(faults, &QMenu::aboutToShow, this, [this, actions] {
        for (QAction* action : actions) {
            const QSignalBlocker quiet(action);
            action->setChecked(emulated_->hasFault(static_cast<Fault>(action->data().toInt())));
        }
    });
}

EmulatedPanelView* MainWindow::showEmulatedPanel()
{
    if (!emulated_)
        return nullptr;
    const bool created = !panel_;
    if (created)
        panel_ = new EmulatedPanelView(*emulated_);
    QMdiSubWindow* sub = created ? addChild(panel_) : subWindowOf(panel_);
    sub->show();
    if (sub->isMinimized())
        sub->showNormal();
    mdi_->setActiveSubWindow(sub);
    return panel_;
}

void MainWindow::MDIForm_Load()
{
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    if (!usbSub_) {
        usbSub_ = mdi_->addSubWindow(
            usb_, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
        usbSub_->setObjectName(QStringLiteral("USB_frame"));
    }
    usbSub_->show();
    usbSub_->showMinimized();
    updateCaption();
    owner_.startMonitor();
}

QMdiSubWindow* MainWindow::addChild(QWidget* child)
{
    auto* sub = mdi_->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    connect(child, &QObject::destroyed, this, &MainWindow::childWindowsChanged);
    emit childWindowsChanged();
    return sub;
}

QMdiSubWindow* MainWindow::subWindowOf(QWidget* child) const
{
    for (auto* sub : mdi_->subWindowList())
        if (sub->widget() == child)
            return sub;
    return nullptr;
}

ConfigWindow* MainWindow::showConfigWindow()
{
    const bool created = !config_;
    if (created)
        config_ = new ConfigWindow(owner_, dialogs_, *this);
    QMdiSubWindow* sub = created ? addChild(config_) : subWindowOf(config_);
    sub->show();
    sub->move(twipsToPixels(50, this), twipsToPixels(50, this));
    mdi_->setActiveSubWindow(sub);
    if (created)
        config_->Form_Load();
    return config_;
}

void MainWindow::withConfigWindow(std::function<void(ConfigWindow&)> then)
{
    ConfigWindow* cp = config_ ? config_.data() : showConfigWindow();
    if (!cp->operationRunning()) {
        then(*cp);
        return;
    }
    QPointer<ConfigWindow> window(cp);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(&owner_, &DisplayOwner::operationFinished, this, [window, connection, then] {
        if (window && window->operationRunning())
            return;
        disconnect(*connection);
        if (window)
            then(*window);
    });
}

template <typename W>
static W* showChild(MainWindow& main, QPointer<W>& slot, QMdiArea* mdi, DisplayOwner& owner, Dialogs& dialogs,
                    const std::function<QMdiSubWindow*(QWidget*)>& add)
{
    const bool created = !slot;
    if (created)
        slot = new W(owner, dialogs, main);
    QMdiSubWindow* sub = created ? add(slot) : main.subWindowOf(slot);
    sub->show();
    if (sub->isMinimized())
        sub->showNormal();
    mdi->setActiveSubWindow(sub);
    if (created)
        slot->Form_Load();
    return slot;
}

ScreenWindow* MainWindow::showScreenWindow()
{
    return showChild(*this, screen_, mdi_, owner_, dialogs_, [this](QWidget* w) { return addChild(w); });
}

RegistersWindow* MainWindow::showRegistersWindow()
{
    return showChild(*this, registers_, mdi_, owner_, dialogs_, [this](QWidget* w) { return addChild(w); });
}

MaintenanceWindow* MainWindow::showMaintenanceWindow()
{
    return showChild(*this, maintenance_, mdi_, owner_, dialogs_, [this](QWidget* w) { return addChild(w); });
}

ConfigWindow* MainWindow::configWindow() const { return config_; }
ScreenWindow* MainWindow::screenWindow() const { return screen_; }
RegistersWindow* MainWindow::registersWindow() const { return registers_; }
MaintenanceWindow* MainWindow::maintenanceWindow() const { return maintenance_; }

// Panel 1 says what the link window's status line says: connected, waiting, or not answering.
void MainWindow::showLinkState()
{
    switch (owner_.state()) {
    case LinkState::Unknown: break;
    case LinkState::Waiting: setPanel1(owner_.label3Text(), 1); break;
    case LinkState::NotAnswering: setPanel1(kNotAnsweringText, 2); break;
    case LinkState::Connected: setPanel1(kConnectedText, 3); break;
    }
}

void MainWindow::onMonitorTick(bool connected)
{
    if (connected) {
        if (usbSub_)
            usbSub_->hide();
        if (tag_.isEmpty()) {
            showConfigWindow();
            tag_ = QStringLiteral("ON");
            setProperty("Tag", tag_);
        }
    } else {
        // The configuration window stays open with the operator's edits; its device buttons are refused
        // by the link while the display is away.
        if (usbSub_ && !usbSub_->isVisible()) {
            usbSub_->show();
            usbSub_->showMinimized();
        }
    }
}

void MainWindow::refreshDisplays()
{
    const QSignalBlocker quiet(chooser_);
    chooser_->clear();
    const std::vector<HidInterfaceInfo>& displays = owner_.displays();
    const std::string current = !owner_.target().empty() ? owner_.target()
        : owner_.deviceFound()                          ? owner_.device().path
                                                        : std::string();
    int selected = -1;
    for (std::size_t i = 0; i < displays.size(); ++i) {
        chooser_->addItem(displayCaption(displays[i], int(i) + 1), QString::fromStdString(displays[i].path));
        if (displays[i].path == current)
            selected = int(i);
    }
    // The display chosen stays the chosen one when it goes: the windows do not move to another by themselves.
    if (selected < 0 && !owner_.target().empty()) {
        chooser_->addItem(T("%1 (débranché)").arg(QString::fromStdString(owner_.target())),
                          QString::fromStdString(owner_.target()));
        selected = chooser_->count() - 1;
    }
    if (chooser_->count() == 0)
        chooser_->addItem(T("Aucun afficheur branché."), QString());
    chooser_->setCurrentIndex(std::max(selected, 0));
}

void MainWindow::chooseDisplay(const QString& path)
{
    if (path.isEmpty())
        return;
    owner_.setTarget(path.toStdString());
    refreshDisplays();
}

void MainWindow::nameDisplay()
{
    const QString path = chooser_->currentData().toString();
    HidInterfaceInfo display;
    for (const HidInterfaceInfo& d : owner_.displays())
        if (QString::fromStdString(d.path) == path)
            display = d;
    if (display.path.empty()) {
        dialogs_.inform(T("Aucun afficheur branché à nommer."), MsgIcon::Exclamation);
        return;
    }
    const QString label = dialogs_.text(
        {T("Nommer l'afficheur."), T("Nom de l'afficheur %1 :").arg(displayKey(display)), displayLabel(display)});
    if (label.isNull())
        return;
    setDisplayLabel(display, label);
    refreshDisplays();
}

void MainWindow::setPanel1(const QString& text, int picture)
{
    panel1Text_->setFullText(T(text));
    panel1Picture_ = picture;
    panel1Icon_->setPixmap(imageList1(picture));
}

QString MainWindow::panel1Text() const { return panel1Text_->fullText(); }

QPixmap MainWindow::imageList1(int index) const
{
    return (index >= 1 && index <= imageList_.size()) ? imageList_.at(index - 1) : QPixmap();
}

void MainWindow::setStatusPanel2(const QString& text)
{
    // A status kept in French (as the journal records it) is shown in the program's language.
    panel2_->setFullText(T(text));
    if (isVisible())
        panel2_->repaint();
}

QString MainWindow::statusPanel2() const { return panel2_->fullText(); }

journal::JournalSettings MainWindow::journalSettings(bool training)
{
    const QSettings settings;
    journal::JournalSettings js;
    js.identity = journal::currentIdentity(settings.value(QStringLiteral("journal/operateur")).toString(),
                                           settings.value(QStringLiteral("journal/lot")).toString());
    js.serverUri = journal::settingsServerUri();
    js.trainingSession = training;
    return js;
}

journal::Journal& MainWindow::journal()
{
    if (!journal_) {
        ownJournal_ = std::make_unique<journal::Journal>(journalSettings(training_));
        journal_ = ownJournal_.get();
        showJournalNotice();
    }
    return *journal_;
}

void MainWindow::showJournalNotice()
{
    if (!journal().notice().isEmpty())
        dialogs_.inform(journal().notice(), MsgIcon::Exclamation);
}

QString MainWindow::connectedDisplay() const
{
    if (owner_.state() != LinkState::Connected)
        return {};
    const HidInterfaceInfo d = owner_.device();
    return QString::fromStdString(d.serial.empty() ? d.path : d.serial);
}

QString MainWindow::programFolder() const { return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()); }

// The operator's files belong among the user's documents, never in the program's folder (read-only when
// installed, wiped with a rebuild otherwise).
QString MainWindow::dialogFolder() const { return QDir::toNativeSeparators(documentsFolder()); }

void MainWindow::quit()
{
    if (quitting_)
        return;
    quitting_ = true;
    usb_->Command1_Click();
}

// The size the window opens at where the screen has room for it; on a smaller screen the available area,
// its frame included (a title bar's worth is kept until the window system tells the frame), and within it.
void MainWindow::fitOnScreen()
{
    static constexpr QSize kPreferred(1100, 780);
    const QScreen* shownOn = screen();
    if (!shownOn)
        return;
    const QRect room = shownOn->availableGeometry();
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull())
        frame = QMargins(4, 30, 4, 4);
    const QSize most(room.width() - frame.left() - frame.right(), room.height() - frame.top() - frame.bottom());
    resize((isVisible() ? size() : kPreferred).boundedTo(most));
    if (isVisible()) {
        const QRect outer = keptInside(frameGeometry(), room);
        move(outer.topLeft());
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The frame is known now: the window is brought wholly onto the screen.
    if (!event->spontaneous())
        fitOnScreen();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    quit();
    event->accept();
}

}  // namespace trivo
