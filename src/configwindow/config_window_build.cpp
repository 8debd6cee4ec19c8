// The configuration window's construction: a frame a function, in the order the controls are created.
#include <QButtonGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "common/ui/form_scroll_area.h"
#include "common/ui/theme.h"
#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "configwindow/config_window_parts.h"

namespace trivo {

using namespace cp_parts;

namespace {

// The window's texts are kept in French and shown with T().
const QString kOverrunTip = FR("Décocher=autorise le dépassement.   Cocher=interdit le dépassement.");
const QString kThresholdTip = FR("Un clic pour changer le type de comparaison. ( Sup= ou Inf=)");

// Per output (relay 1, relay 2, buzzer): its frames' and its rule options' control array names.
const char* const kCadreNames[3] = {"cadre_R1", "cadre_R2", "cadre_Buz"};
const char* const kOptionNames[3] = {"Option2", "Option3", "Option4"};

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

}  // namespace trivo
