#include "shell/usb_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "common/language.h"
#include "common/ui/keyboard.h"
#include "common/ui/theme.h"
#include "common/ui/twips.h"
#include "link/display_owner.h"
#include "link/link_state.h"
#include "link/usb_model.h"

namespace trivo {

namespace {
// What a screen reader says of the window's controls.
const QString kStatusName = FR("État de la liaison");
const QString kExchangeName = FR("Échange en cours");
const QString kByteName = FR("Octet %1");
const QString kFillByteName = FR("Octet %1 (remplissage)");
const QString kDiagnosticsName = FR("Journal des échanges");
}  // namespace

UsbWindow::UsbWindow(DisplayOwner& owner, QWidget* parent)
    : QWidget(parent), owner_(owner), model_(std::make_unique<UsbModel>())
{
    setObjectName(QStringLiteral("USB"));
    setWindowTitle(QStringLiteral("USB"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    label3_ = new QLabel(this);
    label3_->setObjectName(QStringLiteral("Label3"));
    label3_->setAutoFillBackground(true);
    label3_->setFont(QFont(QStringLiteral("Arial"), 9));
    // Each state's text on one line; a longer one (who holds the display, why it cannot be opened) wraps.
    label3_->setWordWrap(true);
    int stateWidth = twipsToPixels(5055, this);
    for (const QString& text : {kWaitingText, kConnectedText, kNotAnsweringText})
        stateWidth = std::max(stateWidth, int(std::ceil(QFontMetricsF(label3_->font()).horizontalAdvance(T(text)))));
    label3_->setMinimumSize(stateWidth + 4, twipsToPixels(330, this));
    label3_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label3_->setAccessibleName(T(kStatusName));
    theme::paint(label3_, theme::kLinkUnknown);
    top->addWidget(label3_, 1);
    toggle_ = new QPushButton(T("Détails"), this);
    toggle_->setObjectName(QStringLiteral("DETAILS"));
    toggle_->setToolTip(T("Journal et tampon des échanges (maintenance)."));
    toggle_->setCheckable(true);
    top->addWidget(toggle_);
    layout->addLayout(top);

    details_ = new QWidget(this);
    auto* dl = new QVBoxLayout(details_);
    dl->setContentsMargins(0, 0, 0, 0);

    auto* buttons = new QHBoxLayout;
    label4_ = new QLabel(details_);
    label4_->setObjectName(QStringLiteral("Label4"));
    label4_->setAutoFillBackground(true);
    // One width whatever it says: the buttons beside it stay where they are at every exchange (moving
    // them left pixels of the old text behind at fractional scales).
    int progressWidth = 140;
    for (const QString& text : {kLabel4SentText, kLabel4RefusedText})
        progressWidth = std::max(progressWidth, label4_->fontMetrics().horizontalAdvance(T(text)) + 8);
    label4_->setFixedWidth(progressWidth);
    label4_->setAccessibleName(T(kExchangeName));
    buttons->addWidget(label4_);
    auto* wr = new QPushButton(T("Envoi"), details_);
    wr->setObjectName(QStringLiteral("but_WR_HID"));
    wr->setToolTip(T("Envoi des paramètres couleur au panneau."));
    auto* rd = new QPushButton(T("Lire "), details_);
    rd->setObjectName(QStringLiteral("but_RD_HID"));
    rd->setToolTip(T("Lecture EEPROM du panneau."));
    auto* clear = new QPushButton(T("efface"), details_);
    clear->setObjectName(QStringLiteral("but_CLEAR_HID"));
    auto* quit = new QPushButton(T("Quitter"), details_);
    quit->setObjectName(QStringLiteral("Command1"));
    for (auto* b : {wr, rd, clear, quit})
        buttons->addWidget(b);
    buttons->addStretch();
    dl->addLayout(buttons);

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const auto hex = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), this);
    for (int i = 0; i <= 64; ++i) {
        auto* edit = new QLineEdit(details_);
        edit->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        edit->setValidator(hex);
        edit->setFixedWidth(30);
        edit->setAlignment(Qt::AlignCenter);
        edit->setToolTip(T(kByteName).arg(i));
        edit->setAccessibleName(T(i == 64 ? kFillByteName : kByteName).arg(i));
        if (i == 64)
            edit->setReadOnly(true);
        grid->addWidget(edit, i / 16, i % 16);
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& t) {
            model_->apply(LinkEvent(BufferEdit{i, t}));
            owner_.editBuffer(i, t);
        });
        text1_.append(edit);
    }
    dl->addLayout(grid);

    lstResults_ = new QListWidget(details_);
    lstResults_->setObjectName(QStringLiteral("lstResults"));
    lstResults_->setMinimumHeight(160);
    lstResults_->setFont(QFont(QStringLiteral("Monospace"), 8));
    lstResults_->setAccessibleName(T(kDiagnosticsName));
    dl->addWidget(lstResults_, 1);
    layout->addWidget(details_, 1);
    details_->hide();

    connect(toggle_, &QPushButton::toggled, this, &UsbWindow::setDetailsShown);
    // The technician's buttons are operations: each gives a display that stopped answering one try. The
    // request is the buffer as it stands: it sets no byte of its own.
    connect(wr, &QPushButton::clicked, this, [this] {
        owner_.run<Reply>(this, [](Exchanger& link, Progress&) { return link.send(Request()); }, {});
    });
    connect(rd, &QPushButton::clicked, this, [this] {
        owner_.run<Reply>(this, [](Exchanger& link, Progress&) { return link.ask(Request()); }, {});
    });
    connect(clear, &QPushButton::clicked, this, [this] { owner_.clearBuffer(); });
    connect(quit, &QPushButton::clicked, this, &UsbWindow::Command1_Click);
    connect(&owner_, &DisplayOwner::busyChanged, this, [wr, rd](bool busy) {
        wr->setEnabled(!busy);
        rd->setEnabled(!busy);
    });

    // Échap folds the technician's view away, or puts the window back among the icons.
    closeOnEscape(this, [this] {
        if (detailsShown())
            setDetailsShown(false);
        else if (auto* frame = parentWidget())
            frame->showMinimized();
    });

    connect(&owner_, &DisplayOwner::label3Changed, this, &UsbWindow::refreshLabel3);
    connect(&owner_, &DisplayOwner::eventsReady, this, &UsbWindow::takeEvents);
    owner_.setWatched(DisplayOwner::Watch::Exchanges);
    refreshLabel3();
}

UsbWindow::~UsbWindow() { owner_.setWatched(DisplayOwner::Watch::Nothing); }

void UsbWindow::Command1_Click()
{
    owner_.CloseLink();
    if (exitHandler_)
        exitHandler_();
}

void UsbWindow::setDetailsShown(bool shown)
{
    if (toggle_->isChecked() != shown)
        toggle_->setChecked(shown);
    const bool was = !details_->isHidden();
    details_->setVisible(shown);
    if (shown && !was) {
        // The buffer and Label4 are already as the last exchange left them; its log comes with the replay.
        model_->clearDiagnostics();
        owner_.setWatched(DisplayOwner::Watch::Everything);
    } else if (!shown && was) {
        owner_.setWatched(DisplayOwner::Watch::Exchanges);
    }
    refreshLabel4();
    refreshBuffer();
    refreshDiagnostics();
    adjustSize();
    if (auto* frame = parentWidget())
        frame->adjustSize();
}

void UsbWindow::takeEvents()
{
    const std::vector<LinkEvent> events = owner_.takeEvents();
    if (events.empty())
        return;
    for (const LinkEvent& event : events)
        model_->apply(event);
    refreshLabel4();
    refreshBuffer();
    if (detailsShown())
        refreshDiagnostics();
}

bool UsbWindow::detailsShown() const { return !details_->isHidden(); }  // also while the window is hidden

void UsbWindow::refreshLabel3()
{
    switch (owner_.state()) {
    case LinkState::Unknown: theme::paint(label3_, theme::kLinkUnknown); break;
    case LinkState::Waiting: theme::paint(label3_, theme::kLinkWaiting); break;
    case LinkState::Connected: theme::paint(label3_, theme::kLinkConnected); break;
    case LinkState::NotAnswering: theme::paint(label3_, theme::kLinkNotAnswering); break;
    }
    label3_->setText(owner_.label3Text());
    // A text that wraps to more lines than the window has room for makes the window taller.
    auto* frame = parentWidget();
    if (label3_->heightForWidth(label3_->width()) > label3_->height() && !(frame && frame->isMinimized())) {
        adjustSize();
        if (frame)
            frame->adjustSize();
    }
}

void UsbWindow::refreshLabel4()
{
    const theme::Face* face = &theme::kExchangeIdle;  // also before the first exchange
    switch (model_->label4Color()) {
    case ProgressColour::Unset:
    case ProgressColour::White: break;
    case ProgressColour::Yellow: face = &theme::kExchangeWriting; break;
    case ProgressColour::Green: face = &theme::kExchangeAnswered; break;
    }
    // Setting a palette costs even when it does not change.
    if (face != label4Painted_) {
        theme::paint(label4_, *face);
        label4Painted_ = face;
    }
    label4_->setText(T(model_->label4Text()));
}

void UsbWindow::refreshBuffer()
{
    for (int i = 0; i < text1_.size(); ++i) {
        const QString text = model_->text1(i);
        if (text1_[i]->text() != text)
            text1_[i]->setText(text);
    }
}

void UsbWindow::refreshDiagnostics()
{
    lstResults_->clear();
    lstResults_->addItems(model_->lstResults());
    lstResults_->scrollToBottom();
}

}  // namespace trivo
