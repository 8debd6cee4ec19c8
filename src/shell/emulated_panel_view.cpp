#include "shell/emulated_panel_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QTimer>
#include <QVBoxLayout>

#include "common/language.h"
#include "common/ui/form_scroll_area.h"
#include "common/ui/keyboard.h"
#include "common/ui/theme.h"
#include "emulator/emulated_display.h"

namespace trivo {

namespace {
constexpr int kLcdWidth = 240;
constexpr int kLcdHeight = 64;
// What a screen reader says of the panel's parts; a lamp's description says whether it is lit.
const QString kCounterName = FR("Compteur");
const QString kTotaliserName = FR("Totalisateur");
const QString kLcdName = FR("Écran LCD");
const QString kStateName = FR("État de l'afficheur émulé");
const QString kLampOn = FR("allumé");
const QString kLampOff = FR("éteint");

QPixmap lamp(const QColor& color, bool on)
{
    QPixmap pm(22, 22);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(theme::kPanelLampRim.get(), 1.5));
    p.setBrush(on ? color : theme::kPanelLampOff.get());
    p.drawEllipse(QRectF(2, 2, 18, 18));
    return pm;
}

QLabel* bigNumber(QWidget* parent, const QString& name)
{
    auto* l = new QLabel(parent);
    QFont f(QStringLiteral("DejaVu Sans Mono"), 20, QFont::Bold);
    l->setFont(f);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setStyleSheet(theme::styleRule(QStringLiteral("QLabel"), theme::kPanelNumber)
                     + QStringLiteral(" QLabel { padding: 4px 8px; }"));
    l->setMinimumWidth(200);
    l->setAccessibleName(name);
    return l;
}
}  // namespace

EmulatedPanelView::EmulatedPanelView(EmulatedTransport& transport, QWidget* parent)
    : QWidget(parent), transport_(transport)
{
    setObjectName(QStringLiteral("PANNEAU_EMULE"));
    setWindowTitle(T("Afficheur émulé (simulation)"));
    // On a short screen the panel scrolls rather than squeezing its groups.
    auto* contents = new QWidget;
    contents->setObjectName(QStringLiteral("CONTENU"));
    auto* layout = new QVBoxLayout(contents);

    auto* numbers = new QGroupBox(T("Compteur et totalisateur"), this);
    auto* nl = new QGridLayout(numbers);
    counter_ = bigNumber(numbers, T(kCounterName));
    counter_->setObjectName(QStringLiteral("COMPTEUR"));
    totaliser_ = bigNumber(numbers, T(kTotaliserName));
    totaliser_->setObjectName(QStringLiteral("TOTALISATEUR"));
    nl->addWidget(new QLabel(T("Compteur :"), numbers), 0, 0);
    nl->addWidget(counter_, 0, 1);
    nl->addWidget(new QLabel(T("Totalisateur :"), numbers), 1, 0);
    nl->addWidget(totaliser_, 1, 1);
    layout->addWidget(numbers);

    auto* screen = new QGroupBox(T("Écran LCD 240 x 64"), this);
    auto* sl = new QVBoxLayout(screen);
    lcd_ = new QLabel(screen);
    lcd_->setObjectName(QStringLiteral("LCD"));
    lcd_->setFixedSize(kLcdWidth * 2 + 4, kLcdHeight * 2 + 4);
    lcd_->setStyleSheet(theme::styleRule(QStringLiteral("QLabel"), theme::kPanelLcd, &theme::kPanelLcdBorder, 2));
    lcd_->setAccessibleName(T(kLcdName));
    sl->addWidget(lcd_);
    layout->addWidget(screen);

    auto* outputs = new QGroupBox(T("Voyants et sorties"), this);
    auto* ol = new QGridLayout(outputs);
    const QStringList names = {T("DEL 1"), T("DEL 2"), T("DEL 3"), T("Relais 1"), T("Relais 2"), T("Bipeur")};
    for (int i = 0; i < names.size(); ++i) {
        auto* icon = new QLabel(outputs);
        icon->setObjectName(QStringLiteral("VOYANT(%1)").arg(i));
        icon->setAccessibleName(names[i]);
        ol->addWidget(icon, 0, i, Qt::AlignHCenter);
        ol->addWidget(new QLabel(names[i], outputs), 1, i, Qt::AlignHCenter);
        lamps_.append(icon);
    }
    layout->addWidget(outputs);

    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("ETAT_EMULE"));
    state_->setAccessibleName(T(kStateName));
    // The panel has no control of its own: it takes the focus itself, so that Échap reaches it.
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(windowTitle());
    closeOnEscape(this);
    layout->addWidget(state_);
    auto* scroll = new FormScrollArea(this);
    scroll->setWidget(contents);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &EmulatedPanelView::refresh);
    timer_->start();
    refresh();
}

void EmulatedPanelView::refresh()
{
    // A copy taken under the transport's lock: the link's thread changes the display meanwhile.
    EmulatedDisplay d;
    bool plugged = false;
    {
        const auto lock = transport_.lock();
        d = transport_.display();
        plugged = transport_.plugged();
    }
    counter_->setText(QString::number(d.counter));
    totaliser_->setText(QString::number(d.totaliser));
    counter_->setAccessibleDescription(counter_->text());
    totaliser_->setAccessibleDescription(totaliser_->text());

    QImage img(kLcdWidth, kLcdHeight, QImage::Format_RGB32);
    if (d.lcdCleared) {
        img.fill(theme::kPanelLcd.background.get());
    } else {
        for (int y = 0; y < kLcdHeight; ++y)
            for (int x = 0; x < kLcdWidth; ++x) {
                const uint8_t byte = d.picture[static_cast<std::size_t>(y * 30 + x / 8)];
                img.setPixelColor(x, y, (byte & (0x80 >> (x % 8))) ? theme::kPanelLcd.text.get()
                                                                    : theme::kPanelLcd.background.get());
            }
    }
    if (img != lcdImage_) {
        lcdImage_ = img;
        lcd_->setPixmap(QPixmap::fromImage(
            img.scaled(kLcdWidth * 2, kLcdHeight * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    }

    const bool on[] = {(d.leds & 0x01) != 0, (d.leds & 0x02) != 0, (d.leds & 0x04) != 0,
                       d.relay1(),           d.relay2(),           d.buzzer || d.buzzerByRule()};
    for (int i = 0; i < lamps_.size(); ++i) {
        lamps_[i]->setPixmap(lamp(theme::kPanelLamps[std::size_t(i)].get(), on[i]));
        lamps_[i]->setProperty("on", on[i]);
        lamps_[i]->setAccessibleDescription(T(on[i] ? kLampOn : kLampOff));
    }

    QString state = plugged ? T("Branché") : T("Débranché");
    if (d.updateMode)
        state = T("%1 — mode mise à jour (%2 octets reçus)").arg(state, QString::number(d.firmware.size()));
    state_->setText(state);
}

void EmulatedPanelView::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(1, 1, -1, -1);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}

void EmulatedPanelView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void EmulatedPanelView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

QString EmulatedPanelView::counterText() const { return counter_->text(); }
QString EmulatedPanelView::totaliserText() const { return totaliser_->text(); }
QImage EmulatedPanelView::lcdImage() const { return lcdImage_; }

}  // namespace trivo
