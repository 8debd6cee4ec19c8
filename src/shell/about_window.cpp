#include "shell/about_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

#include "common/language.h"
#include "common/ui/theme.h"
#include "shell/program_icon.h"
#include "trivo_version.h"

namespace trivo {

namespace {
const QSize kPictureSize(112, 84);
const QColor kCaseColor(52, 58, 70);
const QColor kLcdBlue(28, 64, 160);
const QColor kAccent(0, 150, 80);
// What a screen reader says of the parts without a text of their own.
const QString kPictureName = FR("Animation, image %1");
const QString kDetailsName = FR("Coordonnées du fabricant");
}  // namespace

QString makerDetails()
{
    // The maker is fictional; the numbers use reserved ranges so that nobody is called by mistake.
    return T("ZURED Instruments S.A.S.\n"
             "14, allée des Compteurs\n"
             "ZA du Pré Vert\n"
             "99120 Valbrune-sur-Loue - FRANCE\n"
             "Tél. : +33 (0)1 99 00 12 34\n"
             "Fax : +33 (0)1 99 00 12 35\n"
             "S.A.S. au capital de 80 000 EUR\n"
             "RCS Valbrune 900 000 000 - APE 2651B\n"
             "TVA FR00 900000000");
}

QPixmap AboutWindow::drawPicture(int frame, const QSize& size)
{
    // A small counter panel: the count advances, one LED lights in turn and the pulse arrow sweeps,
    // so that four pictures in a row read as a counter at work.
    frame = ((frame % kPictureCount) + kPictureCount) % kPictureCount;
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();

    // case
    QRectF body(2, 2, w - 4, h - 4);
    p.setPen(QPen(QColor(20, 22, 28), 2));
    p.setBrush(kCaseColor);
    p.drawRoundedRect(body, 8, 8);

    // LCD with the count
    QRectF lcd(body.left() + 8, body.top() + 8, body.width() - 16, body.height() * 0.48);
    p.setPen(QPen(QColor(10, 20, 60), 1.5));
    p.setBrush(kLcdBlue);
    p.drawRoundedRect(lcd, 3, 3);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    font.setPixelSize(qMax(8, int(lcd.height() * 0.62)));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(lcd.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignRight,
               QStringLiteral("%1").arg(1 + frame, 5, 10, QLatin1Char('0')));

    // three LEDs, one lit per picture (the fourth picture lights them all)
    const qreal ledY = lcd.bottom() + (body.bottom() - lcd.bottom()) * 0.5;
    const qreal ledR = qMax(2.5, h * 0.055);
    const QColor ledOn[3] = {QColor(255, 40, 40), QColor(255, 200, 0), QColor(0, 220, 90)};
    for (int i = 0; i < 3; ++i) {
        const bool on = frame == 3 || frame == i;
        p.setPen(QPen(QColor(15, 15, 15), 1));
        p.setBrush(on ? ledOn[i] : ledOn[i].darker(320));
        p.drawEllipse(QPointF(lcd.left() + ledR + 2 + i * ledR * 3.2, ledY), ledR, ledR);
    }

    // pulse dial: the arrow turns a quarter per picture
    const QPointF centre(body.right() - 8 - h * 0.16, ledY);
    const qreal radius = h * 0.15;
    p.setPen(QPen(QColor(200, 200, 200), 1.5));
    p.setBrush(QColor(30, 32, 38));
    p.drawEllipse(centre, radius, radius);
    const qreal angle = qDegreesToRadians(-90.0 + 90.0 * frame);
    const QPointF tip(centre.x() + radius * 0.8 * qCos(angle), centre.y() + radius * 0.8 * qSin(angle));
    p.setPen(QPen(kAccent.lighter(150), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, tip);
    return pixmap;
}

AboutWindow::AboutWindow(QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("ORV_ND_SPLASH"));
    setWindowTitle(T("TRIVO - ZURED - COMPTEUR"));
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    shape1_ = new QFrame(this);
    shape1_->setObjectName(QStringLiteral("Shape1"));
    shape1_->setStyleSheet(theme::styleRule(QStringLiteral("QFrame#Shape1"), theme::kAboutPanel, &theme::kAboutBorder, 3));
    outer->addWidget(shape1_);

    auto* layout = new QVBoxLayout(shape1_);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(8);

    label1_ = new QLabel(T("TRIVO - ZURED - COMPTEUR"), shape1_);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = label1_->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.7);
    titleFont.setBold(true);
    label1_->setFont(titleFont);
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setStyleSheet(theme::styleRule(QStringLiteral("QLabel"), theme::kAboutTitle));
    layout->addWidget(label1_);

    lblVersion_ = new QLabel(shape1_);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblVersion_->setAlignment(Qt::AlignCenter);
    QFont versionFont = lblVersion_->font();
    versionFont.setPointSizeF(versionFont.pointSizeF() * 1.15);
    lblVersion_->setFont(versionFont);
    lblVersion_->setStyleSheet(theme::styleRule(QStringLiteral("QLabel"), theme::kAboutVersion));
    layout->addWidget(lblVersion_);

    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    // The pictures share one place: only one is visible at a time.
    auto* pictureSlot = new QWidget(shape1_);
    pictureSlot->setFixedSize(kPictureSize);
    pictureSlot->setStyleSheet(theme::styleRule(QStringLiteral("QWidget"), theme::kAboutPanel));
    for (int i = 0; i < kPictureCount; ++i) {
        auto* picture = new QLabel(pictureSlot);
        picture->setObjectName(QStringLiteral("Picture1(%1)").arg(i));
        picture->setPixmap(drawPicture(i, kPictureSize));
        picture->setAccessibleName(T(kPictureName).arg(i + 1));
        picture->setGeometry(QRect(QPoint(0, 0), kPictureSize));
        picture->setVisible(i == 0);
        picture->installEventFilter(this);
        pictures_[i] = picture;
    }
    row->addWidget(pictureSlot, 0, Qt::AlignTop);

    text1_ = new QPlainTextEdit(makerDetails(), shape1_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setReadOnly(true);
    text1_->setAccessibleName(T(kDetailsName));
    text1_->setFocusPolicy(Qt::NoFocus);
    text1_->setFrameShape(QFrame::NoFrame);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text1_->setStyleSheet(theme::styleRule(QStringLiteral("QPlainTextEdit"), theme::kAboutPanel));
    const QFontMetrics fm(text1_->font());
    int textWidth = 0;
    for (const QString& line : makerDetails().split(QLatin1Char('\n')))
        textWidth = qMax(textWidth, fm.horizontalAdvance(line));
    const int lines = int(makerDetails().count(QLatin1Char('\n'))) + 1;
    const int margin = int(text1_->document()->documentMargin());
    text1_->setFixedSize(textWidth + 2 * margin + 12, fm.lineSpacing() * lines + 2 * margin + 4);
    row->addWidget(text1_, 1);
    layout->addLayout(row);

    label1_->installEventFilter(this);
    lblVersion_->installEventFilter(this);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(kTickMs);
    timer_->setProperty("Tag", QStringLiteral("0"));
    connect(timer_, &QTimer::timeout, this, &AboutWindow::Timer1_Timer);
    timer_->start();
}

void AboutWindow::Form_Load() { lblVersion_->setText(T("Version %1").arg(QStringLiteral(TRIVO_VERSION_TEXT))); }

void AboutWindow::QUITTEUR()
{
    if (quitting_)
        return;
    quitting_ = true;
    close();
}

void AboutWindow::closeEvent(QCloseEvent* event)
{
    timer_->stop();
    QWidget::closeEvent(event);
    emit closed();
    if (mainWindow_) {
        mainWindow_->show();
        mainWindow_->raise();
        mainWindow_->activateWindow();
    }
}

void AboutWindow::Timer1_Timer()
{
    for (QLabel* picture : pictures_)
        picture->setVisible(false);
    const int n = timer_->property("Tag").toString().toInt();
    pictures_[n & 3]->setVisible(true);
    const int next = n + 1;
    timer_->setProperty("Tag", QString::number(next));
    if (next == kTicksBeforeClose)
        QUITTEUR();
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    // A modifier pressed alone is not a key press for the operator.
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr: QWidget::keyPressEvent(event); return;
    default: QUITTEUR();
    }
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        Q_UNUSED(watched);
        QUITTEUR();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace trivo
