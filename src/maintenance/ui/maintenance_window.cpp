#include "maintenance/ui/maintenance_window.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "common/dialogs.h"
#include "common/outcome.h"
#include "common/main_services.h"
#include "common/ui/keyboard.h"
#include "common/ui/twips.h"
#include "common/language.h"
#include "link/ui/window_operations.h"
#include "maintenance/recorded_firmware.h"
#include "link/display_owner.h"

namespace trivo {

namespace {
// The window's texts are kept in French and shown with T().
const QString kContinue = FR("Souhaitez-vous continuer?");
const QString kFormatTitle = FR("EEprom 24Cxx et RTC DS130x initialisé à &hFF.");
const QString kInitTitle = FR("Reconfigurer la version d'origine (sortie d'usine).");
const QString kUpdateTitle = FR("Nouvelle version du logiciel embarqué.");
const QString kOpeningText = FR("Ouverture de  fichier de mise à jour.");
const QString kConvertingText = FR("Conversion INTEL HEX en cours.");
const QString kInterruptedText = FR("Mise à jour interrompue.");
// Two lines, each translated: the translation files hold lines, not line ends.
const QString kNoImageLines[2] = {FR("Aucun fichier HEX n'a été lu dans cette fenêtre."),
                                  FR("Ouvrez d'abord le fichier de mise à jour avec « Ouvrir un HEX ».")};
const QString kNotConnectedText =
    FR("Le TRIVO_ZURED n'est pas connecté : la mise à jour ne peut pas démarrer.");
// What a screen reader says of the controls whose caption does not say it.
const QString kStateName = FR("État de l'opération");
const QString kProgressName = FR("Progression");
const QString kDumpName = FR("Vidage du fichier HEX");
const QString kScrollName = FR("Défilement du vidage");
const QString kFileName = FR("Fichier HEX");
// The two "Fermer" buttons: the window's, and the update area's that folds it away.
const QString kCloseWindowName = FR("Fermer la fenêtre");
const QString kCloseUpdateName = FR("Fermer la mise à jour");
constexpr int kReadProgressMaximum = kImageSize;
// The bar is painted at most this often during a transfer, so that painting never paces the reports.
constexpr int kProgressPaintIntervalMs = 40;

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    return b;
}
}  // namespace

// Progress of a file read or a transfer on ProgressBar1 and Label4, painted at once but not more often
// than the eye can follow.
class MaintenanceWindow::ProgressView : public Progress {
public:
    ProgressView(QProgressBar* bar, QLabel* label) : bar_(bar), label_(label) {}
    void begin(int maximum, const QString& text) override
    {
        maximum_ = maximum;
        bar_->setMaximum(maximum);
        bar_->setValue(0);
        bar_->show();
        if (!text.isNull())
            label_->setText(text);
        label_->repaint();
        sincePaint_.start();
    }
    void advance(int value, const QString&) override
    {
        last_ = std::min(value, maximum_);
        unpainted_ = value != 0 && value < maximum_ && sincePaint_.elapsed() < kProgressPaintIntervalMs;
        if (!unpainted_)
            paint();
    }
    void end() override
    {
        // The last position is always seen, however soon it came after the one before.
        if (unpainted_)
            paint();
        bar_->setValue(0);
        bar_->hide();
        label_->setText(QString());
    }

private:
    void paint()
    {
        bar_->setValue(last_);
        // The bar skips a change it deems too small to see, and the last one is hidden right after.
        bar_->repaint();
        sincePaint_.restart();
        unpainted_ = false;
    }

    QProgressBar* bar_;
    QLabel* label_;
    int maximum_ = 0;
    int last_ = 0;
    bool unpainted_ = false;
    QElapsedTimer sincePaint_;
};

MaintenanceWindow::MaintenanceWindow(DisplayOwner& owner, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent),
      owner_(owner),
      operations_(std::make_unique<WindowOperations>(*this, owner)),
      dialogs_(dialogs),
      main_(main)
{
    setObjectName(QStringLiteral("Fonction_SPE"));
    setWindowTitle(T("Fonctions spéciales de maintenances."));
    buildControls();
    nameControls();
    placeControls();
    connectControls();
    setHeightTwips(kShortHeightTwips);
}

MaintenanceWindow::~MaintenanceWindow() = default;

// The controls in the order they take the focus.
void MaintenanceWindow::buildControls()
{
    // The controls lie at fixed places on a panel of the window's two heights; where the main window has
    // less room than the tall one, the panel scrolls.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    // The controls inside take the focus; the area scrolls to the one that has it.
    scroll->setFocusPolicy(Qt::NoFocus);
    panel_ = new QWidget(scroll);
    scroll->setWidget(panel_);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(scroll);
    
    formate_ =
        button(panel_, "FORMATE", T("Formatage"),
               T("Ecrit dans l'EEPROM et la RTC du TRIVO-ALTEU les données vièrges(vous perdez tout vos picto)."));
    initialiser_ = button(panel_, "INITIALISER", T("Initialisation"),
                          T("Charge l'EEPROM et la RTC avec les valeurs initiales de démarrage."));
    maj_ = button(panel_, "Maj", T("Mise à jour"),
                  T("Mise à jour du programme PIC du trivo-alteur."));
    label4_ = new QLabel(panel_);
    label4_->setObjectName(QStringLiteral("Label4"));
    label4_->setAlignment(Qt::AlignCenter);
    butFerme_ = button(panel_, "but_ferme", T("Fermer"), T("Fermer."));
    progressBar1_ = new QProgressBar(panel_);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, kReadProgressMaximum);
    progressBar1_->setValue(0);
    progressBar1_->hide();
    annuler_ = button(panel_, "ANNULER", T("Annuler"), T("Arrêter la mise à jour."));
    annuler_->hide();
    flashView_ = std::make_unique<ProgressView>(progressBar1_, label4_);

    updateArea_ = new QWidget(panel_);
    updateArea_->setObjectName(QStringLiteral("updateArea"));
    text2_ = new QPlainTextEdit(updateArea_);
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setReadOnly(true);
    text2_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text2_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text2_->document()->setDocumentMargin(2);
    vScroll1_ = new QScrollBar(Qt::Vertical, updateArea_);
    vScroll1_->setObjectName(QStringLiteral("VScroll1"));
    vScroll1_->setRange(0, kDumpScrollMax);
    vScroll1_->setPageStep(kDumpLines);
    // The arrow and page keys scroll the dump as the mouse does.
    vScroll1_->setFocusPolicy(Qt::StrongFocus);
    vScroll1_->setAccessibleName(T("Défilement du contenu du fichier HEX"));
    txtFilename_ = new QLineEdit(updateArea_);
    txtFilename_->setObjectName(QStringLiteral("txt_Filename"));
    cmdOpenfile_ =
        button(updateArea_, "Cmd_Openfile", T("Ouvrir un HEX"), T("Ouvrir un fichier HEX."));
    cmdFlashOk_ = button(updateArea_, "CMD_Flash_OK", T("Démarrez la mise à jour"),
                         T("Opération de mise à jour du programme du TRIVO-ALTEU."));
    ferme_ = button(updateArea_, "FERME", T("Fermer"), T("Férmer."));
}

void MaintenanceWindow::nameControls()
{
    label4_->setAccessibleName(T(kStateName));
    progressBar1_->setAccessibleName(T(kProgressName));
    text2_->setAccessibleName(T(kDumpName));
    vScroll1_->setAccessibleName(T(kScrollName));
    txtFilename_->setAccessibleName(T(kFileName));
    butFerme_->setAccessibleName(T(kCloseWindowName));
    ferme_->setAccessibleName(T(kCloseUpdateName));
}

void MaintenanceWindow::placeControls()
{
    // Fixed places in twips, as the window folds by its height: the update area lies below the short height.
    constexpr int m = 120, gap = 150, full = kWidthTwips - 2 * m, third = (full - 2 * gap) / 3, scrollW = 255;
    place(formate_, m, 120, third, 420);
    place(initialiser_, m + third + gap, 120, third, 420);
    place(maj_, m + 2 * (third + gap), 120, third, 420);
    place(label4_, m, 600, full, 300);
    place(butFerme_, m, 960, full, 420);
    place(progressBar1_, m, 960, full, 420);
    place(annuler_, m + full - 1700, 960, 1700, 420);
    place(updateArea_, 0, 1440, kWidthTwips, kTallHeightTwips - 1440);
    place(text2_, m, 60, full - scrollW, 1620);
    place(vScroll1_, m + full - scrollW, 60, scrollW, 1620);
    place(txtFilename_, m, 1740, full, 300);
    // The middle caption is the longest of the bottom row.
    constexpr int side = 1700, middle = full - 2 * (side + gap);
    place(cmdOpenfile_, m, 2100, side, 390);
    place(cmdFlashOk_, m + side + gap, 2100, middle, 390);
    place(ferme_, m + side + gap + middle + gap, 2100, side, 390);

    // The eight dump lines must all show: the largest fixed-pitch size that fits the box.
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setStyleHint(QFont::TypeWriter);
    const int room = text2_->height() - 2 * text2_->frameWidth() - 4 - 2;
    for (int px = 14; px >= 8; --px) {
        mono.setPixelSize(px);
        if (QFontMetrics(mono).lineSpacing() * kDumpLines <= room)
            break;
    }
    text2_->setFont(mono);
}

void MaintenanceWindow::connectControls()
{
    // During an update the window stays: it would only close once the update has ended.
    closeOnEscape(this, [this] {
        if (!flashRunning())
            closeWindow();
    });
    connect(formate_, &QPushButton::clicked, this, &MaintenanceWindow::FORMATE_Click);
    connect(initialiser_, &QPushButton::clicked, this, &MaintenanceWindow::INITIALISER_Click);
    connect(maj_, &QPushButton::clicked, this, &MaintenanceWindow::Maj_Click);
    connect(butFerme_, &QPushButton::clicked, this, &MaintenanceWindow::but_ferme_Click);
    connect(ferme_, &QPushButton::clicked, this, &MaintenanceWindow::FERME_Click);
    connect(cmdOpenfile_, &QPushButton::clicked, this, &MaintenanceWindow::Cmd_Openfile_Click);
    connect(cmdFlashOk_, &QPushButton::clicked, this, &MaintenanceWindow::CMD_Flash_OK_Click);
    connect(annuler_, &QPushButton::clicked, this, &MaintenanceWindow::explainNoCancel);
    // An update is never queued behind another window's operation: its button is greyed meanwhile.
    connect(&owner_, &DisplayOwner::busyChanged, cmdFlashOk_, [this](bool busy) { cmdFlashOk_->setEnabled(!busy); });
    // valueChanged covers both the change and the live scroll of the thumb.
    connect(vScroll1_, &QScrollBar::valueChanged, this, &MaintenanceWindow::DUMP);
}

QSize MaintenanceWindow::sizeHint() const { return panel_->size(); }

void MaintenanceWindow::place(QWidget* w, int x, int y, int width, int height)
{
    w->setGeometry(twipsToPixels(x, this), twipsToPixels(y, this), twipsToPixels(width, this),
                   twipsToPixels(height, this));
}

void MaintenanceWindow::Form_Load() { setHeightTwips(kShortHeightTwips); }

void MaintenanceWindow::setHeightTwips(int twips)
{
    heightTwips_ = twips;
    // The update area is out of view in the short state; hiding it also keeps the focus out of it.
    updateArea_->setVisible(twips >= kTallHeightTwips);
    const QSize size(twipsToPixels(kWidthTwips, this), twipsToPixels(twips, this));
    panel_->setFixedSize(size);
    setMaximumSize(size);
    resize(size);
    updateGeometry();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->adjustSize();
}

void MaintenanceWindow::closeWindow() { trivo::closeWindow(this); }

void MaintenanceWindow::FORMATE_Click()
{
    if (!dialogs_.confirm(T(kContinue), MsgIcon::Critical, T(kFormatTitle)))
        return;
    progressBar1_->hide();
    butFerme_->show();
}

void MaintenanceWindow::INITIALISER_Click()
{
    if (dialogs_.confirm(T(kContinue), MsgIcon::Critical, T(kInitTitle)))
        closeWindow();
}

void MaintenanceWindow::Maj_Click()
{
    if (dialogs_.confirm(T(kContinue), MsgIcon::Question, T(kUpdateTitle)))
        setHeightTwips(kTallHeightTwips);
}

void MaintenanceWindow::FERME_Click() { setHeightTwips(kShortHeightTwips); }

void MaintenanceWindow::but_ferme_Click() { closeWindow(); }

void MaintenanceWindow::DUMP()
{
    dump_ = trivo::dumpText(image_, vScroll1_->value());
    QString shown = dump_;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.chop(1);  // no empty ninth line
    text2_->setPlainText(shown);
}

void MaintenanceWindow::Cmd_Openfile_Click()
{
    label4_->setText(T(kOpeningText));
    progressBar1_->setValue(0);

    FileRequest request;
    request.filter = T("Fichier (*.HEX)");
    request.filterIndex = 1;
    request.initialDir = main_.dialogFolder();
    const QString fileName = dialogs_.openFile(request);
    if (fileName.isEmpty()) {
        // Cancelled: the image and the name read before stay as they were.
        label4_->setText(QString());
        return;
    }

    butFerme_->hide();
    label4_->setText(T(kConvertingText));

    ProgressView view(progressBar1_, label4_);
    // A refused file changes nothing: the image, its dump, its name and whether it may be flashed stay.
    const HexReadResult result = readIntelHexFile(fileName, image_, view);
    butFerme_->show();
    if (!result.ok()) {
        present(OperationResult::fileFailure(result.error), dialogs_, nullptr);
        return;
    }
    txtFilename_->setText(fileName);
    imageLoaded_ = true;
    DUMP();
}

void MaintenanceWindow::CMD_Flash_OK_Click()
{
    if (!imageLoaded_) {
        dialogs_.inform(T(kNoImageLines[0]) + QStringLiteral("\r\n") + T(kNoImageLines[1]), MsgIcon::Exclamation,
                        T(kFlashTitle));
        return;
    }
    // A display that does not answer gets its one try from the transfer; one that is away cannot be updated.
    if (owner_.state() != LinkState::Connected && owner_.state() != LinkState::NotAnswering) {
        dialogs_.inform(T(kNotConnectedText), MsgIcon::Exclamation, T(kFlashTitle));
        return;
    }
    // From the confirmation on (its box lets timers run) nothing but the transfer reaches the display: in
    // its update mode it takes every report as firmware.
    const DisplayOwner::Reservation reserved(owner_);
    if (!dialogs_.confirm(T("VOULEZ-VOUS VRAIMENT CONTINUER LA MAJ ?"), MsgIcon::Critical, T(kFlashTitle)))
        return;

    showFlashing(true);
    journal::Journal* journal = main_.serviceJournal();
    operations_->run<journal::Recorded<FlashResult>>(
        [image = image_, journal, file = txtFilename_->text()](Exchanger& link, Progress& progress) {
            return flashFirmwareRecorded(link, image, file, {journal, &progress, {}});
        },
        [this](const journal::Recorded<FlashResult>& run) {
            showFlashing(false);
            lastFlash_ = run.result;
            if (run.refusal)  // nothing was sent: the journal's box, and the update not done
                static_cast<OperationResult&>(lastFlash_) = *run.refusal;
            journal::noteMissingRecord(lastFlash_, run.missing);
            label4_->setText(T(lastFlash_.completed ? kFlashDoneText : kInterruptedText));
            present(lastFlash_, dialogs_, nullptr);
        },
        flashView_.get());
}

bool MaintenanceWindow::flashRunning() const { return operations_->running(); }

void MaintenanceWindow::showFlashing(bool flashing)
{
    butFerme_->setVisible(!flashing);
    annuler_->setVisible(flashing);
    // The bar leaves room for the button beside it while the update runs.
    const QRect row = butFerme_->geometry();
    progressBar1_->setGeometry(row.x(), row.y(),
                               flashing ? annuler_->x() - row.x() - twipsToPixels(150, this) : row.width(),
                               row.height());
    for (QPushButton* b : {cmdOpenfile_, ferme_})
        b->setEnabled(!flashing);
}

void MaintenanceWindow::explainNoCancel() { dialogs_.inform(T(kFlashNotCancellableText), MsgIcon::Information, T(kFlashTitle)); }

void MaintenanceWindow::closeEvent(QCloseEvent* event)
{
    // The update goes to its end; the window closes after it.
    if (operations_->holdClose(event)) {
        label4_->setText(T(kFlashNotCancellableText));
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace trivo
