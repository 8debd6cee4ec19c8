#include "configwindow/config_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QSlider>

#include "common/language.h"
#include "common/main_services.h"
#include "common/ui/keyboard.h"
#include "common/ui/theme.h"
#include "link/ui/window_operations.h"
#include "config/settings_codec.h"
#include "configwindow/config_window_parts.h"
#include "link/display_owner.h"

// The window's construction is in config_window_build.cpp, its accessible names in config_window_access.cpp,
// the form's binding to the settings in config_window_binding.cpp, the mode layouts in config_window_modes.cpp
// and what it asks of the display in config_window_operations.cpp; here, the window and its handlers.
namespace trivo {

using namespace cp_parts;

namespace {

constexpr int kTimer1IntervalMs = 200;

}  // namespace

ConfigWindow::ConfigWindow(DisplayOwner& owner, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent),
      owner_(owner),
      operations_(std::make_unique<WindowOperations>(*this, owner)),
      dialogs_(dialogs),
      main_(main),
      ui_(new Ui)
{
    setObjectName(QStringLiteral("CP"));
    setWindowTitle(T("Configuration TRIVO CP."));
    buildUi();
    progress_ = std::make_unique<ProgressBar>(ui_->ProgressBar1);
    connect(&owner_, &DisplayOwner::busyChanged, this, &ConfigWindow::showBusy);
    connectControls();
    // The design's values; selecting the production mode lays the window out on the way.
    applyFormState(FormState{});
    Check1_Click(0);
    for (int n = 1; n <= 9; ++n)
        sliderChanged(n, ui_->Slider[static_cast<std::size_t>(n)]->value());
    BOUTON_STA_Click(0);
    Timer1_Timer();
    ui_->Timer1.setObjectName(QStringLiteral("Timer1"));
    ui_->Timer1.setInterval(kTimer1IntervalMs);
    connect(&ui_->Timer1, &QTimer::timeout, this, &ConfigWindow::Timer1_Timer);
    ui_->Timer1.start();
    closeOnEscape(this);
}

ConfigWindow::~ConfigWindow() { delete ui_; }

// ------------------------------------------------------------------------------------------------
// Handlers

void ConfigWindow::BOUTON_MouseDown(int index)
{
    if (index < 0 || index > 6)
        return;
    ui_->down[static_cast<std::size_t>(index)] = true;
    paintButton(index);
}

void ConfigWindow::BOUTON_MouseUp(int index)
{
    if (index < 0 || index > 6)
        return;
    ui_->down[static_cast<std::size_t>(index)] = false;
    paintButton(index);
}

void ConfigWindow::BOUTON_STA_Click(int index)
{
    Ui& u = *ui_;
    u.page = index == 1 ? 1 : 0;
    // The page that goes is hidden first: for a moment both would need room, and the window would keep it.
    (u.page == 0 ? u.SORTIE : u.GENERAL)->setVisible(false);
    (u.page == 0 ? u.GENERAL : u.SORTIE)->setVisible(true);
    for (int i = 0; i < 2; ++i) {
        LabelButton* l = u.BOUTON_STA[static_cast<std::size_t>(i)];
        const bool active = i == u.page;
        QFont f = l->font();
        f.setPointSize(active ? 16 : 12);
        f.setBold(active);
        l->setFont(f);
        l->setFrameStyle(active ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
        l->setLineWidth(1);
    }
}

void ConfigWindow::Check1_Click(int /*index*/)
{
    Ui& u = *ui_;
    for (int o = 0; o < 3; ++o) {
        const bool inUse = u.Check1[static_cast<std::size_t>(1 + o)]->checkState() == Qt::Checked;
        for (int f = 0; f <= 3; ++f)
            u.cadre[static_cast<std::size_t>(o)][static_cast<std::size_t>(f)]->setVisible(inUse);
    }
    // "Fond" previews the LCD background: white with blue text, or blue with white text.
    const bool white = u.Check1[0]->checkState() == Qt::Checked;
    theme::paint(u.Check1[0], white ? theme::kLcdWhite : theme::kLcdBlue);
}

void ConfigWindow::thresholdClick(int output, int index)
{
    if (index != 3)
        return;
    QGroupBox* frame = ui_->cadre[static_cast<std::size_t>(output)][3];
    const bool wasGreater = frame->property("Tag").toString() == QLatin1String("S");
    ThresholdFrame t;
    t.setGreaterOrEqual(!wasGreater);
    setThreshold(output, t);
}

// The comparison is the frame's title; a screen reader hears it as the frame's description.
void ConfigWindow::setThreshold(int output, const ThresholdFrame& threshold)
{
    QGroupBox* frame = ui_->cadre[static_cast<std::size_t>(output)][3];
    frame->setProperty("Tag", threshold.Tag);
    frame->setProperty("caption", threshold.caption);
    frame->setTitle(T(threshold.caption));
    frame->setAccessibleDescription(T(threshold.caption));
}

void ConfigWindow::cadre_R1_Click(int index) { thresholdClick(0, index); }
void ConfigWindow::cadre_R2_Click(int index) { thresholdClick(1, index); }
void ConfigWindow::cadre_Buz_Click(int index) { thresholdClick(2, index); }

void ConfigWindow::sliderChanged(int n, int value)
{
    Ui& u = *ui_;
    const QString text = sliderCaption(n, value, QLocale(), Wording::Shown);
    switch (n) {
    case 1: u.OptionE1[1]->setText(text); break;
    case 2: u.OptionE2[1]->setText(text); break;
    case 3:
    case 4:
    case 5: u.ruleOption[static_cast<std::size_t>(n - 3)][5]->setText(text); break;
    case 6: u.anti[1]->setText(text); break;
    case 7: u.Label1->setText(text); break;
    case 8: u.Label2->setText(text); break;
    default: u.Label3->setText(text); break;
    }
}

void ConfigWindow::Timer1_Timer()
{
    const bool showsSomething = checkValue(ui_->Check1[7]) != kUnchecked || checkValue(ui_->Check1[8]) != kUnchecked;
    ui_->MODE_SIMPLE->setVisible(!showsSomething);
}

QTimer& ConfigWindow::Timer1() { return ui_->Timer1; }

int ConfigWindow::currentPage() const { return ui_->page; }

}  // namespace trivo
