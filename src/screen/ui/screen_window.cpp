#include "screen/ui/screen_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFont>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "common/outcome.h"
#include "common/tool_settings.h"
#include "common/ui/keyboard.h"
#include "common/ui/theme.h"
#include "link/ui/window_operations.h"
#include "screen/recorded_screen.h"
#include "link/commands.h"
#include "link/display_owner.h"

namespace trivo {

namespace {

// Each preview pixel is shown as a square of this many screen pixels.
constexpr int kPreviewZoom = 3;

// What a screen reader calls the preview and the progress box.
const QString kPreviewName = FR("Aperçu de l'écran d'accueil");
const QString kProgressName = FR("Avancement du transfert");

// Picture1: shows the preview enlarged without smoothing, so that every dot stays a sharp square.
class PicturePreview : public QWidget {
public:
    PicturePreview(const HomeScreenPicture& picture, QWidget* parent) : QWidget(parent), picture_(picture)
    {
        setObjectName(QStringLiteral("Picture1"));
        setAccessibleName(T(kPreviewName));
        setFixedSize(kScreenWidth * kPreviewZoom, kScreenHeight * kPreviewZoom);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rect(), picture_.image());
    }

private:
    const HomeScreenPicture& picture_;
};

QPushButton* makeButton(const QString& name, const QString& caption, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

void keepPlaceWhenHidden(QWidget* w)
{
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

enum class Transfer { Send, Read, Clear };

// "Blocs reçus par l'afficheur : 10 sur 60 ; le bloc 11 est le premier resté sans réponse." Blocks are
// counted from 1 for the operator.
QString blocksLine(const ScreenTransfer& t, bool sent)
{
    const QString line = t.firstLostBlock < 0
        ? (sent ? T("Blocs reçus par l'afficheur : %1 sur %2.") : T("Blocs reçus de l'afficheur : %1 sur %2."))
        : (sent ? T("Blocs reçus par l'afficheur : %1 sur %2 ; le bloc %3 est le premier resté sans réponse.")
                : T("Blocs reçus de l'afficheur : %1 sur %2 ; le bloc %3 est le premier resté sans réponse."));
    return t.firstLostBlock < 0 ? line.arg(t.blocksAnswered).arg(commands::kScreenBlocks)
                                : line.arg(t.blocksAnswered).arg(commands::kScreenBlocks).arg(t.firstLostBlock + 1);
}

// The box for a transfer that did not complete: the procedure's own sentence, how far it went, and what
// the preview holds now.
MessageRequest notCompletedBox(const ScreenTransfer& t, Transfer transfer)
{
    MessageRequest box = t.box;
    QStringList lines{t.box.text};
    switch (transfer) {
    case Transfer::Send:
        lines << blocksLine(t, true) << T("Vérifiez la liaison puis recommencez l'envoi.");
        break;
    case Transfer::Read:
        if (t.clearLost)
            lines << T(kScreenClearLostText);
        lines << blocksLine(t, false) << T("L'aperçu garde l'image qu'il montrait avant la lecture.");
        break;
    case Transfer::Clear:
        lines << T("L'afficheur n'a pas répondu : son écran n'est peut-être pas effacé.")
              << T("L'aperçu garde son image.");
        break;
    }
    box.text = lines.join(QStringLiteral("\r\n"));
    return box;
}

}  // namespace

QImage ScreenWindow::welcomePicture()
{
    QImage image(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setPen(Qt::white);
        p.drawRect(1, 1, kScreenWidth - 3, kScreenHeight - 3);
        QFont title(QStringLiteral("DejaVu Sans"));
        title.setStyleStrategy(QFont::NoAntialias);
        title.setPixelSize(24);
        title.setBold(true);
        p.setFont(title);
        p.drawText(QRect(0, 6, kScreenWidth, 30), Qt::AlignCenter, QStringLiteral("TRIVO ZURED"));
        QFont sub = title;
        sub.setPixelSize(12);
        sub.setBold(false);
        p.setFont(sub);
        p.drawText(QRect(0, 36, kScreenWidth, 20), Qt::AlignCenter, QStringLiteral("Compteur - Totaliseur"));
    }
    // Whatever the font engine did, the picture is strictly black and white.
    for (int y = 0; y < kScreenHeight; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kScreenWidth; ++x)
            row[x] = qGray(row[x]) >= 128 ? 0xFFFFFFFFu : 0xFF000000u;
    }
    return image;
}

ScreenWindow::ScreenWindow(DisplayOwner& owner, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent), operations_(std::make_unique<WindowOperations>(*this, owner)), dialogs_(dialogs), main_(main)
{
    setObjectName(QStringLiteral("ECRAN_ACCEUIL"));
    setWindowTitle(T("Chargez un écran de présentation."));

    picture_.place(welcomePicture());
    picture1_ = new PicturePreview(picture_, this);

    ouvrir_ = makeButton(QStringLiteral("OUVRIR"), T("Ouvrir"),
                         T("Ouvrir une image BMP 16 couleurs (seulement le blanc et le bleu utilisé) "
                           "en 240 par 64 pixels."),
                         this);
    lire_ = makeButton(QStringLiteral("but_RD_HID_ECR"), T("Lire "), T("Lit l'écran d'acceuil du TRIVO ALTEUR."), this);
    envoi_ = makeButton(QStringLiteral("but_WR_HID_ECR"), T("Envoi"), T("Envoi l'écran d'acceuil au TRIVO ALTEUR."), this);
    effacer_ = makeButton(QStringLiteral("Command2"), T("Effacer"), T("Efface l'écran ci-dessus."), this);
    fermer_ = makeButton(QStringLiteral("Command1"), T("Fermer la fenêtre"), QString(), this);
    annuler_ = makeButton(QStringLiteral("ANNULER"), T("Annuler"), T("Arrête l'envoi ou la lecture entre deux blocs."),
                          this);
    annuler_->hide();

    text1_ = new QLineEdit(QStringLiteral("..."), this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(T(kProgressName));
    text1_->setReadOnly(true);
    text1_->setAlignment(Qt::AlignCenter);
    text1_->setFixedWidth(text1_->fontMetrics().horizontalAdvance(QStringLiteral("100 %")) + 24);
    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, kScreenProgressMaximum);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    for (QWidget* w : {static_cast<QWidget*>(text1_), static_cast<QWidget*>(progressBar1_),
                       static_cast<QWidget*>(fermer_), static_cast<QWidget*>(annuler_)})
        keepPlaceWhenHidden(w);

    // The progress sits between the transfer buttons and the close button, keeping its place when hidden.
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {ouvrir_, lire_, envoi_, effacer_})
        buttons->addWidget(b);
    buttons->addSpacing(8);
    buttons->addWidget(text1_);
    buttons->addWidget(progressBar1_, 1);
    buttons->addWidget(annuler_);
    buttons->addSpacing(8);
    buttons->addWidget(fermer_);
    // Tab follows the row: the progress and "Annuler" come before the close button.
    setTabOrder(effacer_, text1_);
    setTabOrder(text1_, annuler_);
    setTabOrder(annuler_, fermer_);

    readBack_ = new QLabel(this);
    readBack_->setObjectName(QStringLiteral("LBL_RELECTURE"));
    readBack_->setWordWrap(true);
    readBack_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture1_, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    layout->addWidget(readBack_);

    connect(ouvrir_, &QPushButton::clicked, this, &ScreenWindow::OUVRIR_Click);
    connect(lire_, &QPushButton::clicked, this, &ScreenWindow::but_RD_HID_ECR_Click);
    connect(envoi_, &QPushButton::clicked, this, &ScreenWindow::but_WR_HID_ECR_Click);
    connect(effacer_, &QPushButton::clicked, this, &ScreenWindow::Command2_Click);
    connect(fermer_, &QPushButton::clicked, this, &ScreenWindow::Command1_Click);
    connect(annuler_, &QPushButton::clicked, this, &ScreenWindow::cancelTransfer);
    connect(&owner, &DisplayOwner::busyChanged, this, &ScreenWindow::showBusy);
    closeOnEscape(this);
}

ScreenWindow::~ScreenWindow() = default;

template <class Result>
void ScreenWindow::transfer(std::function<Result(Exchanger&, Progress&)> work, std::function<void(const Result&)> done)
{
    annuler_->setEnabled(true);
    annuler_->show();
    operations_->run<Result>(std::move(work),
                             [this, done = std::move(done)](const Result& result) {
                                 annuler_->hide();
                                 done(result);
                             },
                             this);
}

bool ScreenWindow::transferRunning() const { return operations_->running(); }

void ScreenWindow::cancelTransfer()
{
    annuler_->setEnabled(false);
    operations_->cancel();
}

void ScreenWindow::closeEvent(QCloseEvent* event)
{
    if (operations_->holdClose(event))
        return;
    QWidget::closeEvent(event);
}

// While the display is busy, the buttons that would ask it for more are greyed.
void ScreenWindow::showBusy(bool busy)
{
    for (QPushButton* b : {lire_, envoi_, effacer_})
        b->setEnabled(!busy);
}

void ScreenWindow::Form_Load()
{
    progressBar1_->hide();
    text1_->hide();
}

void ScreenWindow::doteur(QRgb colour)
{
    picture_.doteur(colour);
    picture1_->update();
}

void ScreenWindow::OUVRIR_Click()
{
    // The program's folder becomes the current one, as for the other file commands; a failure to change
    // folder does not stop the import.
    if (!main_.programFolder().isEmpty())
        QDir::setCurrent(main_.programFolder());
    FileRequest request;
    request.title = T(kScreenOpenTitle);
    request.filter = T(kScreenOpenFilter);
    request.filterIndex = 1;
    // The operator's pictures are among the documents, not beside the program.
    request.initialDir = main_.dialogFolder();
    const QString path = dialogs_.openFile(request);
    if (path.isEmpty())
        return;  // cancelled
    const OperationResult imported = importPicture(path, picture_);
    present(imported, dialogs_, nullptr);
    if (imported.ok()) {
        pictureFile_ = path;
        previewChanged();
    }
}

void ScreenWindow::but_WR_HID_ECR_Click()
{
    const HomeScreenPicture picture = picture_;
    const bool verify = tool_settings::isOn(tool_settings::kVerifyScreenAfterSend);
    journal::Journal* journal = main_.serviceJournal();
    const QString file = pictureFile_;
    transfer<journal::Recorded<SendAndCheck>>(
        [picture, verify, journal, file](Exchanger& link, Progress& progress) {
            return sendHomeScreenRecorded(link, picture, file, verify, {journal, &progress, {}});
        },
        [this, verify](const journal::Recorded<SendAndCheck>& run) {
            if (run.refusal) {
                dialogs_.message(run.refusal->box);
                return;
            }
            SendAndCheck r = run.result;
            journal::noteMissingRecord(r.sent, run.missing);
            if (r.sent.ok() && !r.sent.box.text.isEmpty())
                dialogs_.message(r.sent.box);  // the journal's word: the record missing
            if (r.sent.outcome == Outcome::Cancelled) {
                if (verify)
                    showReadBack(T("%1 Rien n'a été relu.").arg(T(r.sent.box.text)), false);
                dialogs_.message(r.sent.box);
                return;
            }
            if (!verify) {
                readBack_->hide();
                if (!r.sent.ok())
                    dialogs_.message(notCompletedBox(r.sent, Transfer::Send));
                return;
            }
            if (!r.sent.ok()) {
                // The window shows its final state behind the box.
                showReadBack(T("%1 Rien n'a été relu.").arg(T(r.sent.box.text)), false);
                dialogs_.message(notCompletedBox(r.sent, Transfer::Send));
                return;
            }
            const ScreenCheck& check = r.check;
            showReadBack(check.ok() ? T(check.status)
                             : check.firstDifference >= 0
                             ? check.box.text
                             : T("Relecture impossible, rien n'est vérifié : %1").arg(T(check.box.text)),
                         check.ok());
        });
}

QString ScreenWindow::readBackText() const { return readBack_->text(); }
bool ScreenWindow::readBackShown() const { return !readBack_->isHidden(); }

void ScreenWindow::showReadBack(const QString& text, bool good)
{
    readBack_->setText(text);
    // Green or red on a tint of its own, readable on either palette; the words say it too.
    theme::paint(readBack_, good ? theme::kAgrees : theme::kDiffers);
    QFont font = readBack_->font();
    font.setBold(true);
    readBack_->setFont(font);
    readBack_->show();
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->adjustSize();
}

namespace {
// A transfer that changes the preview: the result and the picture it leaves.
struct PictureTransfer {
    ScreenTransfer transfer;
    HomeScreenPicture picture;
};
// A clear, recorded, and the picture it leaves.
struct PictureClear {
    journal::Recorded<ScreenTransfer> run;
    HomeScreenPicture picture;
};
}  // namespace

void ScreenWindow::but_RD_HID_ECR_Click()
{
    const HomeScreenPicture before = picture_;
    // The display's screen is cleared first: the preview is white until the blocks are in.
    picture_.fill(kScreenWhite);
    previewChanged();
    transfer<PictureTransfer>(
        [before](Exchanger& link, Progress& progress) {
            PictureTransfer r{{}, before};
            r.transfer = readHomeScreen(link, r.picture, progress);
            return r;
        },
        [this](const PictureTransfer& r) {
            picture_ = r.picture;
            previewChanged();
            if (r.transfer.outcome == Outcome::Cancelled)
                dialogs_.message(r.transfer.box);
            else if (!r.transfer.ok())
                dialogs_.message(notCompletedBox(r.transfer, Transfer::Read));
        });
}

void ScreenWindow::Command2_Click()
{
    const HomeScreenPicture before = picture_;
    picture_.fill(kScreenWhite);
    previewChanged();
    journal::Journal* journal = main_.serviceJournal();
    transfer<PictureClear>(
        [before, journal](Exchanger& link, Progress& progress) {
            PictureClear r{{}, before};
            r.run = clearHomeScreenRecorded(link, r.picture, {journal, &progress, {}});
            return r;
        },
        [this](const PictureClear& r) {
            picture_ = r.picture;
            previewChanged();
            if (r.run.refusal) {
                dialogs_.message(r.run.refusal->box);
                return;
            }
            ScreenTransfer cleared = r.run.result;
            journal::noteMissingRecord(cleared, r.run.missing);
            if (cleared.outcome == Outcome::Cancelled || cleared.outcome == Outcome::Refused
                || (cleared.ok() && !cleared.box.text.isEmpty()))
                dialogs_.message(cleared.box);
            else if (!cleared.ok())
                dialogs_.message(notCompletedBox(cleared, Transfer::Clear));
        });
}

void ScreenWindow::Command1_Click() { closeWindow(this); }

void ScreenWindow::begin(int maximum, const QString& text)
{
    progressBar1_->setMaximum(maximum);
    if (!text.isNull())
        text1_->setText(text);
    setProgressVisible(true);
}

void ScreenWindow::advance(int value, const QString& text)
{
    progressBar1_->setValue(value);
    if (!text.isNull())
        text1_->setText(text);
}

void ScreenWindow::end() { setProgressVisible(false); }

void ScreenWindow::setProgressVisible(bool visible)
{
    progressBar1_->setVisible(visible);
    text1_->setVisible(visible);
}

void ScreenWindow::previewChanged() { picture1_->update(); }

}  // namespace trivo
