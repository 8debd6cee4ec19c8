#include "configwindow/config_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "common/dialogs.h"
#include "common/language.h"
#include "common/main_services.h"
#include "common/outcome.h"
#include "common/progress.h"
#include "common/tool_settings.h"
#include "config/config_procedures.h"
#include "config/program_verification.h"
#include "config/settings_codec.h"
#include "config/config_file.h"
#include "journal/recording.h"
#include "common/ui/form_scroll_area.h"
#include "common/ui/keyboard.h"
#include "common/ui/pressable.h"
#include "common/ui/theme.h"
#include "link/ui/window_operations.h"
#include "link/display_owner.h"

namespace trivo {

namespace {

constexpr int kTimer1IntervalMs = 200;

// The window's texts are kept in French and shown with T().
const QString kOverrunTip = FR("Décocher=autorise le dépassement.   Cocher=interdit le dépassement.");
const QString kThresholdTip = FR("Un clic pour changer le type de comparaison. ( Sup= ou Inf=)");

// Per output (relay 1, relay 2, buzzer): its frames' and its rule options' control array names.
const char* const kCadreNames[3] = {"cadre_R1", "cadre_R2", "cadre_Buz"};
const char* const kOptionNames[3] = {"Option2", "Option3", "Option4"};

struct ButtonSpec {
    QString caption;
    QString tip;
    const char* tag;
    QString status;  // null: the status bar keeps its text
};
const ButtonSpec kButtons[7] = {
    {FR("Raz C"), FR("Bouton RAZ COMPTEUR."), "34", FR(" RAZ compteur.")},
    {FR("Raz T"), FR("Bouton RAZ TOTALISATEUR."), "35", FR(" RAZ totalisateur.")},
    {QStringLiteral("+1"), FR("Simuler une impulsion."), "36", FR(" Simule une impulsion.")},
    {QStringLiteral("-1"), FR("Simuler une impulsion."), "37", QString()},
    {FR("Reset"), FR("Redémarrer le TRIVO."), "38", FR(" Redémarre le TRIVO ZURED.")},
    {FR("Lire"), FR("LIRE le TRIVO."), nullptr, FR(" Lit les paramètres du TRIVO ZURED.")},
    {FR("Programmer"), FR("Programmer le TRIVO"), nullptr, FR(" Programme les paramètres du TRIVO ZURED.")},
};

// What a screen reader calls the controls whose caption would not tell them apart within the window: a
// caption repeated in several frames ("Valeur de départ:", "Non", "COMPTEUR"), or none at all.
struct AccessibleName {
    const char* object;
    QString name;
};
const AccessibleName kAccessibleNames[] = {
    {"REG_V(0)", FR("Zirevive : valeur de départ")},
    {"Check1(6)", FR("Zirevive : dépassement de la valeur de départ interdit")},
    {"REG_V(2)", FR("Zirevive : valeur de fin")},
    {"Check1(5)", FR("Zirevive : dépassement de la valeur de fin interdit")},
    {"REG_V(4)", FR("Zirevive : valeur production")},
    {"REG_V(9)", FR("Zirevive : pas de comptage")},
    {"REG_V(10)", FR("Zirevive à")},
    {"Check_C", FR("Zirevive : initialiser la valeur courante")},
    {"REG_V(1)", FR("Totalisateur : valeur de départ")},
    {"REG_V(3)", FR("Totalisateur : valeur de fin")},
    {"REG_V(5)", FR("Totalisateur : valeur production")},
    {"REG_V(11)", FR("Totalisateur à")},
    {"Check_T", FR("Totalisateur : initialiser la valeur courante")},
    {"Check1(7)", FR("Afficher la production")},
    {"Slider7", FR("Durée d'affichage de la production")},
    {"Check1(8)", FR("Afficher le solde")},
    {"Slider8", FR("Durée d'affichage du solde")},
    {"Check1(9)", FR("Afficher le total")},
    {"Slider9", FR("Durée d'affichage du total")},
    {"Option_raz(0)", FR("Remise à zéro : immédiat")},
    {"Option_raz(1)", FR("Remise à zéro : maintenu 3 secondes")},
    {"OptionE1(0)", FR("Paramètres au démarrage : non")},
    {"OptionE1(1)", FR("Paramètres au démarrage : oui")},
    {"Slider1", FR("Paramètres au démarrage : durée")},
    {"OptionE2(0)", FR("Écran d'accueil au démarrage : non")},
    {"OptionE2(1)", FR("Écran d'accueil au démarrage : oui")},
    {"Slider2", FR("Écran d'accueil au démarrage : durée")},
    {"Option_anti_non", FR("Anti-rebond : non")},
    {"Option_anti_oui", FR("Anti-rebond : oui")},
    {"Slider6", FR("Anti-rebond : durée")},
};
// Option_pdec(n): the digit the decimal point follows.
const QString kDecimalPointName = FR("Point décimal : chiffre %1");
// Per output: its name, then what its controls are called after it ("Relais 1 : COMPTEUR").
const QString kOutputNames[3] = {FR("Relais 1"), FR("Relais 2"), FR("Buzzer")};
const QString kOutputInUseName = FR("%1 : en service");
const QString kOutputOptionName = FR("%1 : %2");
const QString kOutputPulseOptionName = FR("%1 : durée réglée");
const QString kOutputPulseSliderName = FR("%1 : durée d'action");
const QString kOutputThresholdName = FR("%1 : seuil");
const QString kOutputComparisonName = FR("%1 : type de comparaison");

QString indexed(const char* name, int index) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index); }

// Check box values 0 / 1 / 2 (2 greyed) against Qt's states, where 1 is the greyed one.
int checkValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return kChecked;
    case Qt::PartiallyChecked: return kGreyed;
    case Qt::Unchecked: break;
    }
    return kUnchecked;
}

void setCheckValue(QCheckBox* box, int value)
{
    if (value == kGreyed) {
        box->setCheckState(Qt::PartiallyChecked);
        return;
    }
    box->setCheckState(value == kChecked ? Qt::Checked : Qt::Unchecked);
    box->setTristate(false);
}

// Selects one button of an exclusive group, or none (Qt refuses to uncheck in exclusive mode).
void selectInGroup(QButtonGroup* group, QAbstractButton* button)
{
    if (button) {
        button->setChecked(true);
        return;
    }
    if (QAbstractButton* checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
}

// The buttons of a group from their values; when several are set, the last one ends selected.
template <typename Buttons, typename Values>
void applyGroup(QButtonGroup* group, const Buttons& buttons, const Values& values)
{
    QAbstractButton* last = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (values[i])
            last = buttons[i];
    selectInGroup(group, last);
}

QRadioButton* radio(const QString& name, const QString& caption, QWidget* parent)
{
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    return r;
}

QGroupBox* group(const QString& name, const QString& caption, QWidget* parent)
{
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    return g;
}

// A caption for the control beside it: a screen reader names the control after it.
QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QButtonGroup* exclusiveGroup(QObject* owner)
{
    auto* g = new QButtonGroup(owner);
    g->setExclusive(true);
    return g;
}

// Frames one above the other, pushed to the top.
template <std::size_t N>
QVBoxLayout* column(QGroupBox* const (&frames)[N])
{
    auto* l = new QVBoxLayout;
    for (QGroupBox* frame : frames)
        l->addWidget(frame);
    l->addStretch(1);
    return l;
}

// A caption over the digit buttons, not a field: the mouse selects nothing in it.
class CaptionEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->ignore(); }
};

// REG_CT(1): the digit positions "3210", each digit centred in a cell as wide as the button under it.
QLineEdit* digitPositions(int cell, QWidget* parent)
{
    auto* e = new CaptionEdit(QStringLiteral("3210"), parent);
    e->setObjectName(QStringLiteral("REG_CT(1)"));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFrame(false);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(14);
    mono.setBold(true);
    const int advance = QFontMetrics(mono).horizontalAdvance(u'0');
    mono.setLetterSpacing(QFont::AbsoluteSpacing, cell - advance);
    e->setFont(mono);
    e->setTextMargins((cell - advance) / 2 - 2, 0, 0, 0);
    e->setFixedWidth(5 * cell);
    return e;
}

// BOUTON(i): a label that acts as a button.
LabelButton* commandButton(int i, const QFont& font, QWidget* parent)
{
    const ButtonSpec& spec = kButtons[i];
    auto* b = new LabelButton(T(spec.caption), parent);
    b->setObjectName(indexed("BOUTON", i));
    b->setToolTip(T(spec.tip));
    if (spec.tag)
        b->setProperty("Tag", QString::fromLatin1(spec.tag));
    b->setAlignment(Qt::AlignCenter);
    b->setFont(font);
    b->setMinimumSize(96, 30);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

}  // namespace

struct ConfigWindow::Ui {
    FormScrollArea* pages = nullptr;
    std::array<QLineEdit*, 12> REG_V{};
    std::array<QCheckBox*, 10> Check1{};
    QCheckBox* Check_C = nullptr;
    QCheckBox* Check_T = nullptr;

    std::array<QRadioButton*, 2> Option_CPT{};
    std::array<QRadioButton*, 4> Option_pdec{};
    std::array<QRadioButton*, 2> Option_raz{};
    std::array<QRadioButton*, 2> OptionE1{};
    std::array<QRadioButton*, 2> OptionE2{};
    std::array<QRadioButton*, 2> anti{};  // Option_anti_non, Option_anti_oui
    std::array<std::array<QRadioButton*, 7>, 3> ruleOption{};

    QButtonGroup* cptGroup = nullptr;
    QButtonGroup* pdecGroup = nullptr;
    QButtonGroup* razGroup = nullptr;
    QButtonGroup* e1Group = nullptr;
    QButtonGroup* e2Group = nullptr;
    QButtonGroup* antiGroup = nullptr;
    std::array<std::array<QButtonGroup*, 3>, 3> ruleGroups{};  // per output: assign, action, duration

    // cadre_R1(0..6), cadre_R2(0..3), cadre_Buz(0..3).
    std::array<std::array<QGroupBox*, 7>, 3> cadre{};
    std::array<QSlider*, 10> Slider{};  // Slider1..Slider9 at 1..9
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* MODE_SIMPLE = nullptr;
    QLineEdit* REG_CT1 = nullptr;

    QGroupBox* Frame_trivo = nullptr;
    QGroupBox* Frame26 = nullptr;
    QGroupBox* Frame_afficher = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QGroupBox* Frame7 = nullptr;

    std::array<LabelButton*, 7> BOUTON{};
    std::array<LabelButton*, 2> BOUTON_STA{};
    std::array<bool, 7> down{};  // BOUTON(i) held (green)
    bool productionColours = true;
    QFrame* Frame5 = nullptr;
    QFrame* GENERAL = nullptr;
    QFrame* SORTIE = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTimer Timer1;
    int page = 0;

    // A control of an indexed array, made and kept in its slot.
    QLineEdit* newReg(int i, QWidget* parent);
    QCheckBox* newCheck(int i, const QString& text, const QString& tip, QWidget* parent);
    QSlider* newSlider(int n, QWidget* parent);
};

// ProgressBar1 stays in view; the procedures only move it.
class ConfigWindow::ProgressBar : public Progress {
public:
    explicit ProgressBar(QProgressBar* bar) : bar_(bar) {}
    void begin(int maximum, const QString&) override
    {
        bar_->setMaximum(maximum);
        advance(0, QString());
    }
    void advance(int value, const QString&) override { bar_->setValue(value); }
    void end() override {}

private:
    QProgressBar* bar_;
};

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
// Layout: a frame a function, called in the order the controls are created (which is the tab order).

QLineEdit* ConfigWindow::Ui::newReg(int i, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(indexed("REG_V", i));
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(130);
    REG_V[static_cast<std::size_t>(i)] = e;
    return e;
}

QCheckBox* ConfigWindow::Ui::newCheck(int i, const QString& text, const QString& tip, QWidget* parent)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(indexed("Check1", i));
    c->setToolTip(tip);
    Check1[static_cast<std::size_t>(i)] = c;
    return c;
}

QSlider* ConfigWindow::Ui::newSlider(int n, QWidget* parent)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QStringLiteral("Slider%1").arg(n));
    s->setRange(FormState::sliderMin(n), FormState::sliderMax(n));
    s->setPageStep(n == 6 ? 50 : 1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(n == 6 ? 25 : 1);
    s->setMinimumWidth(110);
    Slider[static_cast<std::size_t>(n)] = s;
    return s;
}

void ConfigWindow::buildUi()
{
    Ui& u = *ui_;
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(6);
    root->addLayout(buildPageButtons());
    // Where the main window is shorter than the pages, they scroll rather than squeeze their frames over
    // one another; the page buttons and the commands stay in view.
    u.pages = new FormScrollArea(this);
    auto* pages = new QWidget(u.pages);
    pages->setObjectName(QStringLiteral("pages"));
    auto* pageLayout = new QVBoxLayout(pages);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(buildGeneralPage(), 1);
    pageLayout->addWidget(buildOutputsPage(), 1);
    u.pages->setWidget(pages);
    root->addWidget(u.pages, 1);
    root->addWidget(buildCommandStrip());
    root->addWidget(buildProgressBar());
    nameControls();
}

void ConfigWindow::nameControls()
{
    Ui& u = *ui_;
    for (const AccessibleName& entry : kAccessibleNames)
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(entry.object)))
            w->setAccessibleName(T(entry.name));
    for (std::size_t n = 0; n < 4; ++n)
        u.Option_pdec[n]->setAccessibleName(T(kDecimalPointName).arg(n));
    for (std::size_t o = 0; o < 3; ++o) {
        const QString output = T(kOutputNames[o]);
        u.Check1[1 + o]->setAccessibleName(T(kOutputInUseName).arg(output));
        for (std::size_t i = 0; i < 7; ++i) {
            QRadioButton* option = u.ruleOption[o][i];
            // The pulse option's caption is its duration, which the slider under it tells.
            option->setAccessibleName(i == 5 ? T(kOutputPulseOptionName).arg(output)
                                             : T(kOutputOptionName).arg(output, option->text()));
        }
        u.Slider[3 + o]->setAccessibleName(T(kOutputPulseSliderName).arg(output));
        u.REG_V[6 + o]->setAccessibleName(T(kOutputThresholdName).arg(output));
        u.cadre[o][3]->setAccessibleName(T(kOutputComparisonName).arg(output));
        u.cadre[o][3]->setAccessibleDescription(u.cadre[o][3]->title());
    }
}

QHBoxLayout* ConfigWindow::buildPageButtons()
{
    auto* pages = new QHBoxLayout;
    const QString pageCaptions[2] = {T("Général"), T("Sorties")};
    for (int i = 0; i < 2; ++i) {
        auto* l = new LabelButton(pageCaptions[i], this);
        l->setObjectName(indexed("BOUTON_STA", i));
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumHeight(34);
        l->setCursor(Qt::PointingHandCursor);
        theme::paint(l, theme::kButtonStrip);
        // The page changes as the button goes down, as it always has under the mouse.
        connect(l, &LabelButton::pressed, this, [this, i] { BOUTON_STA_Click(i); });
        ui_->BOUTON_STA[static_cast<std::size_t>(i)] = l;
        pages->addWidget(l, 1);
    }
    return pages;
}

// --- page GENERAL -------------------------------------------------------------------------------

QFrame* ConfigWindow::buildGeneralPage()
{
    Ui& u = *ui_;
    u.GENERAL = new QFrame(this);
    u.GENERAL->setObjectName(QStringLiteral("GENERAL"));
    auto* general = new QGridLayout(u.GENERAL);
    general->setContentsMargins(0, 0, 0, 0);
    // Left column: mode, counter, totaliser, display choices; right column: the general settings.
    QGroupBox* const left[] = {buildModeFrame(u.GENERAL), buildCounterFrame(u.GENERAL), buildTotaliserFrame(u.GENERAL),
                               buildDisplayFrame(u.GENERAL)};
    QGroupBox* const right[] = {buildDecimalPointFrame(u.GENERAL), buildStartupFrame(u.GENERAL),
                                buildScreenInputFrame(u.GENERAL)};
    general->addLayout(column(left), 0, 0);
    general->addLayout(column(right), 0, 1);
    general->setColumnStretch(0, 1);
    general->setColumnStretch(1, 1);
    return u.GENERAL;
}

QGroupBox* ConfigWindow::buildModeFrame(QWidget* page)
{
    Ui& u = *ui_;
    u.Frame_trivo = group(QStringLiteral("Frame_trivo"), QStringLiteral("TRIVO ZURED "), page);
    auto* l = new QHBoxLayout(u.Frame_trivo);
    u.cptGroup = exclusiveGroup(this);
    const QString captions[2] = {T("PRODUCTION"), T("TOTALISATEUR")};
    for (int i = 0; i < 2; ++i) {
        auto* r = radio(indexed("Option_CPT", i), captions[i], u.Frame_trivo);
        QFont f = r->font();
        f.setBold(true);
        r->setFont(f);
        u.Option_CPT[static_cast<std::size_t>(i)] = r;
        u.cptGroup->addButton(r, i);
        l->addWidget(r);
    }
    return u.Frame_trivo;
}

QGroupBox* ConfigWindow::buildCounterFrame(QWidget* page)
{
    Ui& u = *ui_;
    auto* counter = group(QStringLiteral("Frame_compteur"), T("Zirevive:"), page);
    auto* g = new QGridLayout(counter);
    const std::pair<int, QString> rows[] = {{0, T("Valeur de départ:")}, {2, T("Valeur de fin:")},
                                            {4, T("Valeur production:")}, {9, T("Pas de comptage:")},
                                            {10, T("Zirevive à :")}};
    int row = 0;
    for (const auto& [reg, text] : rows) {
        QLineEdit* box = u.newReg(reg, counter);
        g->addWidget(caption(text, box, counter), row, 0);
        g->addWidget(box, row, 1);
        if (reg == 0)
            g->addWidget(u.newCheck(6, QString(), T(kOverrunTip), counter), row, 2);
        else if (reg == 2)
            g->addWidget(u.newCheck(5, T("Dépassement"), T(kOverrunTip), counter), row, 2);
        ++row;
    }
    u.Check_C = new QCheckBox(counter);
    u.Check_C->setObjectName(QStringLiteral("Check_C"));
    u.Check_C->setToolTip(T("Cocher= Initialise la valeur courante du compteur. Décocher= Ne modifie "
                            "pas la valeur courante du compteur."));
    g->addWidget(u.Check_C, 4, 2);
    g->setColumnStretch(3, 1);
    return counter;
}

QGroupBox* ConfigWindow::buildTotaliserFrame(QWidget* page)
{
    Ui& u = *ui_;
    u.Frame26 = group(QStringLiteral("Frame26"), T("Totalisateur:"), page);
    auto* g = new QGridLayout(u.Frame26);
    const std::pair<int, QString> rows[] = {
        {1, T("Valeur de départ:")}, {3, T("Valeur de fin:")}, {5, T("Valeur production:")}, {11, T("Totalisateur à :")}};
    int row = 0;
    for (const auto& [reg, text] : rows) {
        QLineEdit* box = u.newReg(reg, u.Frame26);
        g->addWidget(caption(text, box, u.Frame26), row, 0);
        g->addWidget(box, row++, 1);
    }
    u.Check_T = new QCheckBox(u.Frame26);
    u.Check_T->setObjectName(QStringLiteral("Check_T"));
    u.Check_T->setToolTip(T("Cocher= Initialise la valeur courante du totalisateur. Décocher= Ne "
                            "modifie pas la valeur courante du totalisateur."));
    g->addWidget(u.Check_T, 3, 2);
    g->setColumnStretch(3, 1);
    return u.Frame26;
}

// Display choices of the production mode.
QGroupBox* ConfigWindow::buildDisplayFrame(QWidget* page)
{
    Ui& u = *ui_;
    u.Frame_afficher = group(QStringLiteral("Frame_afficher"), T("Afficher :"), page);
    auto* v = new QVBoxLayout(u.Frame_afficher);
    u.MODE_SIMPLE = new QLabel(T("Mode simple 5d"), u.Frame_afficher);
    u.MODE_SIMPLE->setObjectName(QStringLiteral("MODE_SIMPLE"));
    QFont f = u.MODE_SIMPLE->font();
    f.setBold(true);
    u.MODE_SIMPLE->setFont(f);
    theme::paint(u.MODE_SIMPLE, theme::kNotice);
    // Keeps its place when hidden, so the groups below do not jump every 200 ms.
    QSizePolicy keep = u.MODE_SIMPLE->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    u.MODE_SIMPLE->setSizePolicy(keep);
    v->addWidget(u.MODE_SIMPLE);
    for (int n = 7; n <= 9; ++n)
        v->addWidget(buildDisplayTimeFrame(n, u.Frame_afficher));
    v->addStretch(1);
    return u.Frame_afficher;
}

// Frame3, Frame4, Frame7: whether the production, balance or total is shown (Check1(n)) and for how long
// (Slider n, read on Label1..3), n = 7, 8, 9.
QGroupBox* ConfigWindow::buildDisplayTimeFrame(int n, QWidget* parent)
{
    Ui& u = *ui_;
    const std::size_t k = static_cast<std::size_t>(n - 7);
    const char* names[3] = {"Frame3", "Frame4", "Frame7"};
    const QString tips[3] = {T("Décocher= Pas d'affichage production.   Cocher= Affichage production."),
                             T("Décocher= Pas d'affichage solde.   Cocher= Affichage solde."),
                             T("Décocher= Pas d'affichage total.   Cocher= Affichage total.")};
    QGroupBox** frames[3] = {&u.Frame3, &u.Frame4, &u.Frame7};
    QLabel** labels[3] = {&u.Label1, &u.Label2, &u.Label3};

    QGroupBox* frame = group(QString::fromLatin1(names[k]), T("Durée d'affichage"), parent);
    *frames[k] = frame;
    auto* g = new QGridLayout(frame);
    g->addWidget(u.newCheck(n, QString(), tips[k], frame), 0, 0);
    auto* label = new QLabel(frame);
    label->setObjectName(QStringLiteral("Label%1").arg(k + 1));
    // Room for the longest caption, in the words shown.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(sliderCaption(7, 10, QLocale(), Wording::Shown)) + 4);
    *labels[k] = label;
    g->addWidget(label, 0, 1);
    g->addWidget(u.newSlider(n, frame), 0, 2);
    g->setColumnStretch(1, 1);
    return frame;
}

// Decimal point: the digit positions above their buttons.
QGroupBox* ConfigWindow::buildDecimalPointFrame(QWidget* page)
{
    Ui& u = *ui_;
    auto* pdec = group(QStringLiteral("Frame_pdec"), T("Point décimal:"), page);
    auto* g = new QGridLayout(pdec);
    g->setHorizontalSpacing(0);
    // Each digit stands in a cell as wide as the button under it, so the selected button marks it.
    const int cell = 26;
    u.REG_CT1 = digitPositions(cell, pdec);
    u.pdecGroup = exclusiveGroup(this);
    auto* digits = new QVBoxLayout;
    digits->setSpacing(0);
    digits->addWidget(u.REG_CT1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    buttons->setContentsMargins(0, 0, 0, 0);
    for (int n = 3; n >= 0; --n) {
        auto* r = radio(indexed("Option_pdec", n), QString(), pdec);
        r->setFixedWidth(r->sizeHint().width());
        auto* holder = new QHBoxLayout;
        holder->setContentsMargins(0, 0, 0, 0);
        holder->addWidget(r, 0, Qt::AlignHCenter);
        auto* cellWidget = new QWidget(pdec);
        cellWidget->setFixedWidth(cell);
        cellWidget->setLayout(holder);
        u.Option_pdec[static_cast<std::size_t>(n)] = r;
        u.pdecGroup->addButton(r, n);
        buttons->addWidget(cellWidget);
    }
    buttons->addStretch(1);
    digits->addLayout(buttons);
    g->addLayout(digits, 0, 0);
    g->setColumnStretch(4, 1);
    return pdec;
}

// Start-up choices.
QGroupBox* ConfigWindow::buildStartupFrame(QWidget* page)
{
    auto* startup = group(QStringLiteral("Frame_demarrage"), T("Démarrage:"), page);
    auto* g = new QGridLayout(startup);
    g->addWidget(buildResetHoldFrame(startup), 0, 0);
    g->addWidget(buildStartScreenFrame(1, startup), 0, 1);
    g->addWidget(buildStartScreenFrame(2, startup), 1, 0);
    g->addWidget(buildDebounceFrame(startup), 1, 1);
    return startup;
}

QGroupBox* ConfigWindow::buildResetHoldFrame(QWidget* parent)
{
    Ui& u = *ui_;
    auto* raz = group(QStringLiteral("Frame_raz"), T("Remise à zéro:"), parent);
    auto* rl = new QVBoxLayout(raz);
    u.razGroup = exclusiveGroup(this);
    u.Option_raz[0] = radio(indexed("Option_raz", 0), T("Immédiat"), raz);
    u.Option_raz[1] = radio(indexed("Option_raz", 1), T("Maintenu 3 Sec"), raz);
    for (int i = 0; i < 2; ++i) {
        u.razGroup->addButton(u.Option_raz[static_cast<std::size_t>(i)], i);
        rl->addWidget(u.Option_raz[static_cast<std::size_t>(i)]);
    }
    return raz;
}

// cadre_R1(5) "Paramètres" (OptionE1, Slider1) or cadre_R1(4) "Écran Accueil" (OptionE2, Slider2): whether
// that screen shows at start-up, and for how long.
QGroupBox* ConfigWindow::buildStartScreenFrame(int slider, QWidget* parent)
{
    Ui& u = *ui_;
    const bool parameters = slider == 1;
    const int cadreIndex = parameters ? 5 : 4;
    std::array<QRadioButton*, 2>& pair = parameters ? u.OptionE1 : u.OptionE2;
    const char* name = parameters ? "OptionE1" : "OptionE2";
    QGroupBox* frame = group(indexed("cadre_R1", cadreIndex),
                             parameters ? T("Paramètres") : T("Écran Accueil"), parent);
    u.cadre[0][static_cast<std::size_t>(cadreIndex)] = frame;
    auto* fl = new QGridLayout(frame);
    QButtonGroup* bg = exclusiveGroup(this);
    (parameters ? u.e1Group : u.e2Group) = bg;
    pair[0] = radio(indexed(name, 0), T("Non"), frame);
    pair[1] = radio(indexed(name, 1), sliderCaption(slider, 0, QLocale(), Wording::Shown), frame);
    bg->addButton(pair[0], 0);
    bg->addButton(pair[1], 1);
    fl->addWidget(pair[0], 0, 0);
    fl->addWidget(pair[1], 1, 0);
    fl->addWidget(u.newSlider(slider, frame), 2, 0);
    return frame;
}

// cadre_R1(6) "Anti-rebond": the input's debounce time (Slider6).
QGroupBox* ConfigWindow::buildDebounceFrame(QWidget* parent)
{
    Ui& u = *ui_;
    QGroupBox* anti = group(indexed("cadre_R1", 6), T("Anti-rebond"), parent);
    u.cadre[0][6] = anti;
    auto* al = new QGridLayout(anti);
    u.antiGroup = exclusiveGroup(this);
    u.anti[0] = radio(QStringLiteral("Option_anti_non"), T("Non"), anti);
    u.anti[1] = radio(QStringLiteral("Option_anti_oui"), T("Oui %1 mS").arg(QStringLiteral("0,5")), anti);
    u.anti[1]->setMinimumWidth(u.anti[1]->sizeHint().width()
                               + u.anti[1]->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    u.antiGroup->addButton(u.anti[0], 0);
    u.antiGroup->addButton(u.anti[1], 1);
    al->addWidget(u.anti[0], 0, 0);
    al->addWidget(u.anti[1], 1, 0);
    al->addWidget(u.newSlider(6, anti), 2, 0);
    return anti;
}

// LCD background and input polarity.
QGroupBox* ConfigWindow::buildScreenInputFrame(QWidget* page)
{
    Ui& u = *ui_;
    auto* misc = group(QStringLiteral("Frame_divers"), T("Écran et entrée:"), page);
    auto* h = new QHBoxLayout(misc);
    QCheckBox* fond = u.newCheck(0, T("Fond"), T("Fond de l'écran LCD en BLEU=Décoché ou en BLANC=Coché."), misc);
    fond->setMinimumWidth(fond->sizeHint().width() + 16);
    h->addWidget(fond);
    h->addWidget(u.newCheck(4, T("Polarité"), QString(), misc));
    h->addStretch(1);
    return misc;
}

// --- page SORTIE --------------------------------------------------------------------------------

QFrame* ConfigWindow::buildOutputsPage()
{
    Ui& u = *ui_;
    u.SORTIE = new QFrame(this);
    u.SORTIE->setObjectName(QStringLiteral("SORTIE"));
    auto* outputs = new QHBoxLayout(u.SORTIE);
    outputs->setContentsMargins(0, 0, 0, 0);
    for (int o = 0; o < 3; ++o)
        outputs->addWidget(buildOutputFrame(o, u.SORTIE), 1);
    return u.SORTIE;
}

// Frame_sortie1..3: relay 1, relay 2, buzzer; Check1(1..3) puts the output in use.
QGroupBox* ConfigWindow::buildOutputFrame(int output, QWidget* page)
{
    // The blanks before the title leave room for the check box that sits on it.
    const QString outputTitles[3] = {T("Relais 1:"), T("Relais 2:"), T("Buzzer et Style")};
    QGroupBox* out = group(QStringLiteral("Frame_sortie%1").arg(output + 1),
                           QStringLiteral("    ") + outputTitles[output], page);
    auto* ol = new QVBoxLayout(out);
    ol->setContentsMargins(8, 22, 8, 8);
    // The enabling box sits on the frame's title, in the blanks left for it; the title moves aside
    // so that the box does not cover its first letters.
    QCheckBox* enable = ui_->newCheck(1 + output, QString(), QString(), out);
    enable->resize(enable->sizeHint());
    enable->move(4, 0);
    enable->raise();
    out->setStyleSheet(QStringLiteral("QGroupBox#%1::title { subcontrol-origin: margin; left: %2px; }")
                           .arg(out->objectName())
                           .arg(enable->sizeHint().width() - 8));
    for (int f = 0; f < 3; ++f)
        ol->addWidget(buildRuleFrame(output, f, out));
    ol->addWidget(buildThresholdFrame(output, out));
    ol->addStretch(1);
    return out;
}

// cadre_X(0..2) of an output: "Affecté au:", "Action:", "Durée d'action:", each an exclusive group of
// the output's rule options (Option2 / Option3 / Option4).
QGroupBox* ConfigWindow::buildRuleFrame(int output, int f, QWidget* parent)
{
    Ui& u = *ui_;
    const std::size_t os = static_cast<std::size_t>(output);
    const bool buzzer = output == 2;
    const QString captions[7] = {T("COMPTEUR"),
                                 T("TOTALISATEUR"),
                                 buzzer ? T("Silencieux") : T("S'OUVRE"),
                                 buzzer ? T("Actif") : T("SE FERME"),
                                 T("Jusqu'au RAZ"),
                                 sliderCaption(3 + output, 1, QLocale(), Wording::Shown),
                                 T("et réarmable")};
    const QString frameTitles[3] = {T("Affecté au:"), T("Action:"), T("Durée d'action:")};
    const std::vector<int> members[3] = {{0, 1}, {2, 3}, {4, 5, 6}};

    QGroupBox* frame = group(indexed(kCadreNames[output], f), frameTitles[f], parent);
    u.cadre[os][static_cast<std::size_t>(f)] = frame;
    auto* fl = new QVBoxLayout(frame);
    QButtonGroup* bg = exclusiveGroup(this);
    u.ruleGroups[os][static_cast<std::size_t>(f)] = bg;
    for (int i : members[f]) {
        QRadioButton* r = radio(indexed(kOptionNames[output], i), captions[i], frame);
        u.ruleOption[os][static_cast<std::size_t>(i)] = r;
        bg->addButton(r, i);
        fl->addWidget(r);
        if (i == 5)
            fl->addWidget(u.newSlider(3 + output, frame));
    }
    return frame;
}

// cadre_X(3): the output's threshold (REG_V(6..8)); a click, Space or Enter flips the comparison, kept in Tag.
QGroupBox* ConfigWindow::buildThresholdFrame(int output, QWidget* parent)
{
    auto* threshold = new PressableFrame(T(kCompareGreaterText), parent);
    threshold->setObjectName(indexed(kCadreNames[output], 3));
    threshold->setProperty("Tag", QStringLiteral("S"));
    threshold->setProperty("caption", kCompareGreaterText);
    threshold->setToolTip(T(kThresholdTip));
    threshold->setCursor(Qt::PointingHandCursor);
    connect(threshold, &PressableFrame::pressed, this, [this, output] { thresholdClick(output, 3); });
    ui_->cadre[static_cast<std::size_t>(output)][3] = threshold;
    auto* tl = new QVBoxLayout(threshold);
    tl->addWidget(ui_->newReg(6 + output, threshold));
    return threshold;
}

// --- command strip and progress -----------------------------------------------------------------

QFrame* ConfigWindow::buildCommandStrip()
{
    Ui& u = *ui_;
    u.Frame5 = new QFrame(this);
    u.Frame5->setObjectName(QStringLiteral("Frame5"));
    theme::paint(u.Frame5, theme::kButtonStrip);
    auto* strip = new QVBoxLayout(u.Frame5);
    strip->setContentsMargins(8, 6, 8, 6);
    strip->setSpacing(6);
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(11);
    arial.setBold(true);
    for (int i = 0; i < 7; ++i) {
        LabelButton* b = commandButton(i, arial, u.Frame5);
        u.BOUTON[static_cast<std::size_t>(i)] = b;
        connect(b, &LabelButton::pressed, this, [this, i] { BOUTON_MouseDown(i); });
        connect(b, &LabelButton::released, this, [this, i] { BOUTON_MouseUp(i); });
        connect(b, &LabelButton::clicked, this, [this, i] { BOUTON_Click(i); });
        paintButton(i);
    }
    // Top row: Raz C, Raz T, Lire; bottom row: +1, -1, Reset, Programmer. Tab goes row by row.
    QWidget* previous = nullptr;
    for (const auto& row : {std::vector<int>{0, 1, 5}, std::vector<int>{2, 3, 4, 6}}) {
        auto* line = new QHBoxLayout;
        line->setSpacing(6);
        for (int i : row) {
            QWidget* b = u.BOUTON[static_cast<std::size_t>(i)];
            line->addWidget(b, 1);
            if (previous)
                setTabOrder(previous, b);
            previous = b;
        }
        strip->addLayout(line);
    }
    return u.Frame5;
}

QProgressBar* ConfigWindow::buildProgressBar()
{
    Ui& u = *ui_;
    u.ProgressBar1 = new QProgressBar(this);
    u.ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    u.ProgressBar1->setRange(0, kReadBarMaximum);
    u.ProgressBar1->setValue(0);
    u.ProgressBar1->setTextVisible(false);
    u.ProgressBar1->setMaximumHeight(14);
    return u.ProgressBar1;
}

void ConfigWindow::connectControls()
{
    Ui& u = *ui_;
    for (int i = 0; i < 2; ++i)
        connect(u.Option_CPT[static_cast<std::size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option_CPT_Click(i);
        });
    for (int i = 0; i < 10; ++i)
        connect(u.Check1[static_cast<std::size_t>(i)], &QCheckBox::stateChanged, this, [this, i] { Check1_Click(i); });
    for (int n = 1; n <= 9; ++n)
        connect(u.Slider[static_cast<std::size_t>(n)], &QSlider::valueChanged, this,
                [this, n](int v) { sliderChanged(n, v); });
}

// ------------------------------------------------------------------------------------------------
// The form's values

FormState ConfigWindow::formState() const
{
    const Ui& u = *ui_;
    FormState s;
    for (std::size_t i = 0; i < 2; ++i)
        s.Option_CPT[i] = u.Option_CPT[i]->isChecked();
    for (std::size_t i = 0; i < 12; ++i)
        s.REG_V[i] = u.REG_V[i]->text();
    for (std::size_t i = 0; i < 10; ++i)
        s.Check1[i] = checkValue(u.Check1[i]);
    s.Check_C = checkValue(u.Check_C);
    s.Check_T = checkValue(u.Check_T);
    for (std::size_t i = 0; i < 4; ++i)
        s.Option_pdec[i] = u.Option_pdec[i]->isChecked();
    for (std::size_t i = 0; i < 2; ++i) {
        s.Option_raz.option[i] = u.Option_raz[i]->isChecked();
        s.OptionE1.option[i] = u.OptionE1[i]->isChecked();
        s.OptionE2.option[i] = u.OptionE2[i]->isChecked();
    }
    s.Option_anti_non = u.anti[0]->isChecked();
    s.Option_anti_oui = u.anti[1]->isChecked();
    for (int o = 0; o < 3; ++o) {
        const std::size_t os = static_cast<std::size_t>(o);
        for (std::size_t i = 0; i < 7; ++i)
            s.rule(o).option[i] = u.ruleOption[os][i]->isChecked();
        s.threshold(o).Tag = u.cadre[os][3]->property("Tag").toString();
        // The caption as kept (a file stores it), not as shown.
        s.threshold(o).caption = u.cadre[os][3]->property("caption").toString();
    }
    for (int n = 1; n <= 9; ++n)
        s.slider(n) = u.Slider[static_cast<std::size_t>(n)]->value();
    return s;
}

void ConfigWindow::applyFormState(const FormState& s)
{
    Ui& u = *ui_;
    // The mode first: a change lays the window out, and the values below then take their place.
    if (s.Option_CPT[0] || s.Option_CPT[1])
        u.Option_CPT[s.Option_CPT[1] ? 1 : 0]->setChecked(true);
    else
        selectInGroup(u.cptGroup, nullptr);

    for (std::size_t i = 0; i < 12; ++i)
        u.REG_V[i]->setText(s.REG_V[i]);
    for (std::size_t i = 0; i < 10; ++i)
        setCheckValue(u.Check1[i], s.Check1[i]);
    setCheckValue(u.Check_C, s.Check_C);
    setCheckValue(u.Check_T, s.Check_T);
    for (int n = 1; n <= 9; ++n)
        u.Slider[static_cast<std::size_t>(n)]->setValue(s.slider(n));
    applyGroup(u.pdecGroup, u.Option_pdec, s.Option_pdec);
    applyGroup(u.razGroup, u.Option_raz, s.Option_raz.option);
    applyGroup(u.e1Group, u.OptionE1, s.OptionE1.option);
    applyGroup(u.e2Group, u.OptionE2, s.OptionE2.option);
    applyGroup(u.antiGroup, u.anti, std::array<bool, 2>{s.Option_anti_non, s.Option_anti_oui});
    for (int o = 0; o < 3; ++o) {
        const std::size_t os = static_cast<std::size_t>(o);
        const RuleOptions& rule = s.rule(o);
        const auto& b = u.ruleOption[os];
        applyGroup(u.ruleGroups[os][0], std::array<QRadioButton*, 2>{b[0], b[1]},
                   std::array<bool, 2>{rule[0], rule[1]});
        applyGroup(u.ruleGroups[os][1], std::array<QRadioButton*, 2>{b[2], b[3]},
                   std::array<bool, 2>{rule[2], rule[3]});
        applyGroup(u.ruleGroups[os][2], std::array<QRadioButton*, 3>{b[4], b[5], b[6]},
                   std::array<bool, 3>{rule[4], rule[5], rule[6]});
        setThreshold(o, s.threshold(o));
    }
}


// ------------------------------------------------------------------------------------------------
// Mode layouts

void ConfigWindow::INIT_P() { layOutMode(kProductionLayout); }

void ConfigWindow::INIT_T() { layOutMode(kTotaliserLayout); }

// The values come from the layout table that a form without window uses too; the window adds what only it
// shows: the colours, which frames show and which controls take input.
void ConfigWindow::layOutMode(const ModeLayout& layout)
{
    Ui& u = *ui_;
    const bool production = layout.production;
    u.Option_CPT[production ? 0 : 1]->setChecked(true);
    applyModeColours(production);
    u.Frame26->setVisible(!production);
    u.Frame_afficher->setVisible(production);
    for (std::size_t o = 0; o < 3; ++o) {
        // An output follows the totaliser only in the totaliser mode.
        u.ruleOption[o][1]->setEnabled(!production);
        u.ruleOption[o][static_cast<std::size_t>(layout.ruleAssign)]->setChecked(true);
    }
    u.Frame3->setEnabled(production);
    u.Frame4->setEnabled(production);
    u.Frame7->setEnabled(!production);
    for (std::size_t k = 0; k < 3; ++k)
        setCheckValue(u.Check1[7 + k], layout.displayChecks[k]);
    for (std::size_t n = 7; n <= 9; ++n)
        u.Slider[n]->setValue(layout.displaySeconds);
}

void ConfigWindow::applyModeColours(bool production)
{
    Ui& u = *ui_;
    theme::paint(u.Option_CPT[0], production ? theme::kModeSelected : theme::kModeUnselected);
    theme::paint(u.Option_CPT[1], production ? theme::kModeUnselected : theme::kModeSelected);
    u.productionColours = production;
    paintButton(1);
    paintButton(3);
}

// Blue, or green while held; the reset that does not apply in the mode written in red.
void ConfigWindow::paintButton(int index)
{
    const Ui& u = *ui_;
    const std::size_t i = static_cast<std::size_t>(index);
    const bool notApplicable = (index == 1 && u.productionColours) || (index == 3 && !u.productionColours);
    theme::paint(u.BOUTON[i], (u.down[i] ? theme::kLabelButtonDownGround : theme::kLabelButtonGround).get(),
                 (notApplicable ? theme::kNotApplicableText : theme::kLabelButtonText).get());
}

void ConfigWindow::Option_CPT_Click(int index)
{
    if (index == 0)
        INIT_P();
    else
        INIT_T();
}

// ------------------------------------------------------------------------------------------------
// Procedures

void ConfigWindow::Form_Load() { BOUTON_Click(5); }

void ConfigWindow::LIRE_PARAM()
{
    operations_->run<BlockRead>(
        [](Exchanger& link, Progress& progress) { return readParameterBlock(link, progress); },
        [this](const BlockRead& read) {
            if (read.ok()) {
                applyParameterBlock(*this, read.block);
                setOriginDisplay(formState());
            }
            present(read, dialogs_, &main_);
        },
        progress_.get());
}

void ConfigWindow::setOriginDisplay(const FormState& form)
{
    origin_ = Origin::Display;
    originDisplay_ = owner_.device();
    originFile_.clear();
    originForm_ = form;
}

void ConfigWindow::setOriginFile(const QString& path)
{
    origin_ = Origin::File;
    originDisplay_ = {};
    originFile_ = path;
    originForm_ = formState();
}

void ConfigWindow::PROG_PARAM()
{
    // The form as it stands now is what goes to the display, whatever the operator edits meanwhile.
    const FormState form = formState();
    // With verification on (Outils menu) the same programming is followed by a read-back; the status then
    // says whether the display holds the form, and a read-back that could not read says only that.
    const bool verify = tool_settings::isOn(tool_settings::kVerifyAfterProgramming);
    journal::Journal* journal = main_.serviceJournal();
    const QString file = origin_ == Origin::File && originForm_ == form ? originFile_ : QString();
    operations_->run<VerifiedProgramming>(
        [form, verify, journal, file](Exchanger& link, Progress& progress) {
            journal::Recording record(journal, journal::Operation::Programming, link.device());
            if (const std::optional<OperationResult> refused = record.start()) {
                VerifiedProgramming none;
                static_cast<OperationResult&>(none.programming) = *refused;
                return none;
            }
            Progress& noted = record.progress(progress);
            VerifiedProgramming verified = verify ? programAndVerify(link, form, noted)
                                                  : VerifiedProgramming{programParameters(link, form, noted), {}, false};
            if (journal::JournalEntry* entry = record.entry()) {
                // What went out, as a configuration file holds it; the file's own name when it came from one.
                entry->setFile(file, config_file::toFileBytes(form));
                if (const std::optional<ParameterBlock> after = verified.blockAfter(form))
                    entry->setBlockAfter(journal::bytesOf(*after));
            }
            const bool confirmed = !verified.different() && !verified.readBackFailed();
            journal::noteMissingRecord(
                verified.programming,
                record.finish(confirmed ? static_cast<const OperationResult&>(verified.programming)
                                        : OperationResult::failure(Outcome::Refused, kProgramTitle,
                                                                   verifiedProgrammingStatus(verified, Wording::French),
                                                                   MsgIcon::Exclamation)));
            return verified;
        },
        [this, form](const VerifiedProgramming& verified) {
            const ProgramResult& result = verified.programming;
            // The display now holds the form, unless the read-back found otherwise.
            if (result.ok() && !verified.different() && !verified.readBackFailed())
                setOriginDisplay(form);
            present(result, dialogs_, &main_);
            if (verified.readBackFailed())
                dialogs_.message(verified.verification.box);
            if (verified.verificationRan)
                main_.setStatusPanel2(verifiedProgrammingStatus(verified));
            if (result.outcome == Outcome::Refused && result.invalidBox >= 0) {
                // Show the operator the box that was refused.
                const bool onOutputs = result.invalidBox >= 6 && result.invalidBox <= 8;
                BOUTON_STA_Click(onOutputs ? 1 : 0);
                QLineEdit* box = ui_->REG_V[static_cast<std::size_t>(result.invalidBox)];
                ui_->pages->ensureWidgetVisible(box);
                box->setFocus();
                box->selectAll();
            }
        },
        progress_.get());
}

bool ConfigWindow::operationRunning() const { return operations_->running(); }

void ConfigWindow::closeEvent(QCloseEvent* event)
{
    if (operations_->holdClose(event))
        return;
    QWidget::closeEvent(event);
}

// While the display is busy, the buttons that would ask it for more are greyed.
void ConfigWindow::showBusy(bool busy)
{
    for (LabelButton* button : ui_->BOUTON)
        button->setEnabled(!busy);
}

void ConfigWindow::RAZ_CONFIG()
{
    applyFormState(resetConfiguration(formState()));
    origin_ = Origin::None;
}

void ConfigWindow::NOUV_CONFIG()
{
    MessageRequest request;
    request.title = T("Nouvelle configuration.");
    request.text = T("Vous êtes sur le point d'éffacer toutes les données ! ") + QStringLiteral("\r\n")
        + T("Veuillez confirmer:");
    request.icon = MsgIcon::Question;
    request.buttons = MsgButtons::YesNo;
    request.defaultButton = MsgResult::No;
    if (dialogs_.message(request) == MsgResult::Yes)
        RAZ_CONFIG();
}

// ------------------------------------------------------------------------------------------------
// Handlers

void ConfigWindow::BOUTON_Click(int index)
{
    if (index < 0 || index > 6)
        return;
    const ButtonSpec& spec = kButtons[index];
    if (!spec.status.isNull())
        main_.setStatusPanel2(T(spec.status));
    if (index == 5)
        LIRE_PARAM();
    else if (index == 6)
        PROG_PARAM();
    else {  // the link's log is the only word on a direct command
        const QString tag = ui_->BOUTON[static_cast<std::size_t>(index)]->property("Tag").toString();
        // The journal keeps the button's French caption, whatever the window shows.
        const QString caption = spec.caption;
        journal::Journal* journal = main_.serviceJournal();
        operations_->run<OperationResult>(
            [tag, caption, journal](Exchanger& link, Progress& progress) {
                return journal::recorded<OperationResult>(
                    journal, journal::Operation::Command, link.device(), progress,
                    [&](Progress&) { return sendDirectCommand(link, tag); },
                    [](journal::JournalEntry&, const OperationResult&) {},
                    QStringLiteral("Commande « %1 » (%2) envoyée.").arg(caption, tag));
            },
            // The link's log is the only word on a command, unless its record is missing.
            [this](const OperationResult& sent) {
                if (sent.outcome == Outcome::Refused || (sent.ok() && !sent.box.text.isEmpty()))
                    dialogs_.message(sent.box);
            });
    }
}

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
