#include "shell/usb_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/ui/twips.h"
#include "link/link.h"

namespace trivo {

namespace {
void paint(QLabel* label, const QColor& color)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(p);
}
}  // namespace

UsbWindow::UsbWindow(Link& link, QWidget* parent) : QWidget(parent), link_(link)
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
    label3_->setMinimumSize(twipsToPixels(5055, this), twipsToPixels(330, this));
    label3_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    paint(label3_, Qt::white);
    top->addWidget(label3_, 1);
    toggle_ = new QPushButton(QStringLiteral("Détails"), this);
    toggle_->setObjectName(QStringLiteral("DETAILS"));
    toggle_->setToolTip(QStringLiteral("Journal et tampon des échanges (maintenance)."));
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
    label4_->setMinimumWidth(140);
    buttons->addWidget(label4_);
    auto* wr = new QPushButton(QStringLiteral("Envoi"), details_);
    wr->setObjectName(QStringLiteral("but_WR_HID"));
    wr->setToolTip(QStringLiteral("Envoi des paramètres couleur au panneau."));
    auto* rd = new QPushButton(QStringLiteral("Lire "), details_);
    rd->setObjectName(QStringLiteral("but_RD_HID"));
    rd->setToolTip(QStringLiteral("Lecture EEPROM du panneau."));
    auto* clear = new QPushButton(QStringLiteral("efface"), details_);
    clear->setObjectName(QStringLiteral("but_CLEAR_HID"));
    auto* quit = new QPushButton(QStringLiteral("Quitter"), details_);
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
        edit->setToolTip(QStringLiteral("Octet %1").arg(i));
        if (i == 64)
            edit->setReadOnly(true);
        grid->addWidget(edit, i / 16, i % 16);
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& t) { link_.setText1(i, t); });
        text1_.append(edit);
    }
    dl->addLayout(grid);

    lstResults_ = new QListWidget(details_);
    lstResults_->setObjectName(QStringLiteral("lstResults"));
    lstResults_->setMinimumHeight(160);
    lstResults_->setFont(QFont(QStringLiteral("Monospace"), 8));
    dl->addWidget(lstResults_, 1);
    layout->addWidget(details_, 1);
    details_->hide();

    connect(toggle_, &QPushButton::toggled, this, &UsbWindow::setDetailsShown);
    // The technician's buttons are operations: each gives a display that stopped answering one try.
    connect(wr, &QPushButton::clicked, this, [this] {
        const Link::Sequence operation(link_);
        link_.but_WR_HID_Click();
    });
    connect(rd, &QPushButton::clicked, this, [this] {
        const Link::Sequence operation(link_);
        link_.but_RD_HID_Click();
    });
    connect(clear, &QPushButton::clicked, this, [this] { link_.but_CLEAR_HID_Click(); });
    connect(quit, &QPushButton::clicked, this, &UsbWindow::Command1_Click);

    connect(&link_, &Link::label3Changed, this, &UsbWindow::refreshLabel3);
    connect(&link_, &Link::label4Changed, this, [this] {
        // Unseen, only the state an exchange ends in matters: a firmware update makes 500 of them.
        if (label4_->isVisible() || !link_.exchanging())
            refreshLabel4();
    });
    connect(&link_, &Link::bufferChanged, this, [this] {
        // The buffer changes hundreds of times in a firmware update: copy it only when someone looks.
        if (details_->isVisible())
            refreshBuffer();
    });
    connect(&link_, &Link::diagnosticsChanged, this, [this] {
        if (details_->isVisible())
            refreshDiagnostics();
    });
    refreshLabel3();
    refreshLabel4();
}

void UsbWindow::Command1_Click()
{
    link_.CloseLink();
    if (exitHandler_)
        exitHandler_();
}

void UsbWindow::setDetailsShown(bool shown)
{
    if (toggle_->isChecked() != shown)
        toggle_->setChecked(shown);
    details_->setVisible(shown);
    if (shown) {
        refreshLabel4();
        refreshBuffer();
        refreshDiagnostics();
    }
    adjustSize();
    if (auto* frame = parentWidget())
        frame->adjustSize();
}

bool UsbWindow::detailsShown() const { return details_->isVisible(); }

void UsbWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // While the window was hidden or minimised the copies were skipped: catch up with the link now.
    if (!details_->isHidden()) {
        refreshLabel4();
        refreshBuffer();
        refreshDiagnostics();
    }
}

void UsbWindow::refreshLabel3()
{
    switch (link_.state()) {
    case LinkState::Unknown: paint(label3_, Qt::white); break;
    case LinkState::Waiting: paint(label3_, QColor(255, 0, 0)); break;
    case LinkState::Connected: paint(label3_, QColor(0, 255, 0)); break;
    case LinkState::NotAnswering: paint(label3_, kNotAnsweringColour); break;
    }
    label3_->setText(link_.label3Text());
}

void UsbWindow::refreshLabel4()
{
    QColor color = Qt::white;  // also before the first exchange
    switch (link_.label4Color()) {
    case ProgressColour::Unset:
    case ProgressColour::White: break;
    case ProgressColour::Yellow: color = QColor(255, 255, 0); break;
    case ProgressColour::Green: color = QColor(0, 255, 0); break;
    }
    // Setting a palette costs even when it does not change.
    if (color != label4Painted_) {
        paint(label4_, color);
        label4Painted_ = color;
    }
    label4_->setText(link_.label4Text());
    if (isVisible())
        label4_->repaint();
}

void UsbWindow::refreshBuffer()
{
    for (int i = 0; i < text1_.size(); ++i)
        if (text1_[i]->text() != link_.text1(i))
            text1_[i]->setText(link_.text1(i));
}

void UsbWindow::refreshDiagnostics()
{
    lstResults_->clear();
    lstResults_->addItems(link_.lstResults());
    lstResults_->scrollToBottom();
}

}  // namespace trivo
