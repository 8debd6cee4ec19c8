#include "registers/ui/registers_window.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGraphicsLayout>
#include <QDateTimeAxis>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

#include "common/dialogs.h"
#include "common/file_io.h"
#include "common/language.h"
#include "common/ui/form_scroll_area.h"
#include "registers/register_reading.h"
#include "common/ui/keyboard.h"
#include "common/ui/pressable.h"
#include "common/ui/theme.h"
#include "link/ui/window_operations.h"
#include "link/display_owner.h"
#include "registers/ui/indicator_pictures.h"

namespace trivo {

using namespace registers;

namespace {

constexpr int kCycleIntervalMs = 500;
constexpr int kProgressSteps = 13;
constexpr int kIndicatorGap = 10;

// The window's texts are kept in French and shown with T().
const QString kNoReplyText = FR("Pas de réponse de l'afficheur.");

// The indicators stand under the words of this caption (kGroupWords); its translation holds theirs.
const QString kFrame5Caption = FR("      Bouton poussoir              Bipeur                 Diodes DELs");

// Indicators of Frame5: grey picture, coloured picture, shape, colour, and the caption word they sit under.
struct Indicator {
    const char* grey;
    const char* coloured;
    IndicatorShape shape;
    const QColor* colour;
    int group;  // 0 "Bouton poussoir", 1 "Bipeur", 2 "Diodes DELs"
};
const Indicator kIndicators[] = {
    {"G1", "R1", IndicatorShape::PushButton, &kRed, 0},  {"G2", "V1", IndicatorShape::PushButton, &kGreen, 0},
    {"G3", "B1", IndicatorShape::PushButton, &kBlue, 0}, {"G7", "B7", IndicatorShape::Buzzer, &kLightBlue, 1},
    {"G4", "R2", IndicatorShape::Led, &kRed, 2},         {"G5", "V2", IndicatorShape::Led, &kGreen, 2},
    {"G6", "B2", IndicatorShape::Led, &kBlue, 2},
};
const QString kGroupWords[] = {FR("Bouton poussoir"), FR("Bipeur"), FR("Diodes DELs")};

// What a screen reader calls the indicators and the values, and says of an indicator's state. The values'
// descriptions are the values shown.
struct AccessibleName {
    const char* object;
    QString name;
};
const AccessibleName kIndicatorNames[] = {
    {"G1", FR("Poussoir rouge")}, {"G2", FR("Poussoir vert")}, {"G3", FR("Poussoir bleu")}, {"G7", FR("Bipeur")},
    {"G4", FR("DEL rouge")},      {"G5", FR("DEL verte")},     {"G6", FR("DEL bleue")},
};
const AccessibleName kValueNames[] = {
    {"date_trivo", FR("Date du TRIVO-ALTEUR")},
    {"heure_trivo", FR("Heure du TRIVO-ALTEUR")},
    {"date_dcf", FR("Date de la dernière radio synchronisation")},
    {"heure_dcf", FR("Heure de la dernière radio synchronisation")},
    {"niveau", FR("Niveau de réception radio")},
    {"temperature", FR("Température du TRIVO-ALTEUR")},
};
const QString kPushButtonDown = FR("appuyé");
const QString kPushButtonUp = FR("relâché");
const QString kLedOn = FR("allumée");
const QString kLedOff = FR("éteinte");
const QString kNotCurrentNote = QStringLiteral(" (%1)");

const QString kCsvFilter = FR("Fichier CSV (*.csv);;Tous les fichiers (*)");
// Below this span the time axis shows seconds; it spans whole minutes.
constexpr qint64 kSecondsShownMs = 10 * 60 * 1000;
constexpr qint64 kAxisStepMs = 60 * 1000;
constexpr int kFewestColumns = 100;  // before the chart is laid out

// A value label wide enough for its longest text from the start, so that new values never wait for a
// layout pass to be seen whole.
QLabel* valueLabel(const char* name, const QString& longest, QWidget* parent)
{
    auto* label = new QLabel(kBlank, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    font.setBold(true);
    label->setFont(font);
    label->setMinimumSize(label->fontMetrics().horizontalAdvance(longest) + 8, label->fontMetrics().height() + 4);
    return label;
}

// The longest date line in the program's language.
QString longestDate()
{
    QString longest;
    for (int d = 1; d <= 7; ++d) {
        const QString day = T(dayName(QStringLiteral("0%1").arg(d)));
        if (day.size() > longest.size())
            longest = day;
    }
    return longest + QStringLiteral("00/00/00");
}

const QString kLongestTime = QStringLiteral("00:00:00");

QLabel* pictureLabel(const QString& name, const QPixmap& pixmap, QWidget* parent, QLabel* label = nullptr)
{
    if (!label)
        label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.size());
    // Hidden pictures keep their place, so the rows do not move as they come and go.
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    return label;
}

void keepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

}  // namespace

RegistersWindow::RegistersWindow(DisplayOwner& owner, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent),
      owner_(owner),
      operations_(std::make_unique<WindowOperations>(*this, owner)),
      dialogs_(dialogs),
      main_(main)
{
    auto steady = std::make_shared<QElapsedTimer>();
    steady->start();
    clock_ = [start = QDateTime::currentDateTimeUtc(), steady] { return start.addMSecs(steady->elapsed()); };
    setObjectName(QStringLiteral("REGISTRE"));
    setWindowTitle(T("Lecture des Registres spéciaux."));
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(kCycleIntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &RegistersWindow::Timer1_Timer);
    buildControls();
    // While the display is busy, "Lire" would only queue behind what runs: it is greyed. The keys stay
    // live, so that every press gets its release.
    connect(&owner_, &DisplayOwner::busyChanged, readButton_, [this](bool busy) { readButton_->setEnabled(!busy); });
    closeOnEscape(this);
}

RegistersWindow::~RegistersWindow() = default;

void RegistersWindow::buildControls()
{
    auto* outer = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("ONGLETS"));
    // Its tab bar takes the focus; the container itself is no control of its own.
    pages_->setFocusPolicy(Qt::NoFocus);
    pages_->tabBar()->setAccessibleName(T("Pages de la fenêtre"));
    // On a short screen the values scroll rather than squeezing their frames.
    auto* values = new FormScrollArea(pages_);
    values->setWidget(buildValuesPage());
    pages_->addTab(values, T("Valeurs"));
    pages_->addTab(buildCurvesPage(), T("Courbes"));
    connect(pages_, &QTabWidget::currentChanged, this, [this] { refreshCurves(); });
    outer->addWidget(pages_);
    outer->addLayout(buildButtonRow());

    // Frame5's caption and the page's frame around it.
    const int wide = qMax(frame5_->fontMetrics().horizontalAdvance(frame5_->title()) + 84, 480);
    setMinimumWidth(wide);
    resize(wide, sizeHint().height());
    describeValues();
}

// A date on the left of its frame, a time on the right.
QGroupBox* RegistersWindow::clockFrame(const char* name, const QString& caption, const char* dateName,
                                       const char* timeName, QLabel*& date, QLabel*& time)
{
    auto* frame = new QGroupBox(caption, this);
    frame->setObjectName(QString::fromLatin1(name));
    date = valueLabel(dateName, longestDate(), frame);
    time = valueLabel(timeName, kLongestTime, frame);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(date);
    row->addStretch();
    row->addWidget(time);
    time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return frame;
}

QWidget* RegistersWindow::buildValuesPage()
{
    auto* valuesPage = new QWidget(pages_);
    valuesPage->setObjectName(QStringLiteral("PAGE_VALEURS"));
    auto* column = new QVBoxLayout(valuesPage);
    column->addWidget(clockFrame("Frame1", T("Heure et date du TRIVO-ALTEUR."), "date_trivo", "heure_trivo",
                                 dateTrivo_, heureTrivo_));
    column->addWidget(clockFrame("Frame2", T("Heure et date de la dernière radio synchronisation."), "date_dcf",
                                 "heure_dcf", dateDcf_, heureDcf_));

    auto* frame4 = new QGroupBox(T("Niveau de réception des signaux de  radio synchronisation."), this);
    frame4->setObjectName(QStringLiteral("Frame4"));
    auto* row4 = new QHBoxLayout(frame4);
    row4->setSpacing(2);
    picture1_[kLevelBars] = pictureLabel(QStringLiteral("Picture1(%1)").arg(kLevelBars), radioIconPicture(), frame4);
    row4->addWidget(picture1_[kLevelBars]);
    row4->addSpacing(8);
    for (int k = 0; k < kLevelBars; ++k) {
        picture1_[k] = pictureLabel(QStringLiteral("Picture1(%1)").arg(k), levelBarPicture(k), frame4);
        row4->addWidget(picture1_[k]);
    }
    for (QLabel* p : picture1_)
        p->hide();
    row4->addSpacing(16);
    niveau_ = valueLabel("niveau", QStringLiteral("_ / 7"), frame4);
    row4->addWidget(niveau_);
    row4->addStretch();
    column->addWidget(frame4);

    auto* frame3 = new QGroupBox(T("Température du TRIVO-ALTEUR."), this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    temperature_ = valueLabel("temperature", QStringLiteral("-2048.0 °C"), frame3);
    auto* row3 = new QHBoxLayout(frame3);
    row3->addWidget(temperature_);
    row3->addStretch();
    column->addWidget(frame3);
    column->addWidget(buildIndicatorsFrame());
    for (const auto& [name, accessible] : kValueNames)
        findChild<QLabel*>(QString::fromLatin1(name))->setAccessibleName(T(accessible));
    return valuesPage;
}

QGroupBox* RegistersWindow::buildIndicatorsFrame()
{
    frame5_ = new QGroupBox(T(kFrame5Caption), this);
    frame5_->setObjectName(QStringLiteral("Frame5"));
    // The keys are buttons: Tab reaches them, and a held Space holds them down as the mouse does.
    for (const Indicator& ind : kIndicators) {
        const RemoteKeyInfo* key = nullptr;
        for (const RemoteKeyInfo& k : kRemoteKeys)
            if (qstrcmp(k.grey, ind.grey) == 0)
                key = &k;
        LabelButton* button = nullptr;
        if (key) {
            button = new LabelButton(QString(), frame5_);
            button->setFocusFrameInset(1);
            connect(button, &LabelButton::pressed, this, [this, k = key->key] { keyEvent(k, true); });
            connect(button, &LabelButton::released, this, [this, k = key->key] { keyEvent(k, false); });
        }
        pictureLabel(QString::fromLatin1(ind.grey), indicatorPicture(ind.shape), frame5_, button);
    }
    // Coloured pictures are created after the grey ones so that they lie on top; clicks go through them
    // to the key underneath, which must see every press and release whatever the display reports.
    for (const Indicator& ind : kIndicators) {
        QLabel* coloured =
            pictureLabel(QString::fromLatin1(ind.coloured), indicatorPicture(ind.shape, *ind.colour), frame5_);
        coloured->setAttribute(Qt::WA_TransparentForMouseEvents);
        coloured->hide();
    }
    picture("G1")->setToolTip(T("Actionnez les poussoirs du TRIVO-ALTEUR."));
    for (const RemoteKeyInfo& key : kRemoteKeys) {
        QLabel* grey = picture(key.grey);
        grey->setToolTip(T("Maintenez le clic."));
        grey->setCursor(Qt::PointingHandCursor);
        grey->installEventFilter(this);
    }
    for (const auto& [name, accessible] : kIndicatorNames)
        picture(name)->setAccessibleName(T(accessible));
    frame5_->setMinimumHeight(kIndicatorSize + 2 * fontMetrics().height() + 16);
    frame5_->installEventFilter(this);
    return frame5_;
}

QHBoxLayout* RegistersWindow::buildButtonRow()
{
    auto* buttons = new QHBoxLayout();
    readButton_ = new QPushButton(T("Lire "), this);
    readButton_->setObjectName(QStringLiteral("but_RD_HID_ECR"));
    readButton_->setToolTip(T("Lecture des Registres spéciaux."));
    clearButton_ = new QPushButton(T("Effacer"), this);
    clearButton_->setObjectName(QStringLiteral("Command2"));
    closeButton_ = new QPushButton(T("Fermer la fenêtre"), this);
    closeButton_->setObjectName(QStringLiteral("Command1"));
    closeButton_->setToolTip(T("Fermer."));
    text1_ = new QLineEdit(QStringLiteral("..."), this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setReadOnly(true);
    text1_->setFocusPolicy(Qt::NoFocus);
    text1_->setAlignment(Qt::AlignCenter);
    text1_->setFixedWidth(text1_->fontMetrics().horizontalAdvance(QStringLiteral("100 %")) + 16);
    keepPlaceWhenHidden(text1_);
    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, kProgressSteps);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    progressBar1_->setMaximumHeight(text1_->sizeHint().height());
    keepPlaceWhenHidden(progressBar1_);
    buttons->addWidget(readButton_);
    buttons->addWidget(clearButton_);
    buttons->addWidget(closeButton_);
    buttons->addSpacing(8);
    buttons->addWidget(text1_);
    buttons->addWidget(progressBar1_, 1);
    connect(readButton_, &QPushButton::clicked, this, &RegistersWindow::but_RD_HID_ECR_Click);
    connect(clearButton_, &QPushButton::clicked, this, &RegistersWindow::Command2_Click);
    connect(closeButton_, &QPushButton::clicked, this, &RegistersWindow::Command1_Click);
    return buttons;
}

// A screen reader hears each value and indicator state as its description, and whether it is current.
void RegistersWindow::describeValues()
{
    const QString note = current_ ? QString() : kNotCurrentNote.arg(T(kNoReplyText));
    for (QLabel* label : {dateTrivo_, heureTrivo_, temperature_, dateDcf_, heureDcf_, niveau_})
        label->setAccessibleDescription(label->text().trimmed() + note);
    const std::pair<const char*, const char*> pushButtons[] = {{"G1", "R1"}, {"G2", "V1"}, {"G3", "B1"}};
    for (const auto& [grey, coloured] : pushButtons)
        picture(grey)->setAccessibleDescription(T(picture(coloured)->isHidden() ? kPushButtonUp : kPushButtonDown)
                                                + note);
    const std::pair<const char*, const char*> leds[] = {{"G4", "R2"}, {"G5", "V2"}, {"G6", "B2"}};
    for (const auto& [grey, coloured] : leds)
        picture(grey)->setAccessibleDescription(T(picture(coloured)->isHidden() ? kLedOff : kLedOn) + note);
}

QLabel* RegistersWindow::picture(const char* name) const
{
    return frame5_->findChild<QLabel*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

// The three indicator groups stand under the three words of Frame5's caption, wherever the style puts it.
void RegistersWindow::placeIndicators()
{
    QStyleOptionGroupBox option;
    option.initFrom(frame5_);
    option.text = frame5_->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.rect = frame5_->rect();
    const QRect label =
        frame5_->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame5_);
    const QFontMetrics metrics = frame5_->fontMetrics();
    const int top = qMax(label.bottom() + 8, (frame5_->height() + label.bottom() - kIndicatorSize) / 2);

    const QString caption = frame5_->title();
    for (int group = 0; group < 3; ++group) {
        const QString word = T(kGroupWords[group]);
        // A translation without the word: the groups share the caption's width evenly.
        const int at = caption.indexOf(word);
        const int centre = at >= 0 ? label.left() + metrics.horizontalAdvance(caption.left(at))
                                         + metrics.horizontalAdvance(word) / 2
                                   : label.left() + metrics.horizontalAdvance(caption) * (2 * group + 1) / 6;
        int count = 0;
        for (const Indicator& ind : kIndicators)
            count += ind.group == group ? 1 : 0;
        int x = centre - (count * kIndicatorSize + (count - 1) * kIndicatorGap) / 2;
        for (const Indicator& ind : kIndicators) {
            if (ind.group != group)
                continue;
            picture(ind.grey)->move(x, top);
            picture(ind.coloured)->move(x, top);
            x += kIndicatorSize + kIndicatorGap;
        }
    }
}

void RegistersWindow::Form_Load()
{
    but_RD_HID_ECR_Click();
    timer1_.start();
}

void RegistersWindow::Timer1_Timer()
{
    // Held while an operation has the display: the values shown stay current.
    owner_.runPeriodic<RegistersRead>(
        this, [](Exchanger& link) { return readRegisters(link); },
        [this](const RegistersRead& read) { showCycle(read); });
}

void RegistersWindow::but_RD_HID_ECR_Click()
{
    startCycle();
    operations_->run<RegistersRead>([](Exchanger& link, Progress&) { return readRegisters(link); },
                                    [this](const RegistersRead& read) { showCycle(read); });
}

void RegistersWindow::startCycle()
{
    progressBar1_->show();
    text1_->show();
    text1_->setText(QStringLiteral("..."));
}

void RegistersWindow::showCycle(const RegistersRead& read)
{
    // Only an answered read is shown; otherwise the last values read stay, greyed.
    if (!read.ok()) {
        setCurrent(false);
        return;
    }
    Command2_Click();
    last_ = read.readout;
    showReadout(last_);
    setCurrent(true);
    history_.append(clock_(), last_);
    refreshCurves();

    progressBar1_->setValue(kProgressSteps);
    text1_->setText(QStringLiteral("100 %"));
    progressBar1_->hide();
    text1_->hide();
}

void RegistersWindow::setCurrent(bool current)
{
    current_ = current;
    for (QLabel* label : {dateTrivo_, heureTrivo_, temperature_, dateDcf_, heureDcf_, niveau_})
        label->setEnabled(current);
    for (QLabel* bar : picture1_)
        bar->setEnabled(current);
    for (const char* coloured : {"R1", "V1", "B1", "R2", "V2", "B2"})
        picture(coloured)->setEnabled(current);
    text1_->setFixedWidth(text1_->fontMetrics().horizontalAdvance(current ? QStringLiteral("100 %") : T(kNoReplyText))
                          + 16);
    describeValues();
    // While the values are not current the status takes the progress bar's place too.
    QSizePolicy barPolicy = progressBar1_->sizePolicy();
    barPolicy.setRetainSizeWhenHidden(current);
    progressBar1_->setSizePolicy(barPolicy);
    if (current)
        return;
    progressBar1_->hide();
    text1_->setText(T(kNoReplyText));
    text1_->show();
    // Even so the status must not squeeze the buttons: the window grows to fit it when it has to.
    if (layout()) {
        layout()->activate();
        const int needed = layout()->minimumSize().width();
        if (needed > minimumWidth())
            setMinimumWidth(needed);
    }
}

void RegistersWindow::showReadout(const RegisterReadout& r)
{
    heureTrivo_->setText(r.heureTrivo);
    dateTrivo_->setText(r.shownDateTrivo);
    heureDcf_->setText(r.heureDcf);
    dateDcf_->setText(r.shownDateDcf);
    temperature_->setText(r.temperature);
    // The clear step hid every coloured picture but B7; show the ones the reply lights.
    picture("R1")->setVisible(r.r1);
    picture("V1")->setVisible(r.v1);
    picture("B1")->setVisible(r.b1);
    picture("R2")->setVisible(r.r2);
    picture("V2")->setVisible(r.v2);
    picture("B2")->setVisible(r.b2);
    niveau_->setText(r.niveau);
    for (int k = 0; k < kLevelBars; ++k)
        picture1_[k]->setVisible(r.bars[k]);
    picture1_[kLevelBars]->setVisible(r.icon);
    describeValues();
}

QWidget* RegistersWindow::buildCurvesPage()
{
    curvesPage_ = new QWidget(this);
    curvesPage_->setObjectName(QStringLiteral("PAGE_COURBES"));
    auto* column = new QVBoxLayout(curvesPage_);
    temperatureCurve_ = makeCurve("COURBE_TEMPERATURE", T("Température (°C)"), T("Courbe de la température"), curvesPage_);
    radioCurve_ = makeCurve("COURBE_RADIO", T("Niveau de réception radio (0 à 7)"),
                            T("Courbe du niveau de réception radio"), curvesPage_);
    // The level is one of eight steps: a grid line each, labelled every other one (Qt Charts leaves out a
    // label taller than the space between two lines).
    radioCurve_.values->setRange(0, kMaxLevel);
    radioCurve_.values->setTickType(QValueAxis::TicksDynamic);
    radioCurve_.values->setTickAnchor(0);
    radioCurve_.values->setTickInterval(2);
    radioCurve_.values->setMinorTickCount(1);
    radioCurve_.values->setLabelFormat(QStringLiteral("%.0f"));
    temperatureCurve_.values->setLabelFormat(QStringLiteral("%.1f"));
    column->addWidget(temperatureCurve_.view, 1);
    column->addWidget(radioCurve_.view, 1);

    auto* row = new QHBoxLayout();
    readings_ = new QLabel(curvesPage_);
    readings_->setObjectName(QStringLiteral("RELEVES"));
    exportButton_ = new QPushButton(T("Exporter en CSV..."), curvesPage_);
    exportButton_->setObjectName(QStringLiteral("EXPORTER_CSV"));
    exportButton_->setToolTip(T("Enregistrer les relevés de la dernière heure dans un fichier CSV."));
    connect(exportButton_, &QPushButton::clicked, this, &RegistersWindow::EXPORTER_CSV_Click);
    row->addWidget(readings_, 1);
    row->addWidget(exportButton_);
    column->addLayout(row);
    styleCurves();
    refreshCurves();
    return curvesPage_;
}

RegistersWindow::Curve RegistersWindow::makeCurve(const char* name, const QString& title,
                                                  const QString& accessibleName, QWidget* parent)
{
    Curve c;
    c.chart = new QChart();
    c.chart->setTitle(title);
    c.chart->legend()->hide();
    c.chart->setBackgroundRoundness(0);
    c.chart->setMargins(QMargins(2, 2, 2, 2));
    c.chart->layout()->setContentsMargins(0, 0, 0, 0);
    c.time = new QDateTimeAxis(c.chart);
    c.time->setTickCount(5);
    c.values = new QValueAxis(c.chart);
    c.chart->addAxis(c.time, Qt::AlignBottom);
    c.chart->addAxis(c.values, Qt::AlignLeft);
    c.view = new QChartView(c.chart, parent);
    c.view->setObjectName(QString::fromLatin1(name));
    c.view->setAccessibleName(accessibleName);
    c.view->setRenderHint(QPainter::Antialiasing);
    // The chart is one control: Tab reaches the view (which a screen reader describes), not its viewport.
    c.view->viewport()->setFocusPolicy(Qt::NoFocus);
    // Title, time labels and a plot tall enough to tell the radio's steps apart.
    c.view->setMinimumSize(320, fontMetrics().height() * 10);
    return c;
}

// The charts in the window's palette (light or dark), the curves in the program's colours for them.
void RegistersWindow::styleCurves()
{
    const QPalette p = palette();
    const QColor ground = p.color(QPalette::Base);
    const QColor text = p.color(QPalette::Text);
    QColor grid = text;
    grid.setAlphaF(0.3);
    QColor minorGrid = text;
    minorGrid.setAlphaF(0.15);
    QFont titleFont = font();
    titleFont.setBold(true);
    const std::pair<Curve*, const theme::Pair*> curves[] = {{&temperatureCurve_, &theme::kCurveTemperature},
                                                            {&radioCurve_, &theme::kCurveRadio}};
    for (const auto& [c, colour] : curves) {
        c->view->setBackgroundBrush(ground);
        c->chart->setBackgroundBrush(ground);
        c->chart->setTitleBrush(text);
        c->chart->setTitleFont(titleFont);
        for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(c->time), static_cast<QAbstractAxis*>(c->values)}) {
            axis->setLabelsBrush(text);
            axis->setLabelsFont(font());
            axis->setLinePenColor(text);
            axis->setGridLineColor(grid);
            axis->setMinorGridLineColor(minorGrid);
        }
        c->colour = colour->get();
        for (QLineSeries* line : c->lines)
            line->setPen(QPen(c->colour, 2));
    }
}

void RegistersWindow::drawRuns(Curve& c, const QList<QList<QPointF>>& runs)
{
    while (c.lines.size() < runs.size()) {
        auto* line = new QLineSeries(c.chart);
        c.chart->addSeries(line);
        line->attachAxis(c.time);
        line->attachAxis(c.values);
        line->setPen(QPen(c.colour, 2));
        c.lines.append(line);
    }
    while (c.lines.size() > runs.size()) {
        QLineSeries* line = c.lines.takeLast();
        c.chart->removeSeries(line);
        delete line;
    }
    for (int i = 0; i < runs.size(); ++i) {
        c.lines[i]->replace(runs[i]);
        // A reading alone between two gaps is no line: it shows as a point.
        c.lines[i]->setPointsVisible(runs[i].size() == 1);
    }
}

void RegistersWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        if (temperatureCurve_.chart)
            styleCurves();
    }
    QWidget::changeEvent(event);
}

// The points are drawn only while the page is shown; it is filled from the history when it comes up.
void RegistersWindow::refreshCurves()
{
    describeHistory();
    if (pages_->currentWidget() != curvesPage_)
        return;
    QList<QPointF> temperatures;
    temperatures.reserve(history_.size());
    QList<QList<QPointF>> levels;
    int16_t low = 0, high = 0;
    for (int i = 0; i < history_.size(); ++i) {
        const RegisterSample& s = history_.at(i);
        temperatures.append(QPointF(double(s.atMs), s.celsius()));
        if (s.hasLevel()) {
            if (i == 0 || !history_.at(i - 1).hasLevel())
                levels.append(QList<QPointF>());
            levels.last().append(QPointF(double(s.atMs), s.level));
        }
        low = i == 0 ? s.sixteenths : std::min(low, s.sixteenths);
        high = i == 0 ? s.sixteenths : std::max(high, s.sixteenths);
    }
    // The axes move a minute at a time: Qt Charts lays every line out again at each change of range.
    const qint64 first = history_.isEmpty() ? clock_().toMSecsSinceEpoch() : history_.at(0).atMs;
    const qint64 last = history_.isEmpty() ? first : history_.at(history_.size() - 1).atMs;
    const qint64 start = first - first % kAxisStepMs;
    qint64 end = std::max(last, start + kAxisStepMs);
    end += (kAxisStepMs - end % kAxisStepMs) % kAxisStepMs;
    const QString format = end - start <= kSecondsShownMs ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    for (Curve* c : {&temperatureCurve_, &radioCurve_}) {
        if (c->time->min().toMSecsSinceEpoch() != start || c->time->max().toMSecsSinceEpoch() != end)
            c->time->setRange(QDateTime::fromMSecsSinceEpoch(start), QDateTime::fromMSecsSinceEpoch(end));
        if (c->time->format() != format)
            c->time->setFormat(format);
    }
    // A degree of room above and below what was read, on whole degrees.
    const QPointF range(std::floor(temperatureTenths(low) / 10.0) - 1, std::ceil(temperatureTenths(high) / 10.0) + 1);
    if (range != temperatureRange_) {
        temperatureRange_ = range;
        temperatureCurve_.values->setRange(range.x(), range.y());
        temperatureCurve_.values->applyNiceNumbers();
    }

    // An hour of reads is some 7200 points, far more than the plot has pixels: drawing them all would hold
    // the window up at each read.
    const int columns = std::max(kFewestColumns, int(temperatureCurve_.chart->plotArea().width()));
    drawRuns(temperatureCurve_, {thinned(temperatures, double(start), double(end - start), columns)});
    for (QList<QPointF>& run : levels)
        run = thinned(run, double(start), double(end - start), columns);
    drawRuns(radioCurve_, levels);
}

// What the page says of the readings, and what a screen reader hears of each curve.
void RegistersWindow::describeHistory()
{
    const int n = history_.size();
    readings_->setText((n > 1 ? T("%1 relevés de la dernière heure en mémoire.")
                              : T("%1 relevé de la dernière heure en mémoire."))
                           .arg(n));
    exportButton_->setEnabled(n > 0);
    if (n == 0) {
        for (Curve* c : {&temperatureCurve_, &radioCurve_})
            c->view->setAccessibleDescription(T("Aucun relevé."));
        return;
    }
    int16_t low = history_.at(0).sixteenths, high = low;
    uint8_t lowLevel = kMaxLevel + 1, highLevel = 0;
    for (int i = 0; i < n; ++i) {
        const RegisterSample& s = history_.at(i);
        low = std::min(low, s.sixteenths);
        high = std::max(high, s.sixteenths);
        if (s.hasLevel()) {
            lowLevel = std::min(lowLevel, s.level);
            highLevel = std::max(highLevel, s.level);
        }
    }
    const RegisterSample& latest = history_.at(n - 1);
    const QString summary = T("Dernière valeur %1 ; minimum %2 ; maximum %3.");
    temperatureCurve_.view->setAccessibleDescription(
        summary.arg(temperatureText(latest.sixteenths), temperatureText(low), temperatureText(high)));
    radioCurve_.view->setAccessibleDescription(
        history_.levelCount() == 0
            ? T("Aucun niveau reçu.")
            : summary.arg(levelText(latest.level), levelText(lowLevel), levelText(highLevel)));
}

void RegistersWindow::EXPORTER_CSV_Click()
{
    FileRequest request;
    request.title = T("Exporter les relevés des registres.");
    request.filter = T(kCsvFilter);
    request.initialDir = documentsFolder();
    request.fileName = QStringLiteral("registres.csv");
    request.save = true;
    const QString path = dialogs_.saveFile(request);
    if (path.isEmpty())
        return;
    // What was kept when the operator asked, whatever the reads that come while the dialog is up.
    const int n = history_.size();
    if (const FileError error = writeFileWhole(path, history_.csv().toUtf8()); error.failed()) {
        present(OperationResult::fileFailure(error), dialogs_, nullptr);
        return;
    }
    dialogs_.inform((n > 1 ? T("%1 relevés exportés.") : T("%1 relevé exporté.")).arg(n), MsgIcon::Information);
}

void RegistersWindow::Command2_Click()
{
    for (QLabel* label : {dateTrivo_, heureTrivo_, temperature_, dateDcf_, heureDcf_, niveau_})
        label->setText(kBlank);
    for (const char* grey : {"G1", "G2", "G3", "G4", "G5", "G6"})
        picture(grey)->show();
    for (const char* coloured : {"R1", "R2", "V1", "V2", "B1", "B2"})
        picture(coloured)->hide();
    // The icon Picture1(8), G7 and B7 keep their state.
    for (int k = 0; k < kLevelBars; ++k)
        picture1_[k]->hide();
    describeValues();
}

void RegistersWindow::Command1_Click()
{
    timer1_.stop();
    closeWindow(this);
}

void RegistersWindow::closeEvent(QCloseEvent* event)
{
    timer1_.stop();
    if (operations_->holdClose(event))
        return;
    QWidget::closeEvent(event);
}

void RegistersWindow::keyEvent(RemoteKey key, bool pressed)
{
    const RemoteKeyInfo& info = keyInfo(key);
    picture(info.coloured)->setVisible(pressed);
    describeValues();
    progressBar1_->show();
    progressBar1_->setMaximum(kProgressSteps);
    text1_->show();
    text1_->setText(QStringLiteral("..."));

    // Nothing is checked: the link reports a failed write itself.
    operations_->run<OperationResult>(
        [key, pressed](Exchanger& link, Progress&) { return sendKey(link, key, pressed); },
        [this](const OperationResult&) {
            if (operations_->running())
                return;  // the other half of the key is on its way
            progressBar1_->hide();
            text1_->hide();
            if (!current_)
                setCurrent(false);  // the values shown are still the old ones
        });
}

void RegistersWindow::G4_MouseDown() { keyEvent(RemoteKey::RedLed, true); }
void RegistersWindow::G4_MouseUp() { keyEvent(RemoteKey::RedLed, false); }
void RegistersWindow::G5_MouseDown() { keyEvent(RemoteKey::GreenLed, true); }
void RegistersWindow::G5_MouseUp() { keyEvent(RemoteKey::GreenLed, false); }
void RegistersWindow::G6_MouseDown() { keyEvent(RemoteKey::BlueLed, true); }
void RegistersWindow::G6_MouseUp() { keyEvent(RemoteKey::BlueLed, false); }
void RegistersWindow::G7_MouseDown() { keyEvent(RemoteKey::Buzzer, true); }
void RegistersWindow::G7_MouseUp() { keyEvent(RemoteKey::Buzzer, false); }

bool RegistersWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == frame5_) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show || event->type() == QEvent::FontChange
            || event->type() == QEvent::StyleChange)
            placeIndicators();
        return QWidget::eventFilter(watched, event);
    }
    const bool down = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    const bool up = event->type() == QEvent::MouseButtonRelease;
    if (!down && !up)
        return QWidget::eventFilter(watched, event);
    for (const RemoteKeyInfo& info : kRemoteKeys) {
        if (watched != picture(info.grey))
            continue;
        // Any mouse button; a double click's second press counts as a press so that every release
        // has one.
        keyEvent(info.key, down);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace trivo
