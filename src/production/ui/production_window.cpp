#include "production/ui/production_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "common/dialogs.h"
#include "common/language.h"
#include "common/main_services.h"
#include "common/ui/keyboard.h"
#include "common/ui/number_box.h"
#include "common/ui/theme.h"
#include "link/hidapi_transport.h"
#include "emulator/faults.h"
#include "journal/journal.h"
#include "production/emulated_line.h"
#include "production/lot_supply.h"
#include "production/station.h"
#include "production/ui/lot_panel.h"

namespace trivo {

using namespace production;

namespace {

constexpr quint32 kTrainingSeed = 1;
// Long enough for the picture's bar to be seen moving on a training line.
constexpr int kTrainingReplyDelayMs = 4;
// What a screen reader says of the controls whose caption does not say it, and of the counters.
const QString kModelName = FR("Configuration modèle");
const QString kPictureName = FR("Écran d'accueil");
const QString kLogName = FR("Journal de production");
const QString kChooseModelName = FR("Choisir la configuration modèle");
const QString kChoosePictureName = FR("Choisir l'écran d'accueil");
const QString kNoPictureName = FR("Aucun écran d'accueil");
const QString kChooseLogName = FR("Choisir le journal de production");
const QString kPlacesName = FR("Afficheurs côte à côte");
const QString kUnitsName = FR("Afficheurs émulés");
const QString kFaultyUnitName = FR("Afficheur en panne");
const QString kFaultName = FR("Panne de l'afficheur");
const QString kVerdictName = FR("Résultat");
const QString kStepName = FR("Étape en cours");
const QString kStepBarName = FR("Progression de l'étape");
const QString kLogLinesName = FR("Dernières lignes du journal");
const QString kUnitsCountName = FR("Nombre d'afficheurs");
const QString kPassedCountName = FR("Nombre de conformes");
const QString kFailedCountName = FR("Nombre d'échecs");
const QString kCounterDescription = FR("%1 : %2");
const QString kConfigFilter = FR("Config (*.config_CP);;Tous les fichiers (*)");
const QString kPictureFilter = FR("Images (*.bmp *.png);;Tous les fichiers (*)");
const QString kLogFilter = FR("Journal CSV (*.csv);;Tous les fichiers (*)");
// The verdicts the large panel shows; it is as wide as the widest of them from the start.
const QString kReadyVerdict = FR("PRÊT");
const QString kWaitingVerdict = FR("EN ATTENTE");
const QString kRunningVerdict = FR("EN COURS");
const QString kPassedVerdict = FR("CONFORME");
const QString kFailedVerdict = FR("ÉCHEC");

QFont sized(QFont font, int points, bool bold = false)
{
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

// A counter: its caption above, its number large enough to be read across the workshop.
QLabel* counter(QLayout* row, const QString& caption, const QString& name, const QString& spoken, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(0);
    auto* title = new QLabel(caption, frame);
    title->setAlignment(Qt::AlignCenter);
    title->setFont(sized(title->font(), 16));
    auto* number = new QLabel(frame);
    number->setObjectName(name);
    number->setAccessibleName(spoken);
    number->setProperty("caption", caption);
    number->setAlignment(Qt::AlignCenter);
    number->setFont(sized(number->font(), 40, true));
    column->addWidget(title);
    column->addWidget(number);
    row->addWidget(frame);
    return number;
}

// A log line as the operator reads it: time, unit, result and why.
QString readableLine(const UnitRecord& r)
{
    const QString time = r.startedAt.toString(QStringLiteral("HH:mm:ss"));
    if (r.passed)
        return T("%1   n° %2   conforme   %3 ms")
            .arg(time, QString::number(r.unit), QString::number(r.durationMs));
    return T("%1   n° %2   ÉCHEC (%3) : %4")
        .arg(time, QString::number(r.unit), T(stepName(r.failedStep)), r.shownReason());
}

}  // namespace

ProductionWindow::ProductionWindow(Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), main_(main)
{
    setObjectName(QStringLiteral("PRODUCTION"));
    setWindowTitle(T("Production en série"));
    buildControls();
    connect(&runner_, &LineRunner::unitStarted, this, &ProductionWindow::onUnitStarted);
    connect(&runner_, &LineRunner::stepStarted, this, &ProductionWindow::onStepStarted);
    connect(&runner_, &LineRunner::stepProgress, this, &ProductionWindow::onStepProgress);
    connect(&runner_, &LineRunner::unitFinished, this, &ProductionWindow::onUnitFinished);
    connect(&runner_, &LineRunner::finished, this, &ProductionWindow::onFinished);
    log_->setText(QDir::toNativeSeparators(defaultLogPath(false)));
    setPanel(Panel::Ready, T(kReadyVerdict), QString(), T("Choisissez le modèle, puis Démarrer."));
    refreshCounters();
    refreshButtons();
}

ProductionWindow::~ProductionWindow()
{
    // The line's signals must not reach a window being taken apart; the runner waits for its thread.
    disconnect(&runner_, nullptr, this, nullptr);
}

void ProductionWindow::buildControls()
{
    // The panel and counters need more height than a small screen's main window has: the window scrolls
    // rather than drawing them over one another.
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    // The controls inside take the focus; the area scrolls to the one that has it.
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidgetResizable(true);
    contents_ = new QWidget(scroll_);
    scroll_->setWidget(contents_);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(scroll_);
    auto* outer = new QVBoxLayout(contents_);
    outer->addWidget(buildFiles(contents_));
    lotPanel_ = new LotPanel(contents_);
    outer->addWidget(lotPanel_);
    outer->addWidget(buildTraining(contents_));
    buildVerdict(outer, contents_);
    buildProgress(outer, contents_);
    nameAndConnect();
}

QGroupBox* ProductionWindow::buildFiles(QWidget* parent)
{
    auto* files = new QGroupBox(T("Modèle"), parent);
    files->setObjectName(QStringLiteral("cadreModele"));
    auto* form = new QFormLayout(files);
    auto fileRow = [&](QLineEdit*& edit, const char* editName, QPushButton*& button, const char* buttonName) {
        auto* row = new QHBoxLayout;
        edit = new QLineEdit(files);
        edit->setObjectName(QString::fromLatin1(editName));
        edit->setReadOnly(true);
        button = new QPushButton(T("Choisir..."), files);
        button->setObjectName(QString::fromLatin1(buttonName));
        row->addWidget(edit, 1);
        row->addWidget(button);
        return row;
    };
    form->addRow(T("Configuration :"), fileRow(model_, "txtModele", modelButton_, "cmdModele"));
    QHBoxLayout* pictureRow = fileRow(picture_, "txtEcran", pictureButton_, "cmdEcran");
    noPictureButton_ = new QPushButton(T("Aucun"), files);
    noPictureButton_->setObjectName(QStringLiteral("cmdSansEcran"));
    pictureRow->addWidget(noPictureButton_);
    form->addRow(T("Écran d'accueil :"), pictureRow);
    form->addRow(T("Journal :"), fileRow(log_, "txtJournal", logButton_, "cmdJournal"));
    placesBox_ = new QSpinBox(files);
    placesBox_->setObjectName(QStringLiteral("nbParallele"));
    placesBox_->setRange(1, 8);
    placesBox_->setMaximumWidth(120);
    nameNumberBox(placesBox_, T("Afficheurs côte à côte :"));
    form->addRow(T("Afficheurs côte à côte :"), placesBox_);
    return files;
}

QGroupBox* ProductionWindow::buildTraining(QWidget* parent)
{
    trainingBox_ = new QGroupBox(T("Ligne émulée (formation)"), parent);
    trainingBox_->setObjectName(QStringLiteral("cadreFormation"));
    auto* trainingForm = new QFormLayout(trainingBox_);
    unitsBox_ = new QSpinBox(trainingBox_);
    unitsBox_->setObjectName(QStringLiteral("nbUnites"));
    unitsBox_->setRange(1, 9999);
    unitsBox_->setValue(10);
    unitsBox_->setMaximumWidth(120);
    nameNumberBox(unitsBox_, T("Afficheurs émulés :"));
    trainingForm->addRow(T("Afficheurs émulés :"), unitsBox_);
    auto* faultRow = new QHBoxLayout;
    faultyUnitBox_ = new QSpinBox(trainingBox_);
    faultyUnitBox_->setObjectName(QStringLiteral("uniteEnPanne"));
    faultyUnitBox_->setRange(0, 9999);
    faultyUnitBox_->setSpecialValueText(T("aucun"));
    faultyUnitBox_->setMaximumWidth(120);
    nameNumberBox(faultyUnitBox_, T("Afficheur en panne :"));
    faultBox_ = new QComboBox(trainingBox_);
    faultBox_->setObjectName(QStringLiteral("panneUnite"));
    for (const FaultInfo& info : faultCatalogue())
        faultBox_->addItem(faultCaption(info.fault), QString::fromLatin1(info.name));
    faultRow->addWidget(faultyUnitBox_);
    faultRow->addWidget(faultBox_, 1);
    trainingForm->addRow(T("Afficheur en panne :"), faultRow);
    trainingBox_->hide();
    return trainingBox_;
}

void ProductionWindow::buildVerdict(QVBoxLayout* outer, QWidget* parent)
{
    auto* buttons = new QHBoxLayout;
    startButton_ = new QPushButton(T("&Démarrer"), parent);
    startButton_->setObjectName(QStringLiteral("cmdDemarrer"));
    stopButton_ = new QPushButton(T("&Arrêter"), parent);
    stopButton_->setObjectName(QStringLiteral("cmdArreter"));
    for (QPushButton* b : {startButton_, stopButton_}) {
        b->setFont(sized(b->font(), 16, true));
        b->setMinimumHeight(48);
        buttons->addWidget(b);
    }
    outer->addLayout(buttons);

    panelFrame_ = new QFrame(parent);
    panelFrame_->setObjectName(QStringLiteral("cadreResultat"));
    panelFrame_->setAutoFillBackground(true);
    panelFrame_->setMinimumHeight(220);
    auto* panel = new QVBoxLayout(panelFrame_);
    unitLabel_ = new QLabel(panelFrame_);
    unitLabel_->setObjectName(QStringLiteral("lblUnite"));
    unitLabel_->setFont(sized(unitLabel_->font(), 20, true));
    resultLabel_ = new QLabel(panelFrame_);
    resultLabel_->setObjectName(QStringLiteral("lblResultat"));
    resultLabel_->setFont(sized(resultLabel_->font(), 64, true));
    int widest = 0;
    for (const QString& verdict : {kReadyVerdict, kWaitingVerdict, kRunningVerdict, kPassedVerdict, kFailedVerdict})
        widest = std::max(widest, resultLabel_->fontMetrics().horizontalAdvance(T(verdict)));
    // Rounded up: at a fractional scale the text's advance is not a whole number of pixels.
    resultLabel_->setMinimumWidth(widest + 2 * resultLabel_->margin() + 1);
    reasonLabel_ = new QLabel(panelFrame_);
    reasonLabel_->setObjectName(QStringLiteral("lblRaison"));
    reasonLabel_->setFont(sized(reasonLabel_->font(), 18));
    reasonLabel_->setWordWrap(true);
    for (QLabel* l : {unitLabel_, resultLabel_, reasonLabel_}) {
        l->setAlignment(Qt::AlignCenter);
        panel->addWidget(l);
    }
    outer->addWidget(panelFrame_, 2);
}

void ProductionWindow::buildProgress(QVBoxLayout* outer, QWidget* parent)
{
    auto* counters = new QHBoxLayout;
    unitsCount_ = counter(counters, T("Afficheurs"), QStringLiteral("lblAfficheurs"), T(kUnitsCountName), parent);
    passedCount_ = counter(counters, T("Conformes"), QStringLiteral("lblConformes"), T(kPassedCountName), parent);
    failedCount_ = counter(counters, T("En échec"), QStringLiteral("lblEchecs"), T(kFailedCountName), parent);
    outer->addLayout(counters);

    auto* step = new QHBoxLayout;
    stepLabel_ = new QLabel(parent);
    stepLabel_->setObjectName(QStringLiteral("lblEtape"));
    stepLabel_->setFont(sized(stepLabel_->font(), 16));
    stepBar_ = new QProgressBar(parent);
    stepBar_->setObjectName(QStringLiteral("barEtape"));
    stepBar_->setMinimumHeight(28);
    stepBar_->hide();
    step->addWidget(stepLabel_, 1);
    step->addWidget(stepBar_, 1);
    outer->addLayout(step);

    logLines_ = new QListWidget(parent);
    logLines_->setObjectName(QStringLiteral("lstJournal"));
    logLines_->setFont(sized(logLines_->font(), 13));
    logLines_->setMinimumHeight(150);
    outer->addWidget(logLines_, 1);
}

void ProductionWindow::nameAndConnect()
{
    const std::initializer_list<std::pair<QWidget*, const QString&>> names{
        {model_, kModelName},          {picture_, kPictureName},       {log_, kLogName},
        {modelButton_, kChooseModelName}, {pictureButton_, kChoosePictureName},
        {noPictureButton_, kNoPictureName}, {logButton_, kChooseLogName}, {placesBox_, kPlacesName},
        {unitsBox_, kUnitsName},       {faultyUnitBox_, kFaultyUnitName}, {faultBox_, kFaultName},
        {resultLabel_, kVerdictName},  {stepLabel_, kStepName},       {stepBar_, kStepBarName},
        {logLines_, kLogLinesName}};
    for (const auto& [widget, name] : names)
        widget->setAccessibleName(T(name));
    // A stray Échap never stops a running line: Arrêter does.
    closeOnEscape(this, [this] {
        if (!runner_.running())
            closeWindow(this);
    });

    connect(modelButton_, &QPushButton::clicked, this, &ProductionWindow::cmdModele_Click);
    connect(pictureButton_, &QPushButton::clicked, this, &ProductionWindow::cmdEcran_Click);
    connect(noPictureButton_, &QPushButton::clicked, this, &ProductionWindow::cmdSansEcran_Click);
    connect(logButton_, &QPushButton::clicked, this, &ProductionWindow::cmdJournal_Click);
    connect(startButton_, &QPushButton::clicked, this, &ProductionWindow::cmdDemarrer_Click);
    connect(stopButton_, &QPushButton::clicked, this, &ProductionWindow::cmdArreter_Click);
}

QSize ProductionWindow::sizeHint() const
{
    // With room for the scroll bar that a short main window shows beside the contents.
    return contents_->sizeHint() + QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 0);
}

void ProductionWindow::setTraining(bool on)
{
    // A training line keeps its own log; a log the operator chose stays.
    const QString shown = QDir::fromNativeSeparators(log_->text());
    if (shown == defaultLogPath(training_) && on != training_)
        log_->setText(QDir::toNativeSeparators(defaultLogPath(on)));
    training_ = on;
    trainingBox_->setVisible(on);
}

void ProductionWindow::setJournal(journal::Journal* journal)
{
    journal_ = journal;
    // The lots are kept with the journal: on its server when it has one, else in its database.
    if (journal)
        setLotSource(journal->databasePath(), journal->hasServer() ? journal::settingsServerUri() : QString());
}

void ProductionWindow::setLotSource(const QString& databasePath, const QString& serverUri)
{
    lotPanel_->setSource(databasePath, serverUri);
}

void ProductionWindow::setModelPath(const QString& path) { model_->setText(QDir::toNativeSeparators(path)); }
void ProductionWindow::setPicturePath(const QString& path) { picture_->setText(QDir::toNativeSeparators(path)); }
void ProductionWindow::setLogPath(const QString& path) { log_->setText(QDir::toNativeSeparators(path)); }
void ProductionWindow::setUnits(int units) { unitsBox_->setValue(units); }
void ProductionWindow::setPlaces(int places) { placesBox_->setValue(places); }

void ProductionWindow::setFaultyUnit(int unit, int faultIndex)
{
    faultyUnitBox_->setValue(unit);
    faultBox_->setCurrentIndex(faultIndex);
}

QString ProductionWindow::chooseFileToOpen(const QString& title, const QString& filter)
{
    FileRequest request;
    request.title = title;
    request.filter = filter;
    request.initialDir = main_.dialogFolder();
    return dialogs_.openFile(request);
}

void ProductionWindow::cmdModele_Click()
{
    const QString path = chooseFileToOpen(T("Modèle de la ligne de production"), T(kConfigFilter));
    if (!path.isEmpty())
        setModelPath(path);
}

void ProductionWindow::cmdEcran_Click()
{
    const QString path = chooseFileToOpen(T("Écran d'accueil de la ligne de production"), T(kPictureFilter));
    if (!path.isEmpty())
        setPicturePath(path);
}

void ProductionWindow::cmdSansEcran_Click() { picture_->clear(); }

void ProductionWindow::cmdJournal_Click()
{
    FileRequest request;
    request.title = T("Journal de la ligne de production");
    request.filter = T(kLogFilter);
    request.initialDir = QFileInfo(log_->text()).absolutePath();
    request.fileName = QFileInfo(log_->text()).fileName();
    request.save = true;
    // The journal is appended to, never replaced: choosing an existing one is not overwriting it.
    request.confirmOverwrite = false;
    const QString path = dialogs_.saveFile(request);
    if (!path.isEmpty())
        setLogPath(path);
}

bool ProductionWindow::cmdDemarrer_Click()
{
    if (runner_.running())
        return false;
    // A lot chosen is made from its revision, read when it was chosen; else the model file.
    const std::shared_ptr<LotSupply> lot = lotPanel_->chosenLot().isEmpty() ? nullptr : lotPanel_->supply();
    if (!lotPanel_->chosenLot().isEmpty() && !lot) {
        dialogs_.inform(lotPanel_->refusal().isEmpty() ? T("Le lot %1 est encore en lecture.").arg(lotPanel_->chosenLot())
                                                       : T("Lot %1 refusé : %2.").arg(lotPanel_->chosenLot(), lotPanel_->refusal()),
                        MsgIcon::Exclamation);
        return false;
    }
    if (!lot && model_->text().isEmpty()) {
        dialogs_.inform(T("Choisissez d'abord le fichier de configuration modèle."), MsgIcon::Exclamation);
        return false;
    }
    ModelLoad loaded;
    if (lot)
        loaded.model = *lot->model();
    else
        loaded = loadModel(QDir::fromNativeSeparators(model_->text()), QDir::fromNativeSeparators(picture_->text()));
    if (!loaded.ok()) {
        dialogs_.message(loaded.box);
        return false;
    }
    auto log = std::make_unique<ProductionLog>();
    QString why;
    if (!log->open(QDir::fromNativeSeparators(log_->text()), &why)) {
        dialogs_.inform(T("Le journal %1 ne peut pas être ouvert : %2").arg(log_->text(), T(why)),
                        MsgIcon::Exclamation);
        return false;
    }
    if (journal_) {
        if (const QString why = journal_->openError(); !why.isEmpty()) {
            dialogs_.inform(T("Le journal de service ne peut pas être ouvert : %1").arg(why),
                            MsgIcon::Exclamation);
            return false;
        }
    }
    places_ = placesBox_->value();
    std::unique_ptr<UnitSource> source;
    LineSettings settings;
    settings.places = places_;
    settings.journal = journal_;
    if (lot) {
        // The supply outlives the window's choice while the line runs.
        settings.takeUnit = [lot](const QString& id) { return lot->take(id); };
        settings.unitDone = [lot](const QString& id, bool passed) { lot->done(id, passed); };
    }
    if (training_) {
        EmulatedLineSettings emulated;
        emulated.units = unitsBox_->value();
        emulated.places = places_;
        emulated.seed = kTrainingSeed;
        emulated.replyDelayMs = virtualTime_ ? 0 : kTrainingReplyDelayMs;
        emulated.realTime = !virtualTime_;
        if (faultyUnitBox_->value() > 0)
            emulated.faults[faultyUnitBox_->value()] =
                FaultSpec{faultCatalogue()[std::size_t(faultBox_->currentIndex())].fault};
        source = std::make_unique<EmulatedLine>(emulated);
        settings.virtualTime = virtualTime_;
    } else {
        source = std::make_unique<UsbUnitSource>([] { return std::make_unique<HidapiTransport>(); });
        settings.claimDisplays = true;
        realLine_ = true;
        emit realDisplaysTaken(true);
    }
    units_ = passed_ = failed_ = 0;
    logLines_->clear();
    refreshCounters();
    setPanel(Panel::Ready, T(kWaitingVerdict), QString(), T("Branchez un afficheur."));
    runner_.start(loaded.model, std::move(log), std::move(source), settings);
    refreshButtons();
    lotPanel_->setRunning(true);
    // The verdict and the counters are what the operator watches while the line runs: in view.
    const QRect watched = panelFrame_->geometry().united(unitsCount_->parentWidget()->geometry());
    scroll_->ensureVisible(watched.center().x(), watched.center().y(), watched.width() / 2, watched.height() / 2);
    return true;
}

void ProductionWindow::cmdArreter_Click()
{
    runner_.stop();
    stepLabel_->setText(T("Arrêt après l'afficheur en cours..."));
}

void ProductionWindow::setPanel(Panel panel, const QString& title, const QString& unitText, const QString& reason)
{
    panel_ = panel;
    const theme::Face* face = &theme::kVerdictReady;
    switch (panel) {
    case Panel::Ready: break;
    case Panel::Running: face = &theme::kVerdictRunning; break;
    case Panel::Passed: face = &theme::kVerdictPassed; break;
    case Panel::Failed: face = &theme::kVerdictFailed; break;
    }
    for (QWidget* w : std::initializer_list<QWidget*>{panelFrame_, unitLabel_, resultLabel_, reasonLabel_})
        theme::paint(w, *face);
    resultLabel_->setText(title);
    unitLabel_->setText(unitText);
    reasonLabel_->setText(reason);
    QStringList said;
    for (const QString& part : {unitText, title, reason})
        if (!part.isEmpty())
            said << part;
    resultLabel_->setAccessibleDescription(said.join(QStringLiteral(", ")));
}

QString ProductionWindow::panelText() const { return resultLabel_->text(); }
QString ProductionWindow::reasonText() const { return reasonLabel_->text(); }

QStringList ProductionWindow::shownLogLines() const
{
    QStringList lines;
    for (int i = 0; i < logLines_->count(); ++i)
        lines << logLines_->item(i)->text();
    return lines;
}

void ProductionWindow::refreshCounters()
{
    for (auto [label, value] : {std::pair{unitsCount_, units_}, {passedCount_, passed_}, {failedCount_, failed_}}) {
        label->setNum(value);
        label->setAccessibleDescription(
            T(kCounterDescription).arg(label->property("caption").toString(), QString::number(value)));
    }
}

void ProductionWindow::refreshButtons()
{
    const bool running = runner_.running();
    startButton_->setEnabled(!running);
    stopButton_->setEnabled(running);
    for (QWidget* w : std::initializer_list<QWidget*>{modelButton_, pictureButton_, noPictureButton_, logButton_,
                                                      placesBox_, trainingBox_})
        w->setEnabled(!running);
    if (!running) {
        stepBar_->hide();
        stepLabel_->clear();
    }
}

void ProductionWindow::onUnitStarted(int, int unit, const QString& usbPath)
{
    // One display at a time: the panel says it is being worked on. Side by side, the last result stays
    // until the next one replaces it.
    if (places_ == 1)
        setPanel(Panel::Running, T(kRunningVerdict), T("Afficheur n° %1").arg(unit), usbPath);
}

void ProductionWindow::onStepStarted(int, int unit, const QString& caption)
{
    stepLabel_->setText(T("Afficheur n° %1 : %2").arg(QString::number(unit), T(caption)));
    stepBar_->hide();
}

void ProductionWindow::onStepProgress(int, int, int value, int maximum)
{
    stepBar_->setRange(0, maximum);
    stepBar_->setValue(value);
    stepBar_->show();
}

void ProductionWindow::onUnitFinished(int, const UnitRecord& record, const QString&)
{
    ++units_;
    ++(record.passed ? passed_ : failed_);
    refreshCounters();
    const QString unitText = T("Afficheur n° %1").arg(record.unit);
    if (record.passed)
        setPanel(Panel::Passed, T(kPassedVerdict), unitText, QString());
    else
        setPanel(Panel::Failed, T(kFailedVerdict), unitText,
                 T("%1 : %2").arg(T(stepCaption(record.failedStep)), record.shownReason()));
    auto* item = new QListWidgetItem(readableLine(record));
    item->setForeground((record.passed ? theme::kPassedLine : theme::kFailedLine).text.get());
    logLines_->insertItem(0, item);
    while (logLines_->count() > kShownLogLines)
        delete logLines_->takeItem(logLines_->count() - 1);
    stepBar_->hide();
    stepLabel_->clear();
    lotPanel_->refreshProgress();
}

void ProductionWindow::onFinished(const LineSummary& summary)
{
    refreshButtons();
    lotPanel_->setRunning(false);
    lotPanel_->refreshProgress();
    stepLabel_->setText(summary.note.isEmpty() ? summaryText(summary) : summaryText(summary) + QLatin1Char('\n') + summary.note);
    if (!summary.stopReason.isEmpty())
        dialogs_.inform(summary.stopShown, MsgIcon::Critical);
    if (realLine_) {
        realLine_ = false;
        emit realDisplaysTaken(false);
    }
    emit lineFinished(summary);
}

void ProductionWindow::closeEvent(QCloseEvent* event)
{
    runner_.stop();
    event->accept();
}

}  // namespace trivo
