#include "journal/ui/dashboard_page.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

#include "common/dialogs.h"
#include "common/file_error.h"
#include "common/file_io.h"
#include "common/outcome.h"
#include "common/ui/form_scroll_area.h"
#include "common/ui/number_box.h"
#include "common/ui/theme.h"

namespace trivo {

using namespace journal;

namespace {

const QString kExportFilter = FR("Document PDF (*.pdf);;Image PNG (*.png)");
const QString kPassedName = FR("Réussies");
const QString kFailedName = FR("Échecs");
const QString kNoLot = FR("(sans lot)");
const QString kNoMessage = FR("(sans message)");
// Bars past these are summed into one, which the table still lists apart.
constexpr int kLotsDrawn = 12;
constexpr int kReasonsDrawn = 8;
// Up to two months of hours are drawn with the empty ones at zero; a longer period only where it has some.
constexpr qint64 kHoursFilled = 62 * 24;
constexpr qint64 kHourMs = 3600 * 1000;

QString localTime(const QDateTime& at) { return at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")); }
QString lotShown(const QString& lot) { return lot.isEmpty() ? T(kNoLot) : lot; }
QString reasonShown(const QString& reason) { return reason.isEmpty() ? T(kNoMessage) : reason; }

QChartView* chartView(const char* name, const QString& title, const QString& accessibleName, QWidget* parent)
{
    auto* chart = new QChart();
    chart->setTitle(title);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setAccessibleName(accessibleName);
    view->setRenderHint(QPainter::Antialiasing);
    // The chart is one control: Tab reaches the view (which a screen reader describes), not its viewport.
    view->viewport()->setFocusPolicy(Qt::NoFocus);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setMinimumSize(320, view->fontMetrics().height() * 15);
    return view;
}

// A chart emptied for new figures: its series and axes gone.
QChart* cleared(QChartView* view)
{
    QChart* chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    return chart;
}

// Whole numbers only, a grid line at each of a few round steps (1, 2, 5, 10, 20...).
QValueAxis* countAxis(QChart* chart, int highest, Qt::Alignment side = Qt::AlignLeft)
{
    int step = 1;
    for (int k = 0; highest / step > 5; ++k)
        step = (k % 3 == 1 ? step * 5 / 2 : step * 2);
    auto* axis = new QValueAxis(chart);
    axis->setRange(0, std::max(1, (highest + step - 1) / step * step));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axis, side);
    return axis;
}

QTableWidget* table(const char* name, const QString& accessibleName, const QStringList& headers, QWidget* parent)
{
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setAccessibleName(accessibleName);
    t->setHorizontalHeaderLabels(headers);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    t->setTabKeyNavigation(false);
    t->setMinimumHeight(t->fontMetrics().height() * 9);
    return t;
}

// The columns from `numbers` on hold figures, on the right.
void setRow(QTableWidget* t, int row, const QStringList& texts, int numbers)
{
    for (int c = 0; c < texts.size(); ++c) {
        auto* item = new QTableWidgetItem(texts[c]);
        if (c >= numbers)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(row, c, item);
    }
}

}  // namespace

DashboardPage::DashboardPage(Dialogs& dialogs, Journal& journal, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), journal_(journal)
{
    setObjectName(QStringLiteral("TABLEAU_DE_BORD"));

    lot_ = new QLineEdit(this);
    lot_->setObjectName(QStringLiteral("BILAN_LOT"));
    lot_->setPlaceholderText(T("tous"));
    lot_->setAccessibleName(T("Lot"));
    auto* lotLabel = new QLabel(T("Lot :"), this);
    lotLabel->setBuddy(lot_);
    sinceOn_ = new QCheckBox(T("Depuis le"), this);
    sinceOn_->setObjectName(QStringLiteral("BILAN_DEPUIS_ACTIF"));
    since_ = new QDateEdit(QDate::currentDate().addDays(-30), this);
    since_->setObjectName(QStringLiteral("BILAN_DEPUIS"));
    since_->setCalendarPopup(true);
    since_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    since_->setEnabled(false);
    nameNumberBox(since_, T("Date de début"));
    refresh_ = new QPushButton(T("&Actualiser"), this);
    refresh_->setObjectName(QStringLiteral("BILAN_ACTUALISER"));
    export_ = new QPushButton(T("Exporter en &PDF/PNG..."), this);
    export_->setObjectName(QStringLiteral("BILAN_EXPORTER"));
    export_->setToolTip(T("Enregistrer le tableau de bord dans un document PDF ou une image PNG."));
    export_->setEnabled(false);
    auto* bar = new QHBoxLayout;
    bar->addWidget(lotLabel);
    bar->addWidget(lot_);
    bar->addWidget(sinceOn_);
    bar->addWidget(since_);
    bar->addWidget(refresh_);
    bar->addWidget(export_);
    bar->addStretch();

    auto* scroll = new FormScrollArea(this);
    sheet_ = new QWidget;
    sheet_->setObjectName(QStringLiteral("BILAN_FEUILLE"));
    hours_ = chartView("BILAN_HEURES", T("Opérations par heure"), T("Graphique des opérations par heure"), sheet_);
    lots_ = chartView("BILAN_LOTS", T("Réussies et échecs par lot"), T("Graphique des réussites et échecs par lot"), sheet_);
    reasons_ = chartView("BILAN_RAISONS", T("Raisons des échecs (Pareto)"),
                         T("Graphique des raisons des échecs, les plus fréquentes d'abord"), sheet_);
    people_ = table("BILAN_POSTES", T("Postes et opérateurs de la période"),
                    {T("Poste"), T("Opérateur"), T(kPassedName), T(kFailedName), T("Première"), T("Dernière")}, sheet_);
    figures_ = table("BILAN_CHIFFRES", T("Chiffres des graphiques"),
                     {T("Graphique"), T("Élément"), T(kPassedName), T(kFailedName), T("Cumul (%)")}, sheet_);
    auto* figuresLabel = new QLabel(T("Chiffres des graphiques :"), sheet_);
    figuresLabel->setBuddy(figures_);
    auto* peopleLabel = new QLabel(T("Postes et opérateurs :"), sheet_);
    peopleLabel->setBuddy(people_);
    auto* grid = new QGridLayout(sheet_);
    grid->addWidget(hours_, 0, 0);
    grid->addWidget(lots_, 0, 1);
    grid->addWidget(reasons_, 1, 0, 2, 1);
    grid->addWidget(peopleLabel, 1, 1);
    grid->addWidget(people_, 2, 1);
    grid->addWidget(figuresLabel, 3, 0, 1, 2);
    grid->addWidget(figures_, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    scroll->setWidget(sheet_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("BILAN_SOURCE"));
    status_->setAccessibleName(T("Source du bilan"));
    status_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll, 1);
    layout->addWidget(status_);

    connect(sinceOn_, &QCheckBox::toggled, since_, &QWidget::setEnabled);
    connect(sinceOn_, &QCheckBox::toggled, this, &DashboardPage::ACTUALISER_Click);
    connect(since_, &QDateEdit::dateChanged, this, &DashboardPage::ACTUALISER_Click);
    connect(lot_, &QLineEdit::editingFinished, this, &DashboardPage::ACTUALISER_Click);
    connect(refresh_, &QPushButton::clicked, this, &DashboardPage::ACTUALISER_Click);
    connect(export_, &QPushButton::clicked, this, &DashboardPage::EXPORTER_Click);
    styleCharts();
    showFigures(summary_);
    status_->clear();
}

DashboardPage::~DashboardPage()
{
    if (counting_)
        counting_->cancel();
}

// Counted when first shown: a window opened on its other page asks nothing of the database for this one.
void DashboardPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!counted_)
        ACTUALISER_Click();
}

Filter DashboardPage::filter() const
{
    Filter f;
    f.lot = lot_->text().trimmed();
    f.training = journal_.trainingSession();
    if (sinceOn_->isChecked())
        f.since = since_->date().startOfDay().toUTC();
    return f;
}

void DashboardPage::ACTUALISER_Click()
{
    counted_ = true;
    if (counting_)
        counting_->cancel();
    status_->setText(journal_.hasServer() ? T("Bilan du serveur partagé %1...").arg(journal_.serverShown())
                                          : T("Bilan du journal du poste %1...")
                                                .arg(QDir::toNativeSeparators(journal_.databasePath())));
    counting_ = journal_.summarise(filter(), this, [this](const JournalSummary& s) {
        counting_.reset();
        showFigures(s);
    }, true);
}

void DashboardPage::showFigures(const JournalSummary& summary)
{
    summary_ = summary;
    drawHours();
    drawLots();
    drawReasons();
    fillTables();
    export_->setEnabled(summary_.error.isEmpty() || !summary_.fromServer);
    const QString count = (summary_.total() > 1 ? T("%1 opérations") : T("%1 opération")).arg(summary_.total());
    if (!summary_.error.isEmpty() && (summary_.fromServer || !journal_.hasServer()))
        status_->setText(T("Bilan impossible : %1").arg(summary_.error));
    else if (!summary_.error.isEmpty())
        status_->setText(T("Serveur partagé illisible : %1. Bilan de ce poste seulement — %2").arg(summary_.error, count));
    else if (summary_.fromServer)
        status_->setText(T("Serveur partagé %1 — %2").arg(journal_.serverShown(), count));
    else
        status_->setText(T("Journal du poste %1 — %2").arg(QDir::toNativeSeparators(journal_.databasePath()), count));
}

void DashboardPage::drawHours()
{
    QChart* chart = cleared(hours_);
    auto* total = new QLineSeries(chart);
    total->setName(T("Opérations"));
    auto* failed = new QLineSeries(chart);
    failed->setName(T(kFailedName));
    int highest = 0;
    qint64 first = 0, last = 0;
    if (!summary_.hours.isEmpty()) {
        first = summary_.hours.first().hour.toMSecsSinceEpoch();
        last = summary_.hours.last().hour.toMSecsSinceEpoch();
        const bool fill = (last - first) / kHourMs <= kHoursFilled;
        qint64 next = first;
        for (const HourFigures& h : summary_.hours) {
            const qint64 at = h.hour.toMSecsSinceEpoch();
            for (; fill && next < at; next += kHourMs) {
                total->append(double(next), 0);
                failed->append(double(next), 0);
            }
            total->append(double(at), h.passed + h.failed);
            failed->append(double(at), h.failed);
            highest = std::max(highest, h.passed + h.failed);
            next = at + kHourMs;
        }
    }
    const theme::Pair* colours[] = {&theme::kCurveRadio, &theme::kFailedLine.text};
    int k = 0;
    for (QLineSeries* line : {total, failed}) {
        line->setPen(QPen(colours[k++]->get(), 2));
        line->setPointsVisible(total->count() <= 48);
        chart->addSeries(line);
    }
    auto* time = new QDateTimeAxis(chart);
    time->setTickCount(5);
    const bool oneDay = last - first < 24 * kHourMs;
    time->setFormat(oneDay ? QStringLiteral("HH:mm") : QStringLiteral("dd/MM"));
    // An hour alone has room on each side.
    time->setRange(QDateTime::fromMSecsSinceEpoch(first - (first == last ? kHourMs : 0)),
                   QDateTime::fromMSecsSinceEpoch(last + (first == last ? kHourMs : 0)));
    chart->addAxis(time, Qt::AlignBottom);
    QValueAxis* values = countAxis(chart, highest);
    for (QLineSeries* line : {total, failed}) {
        line->attachAxis(time);
        line->attachAxis(values);
    }
    hours_->setAccessibleDescription(
        summary_.hours.isEmpty() ? T("Aucune opération.")
                                 : T("Opérations : %1 en %2 h, de %3 à %4 ; au plus %5 en une heure.")
                                       .arg(summary_.total())
                                       .arg(summary_.hours.size())
                                       .arg(localTime(summary_.hours.first().hour), localTime(summary_.hours.last().hour))
                                       .arg(highest));
    styleCharts();
}

void DashboardPage::drawLots()
{
    QChart* chart = cleared(lots_);
    QList<LotFigures> lots = summary_.lots;
    // The busiest lots, in the order of their names; the rest as one bar.
    LotFigures others{T("Autres lots"), 0, 0};
    if (lots.size() > kLotsDrawn) {
        std::stable_sort(lots.begin(), lots.end(),
                         [](const LotFigures& a, const LotFigures& b) { return a.passed + a.failed > b.passed + b.failed; });
        for (qsizetype i = kLotsDrawn - 1; i < lots.size(); ++i) {
            others.passed += lots[i].passed;
            others.failed += lots[i].failed;
        }
        lots.resize(kLotsDrawn - 1);
        std::sort(lots.begin(), lots.end(), [](const LotFigures& a, const LotFigures& b) { return a.lot < b.lot; });
        lots << others;
    }
    auto* passed = new QBarSet(T(kPassedName));
    auto* failed = new QBarSet(T(kFailedName));
    passed->setColor(theme::kPassedLine.text.get());
    failed->setColor(theme::kFailedLine.text.get());
    passed->setBorderColor(passed->color());
    failed->setBorderColor(failed->color());
    QStringList names;
    int highest = 0;
    for (const LotFigures& l : lots) {
        names << lotShown(l.lot);
        *passed << l.passed;
        *failed << l.failed;
        highest = std::max(highest, l.passed + l.failed);
    }
    auto* series = new QStackedBarSeries(chart);
    series->append(passed);
    series->append(failed);
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis(chart);
    categories->append(names);
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);
    series->attachAxis(countAxis(chart, highest));
    int worst = -1;
    for (int i = 0; i < summary_.lots.size(); ++i)
        if (worst < 0 || summary_.lots[i].failed > summary_.lots[worst].failed)
            worst = i;
    lots_->setAccessibleDescription(
        summary_.lots.isEmpty() ? T("Aucune opération.")
                                : T("Lots : %1 ; le plus d'échecs : %2 (réussies %3, échecs %4).")
                                      .arg(summary_.lots.size())
                                      .arg(lotShown(summary_.lots[worst].lot))
                                      .arg(summary_.lots[worst].passed)
                                      .arg(summary_.lots[worst].failed));
}

void DashboardPage::drawReasons()
{
    QChart* chart = cleared(reasons_);
    const QList<double> shares = cumulativeShares(summary_.reasons);
    auto* counts = new QBarSet(T(kFailedName));
    counts->setColor(theme::kFailedLine.text.get());
    counts->setBorderColor(counts->color());
    auto* cumulative = new QLineSeries(chart);
    cumulative->setName(T("Cumul (%)"));
    cumulative->setPen(QPen(theme::kCurveTemperature.get(), 2));
    cumulative->setPointsVisible(true);
    QStringList names;
    int highest = 0;
    const QFontMetrics metrics = reasons_->fontMetrics();
    // Each bar's label as wide as its share of the chart allows.
    const qsizetype drawn = std::min<qsizetype>(summary_.reasons.size(), kReasonsDrawn);
    const int room = std::max(metrics.averageCharWidth() * 12,
                              reasons_->width() / int(std::max<qsizetype>(1, drawn)) - metrics.averageCharWidth() * 3);
    for (qsizetype i = 0; i < summary_.reasons.size(); ++i) {
        const bool rest = i == kReasonsDrawn - 1 && summary_.reasons.size() > kReasonsDrawn;
        int count = summary_.reasons[i].count;
        if (rest)
            for (qsizetype j = i + 1; j < summary_.reasons.size(); ++j)
                count += summary_.reasons[j].count;
        // Numbered, so that two reasons cut to the same words stay two bars, and the table tells them whole.
        const QString name = rest ? T("Autres raisons") : reasonShown(summary_.reasons[i].reason);
        names << QStringLiteral("%1. %2").arg(i + 1).arg(metrics.elidedText(name, Qt::ElideRight, room));
        *counts << count;
        highest = std::max(highest, count);
        cumulative->append(double(i), rest ? 100.0 : shares[i]);
        if (rest)
            break;
    }
    auto* bars = new QBarSeries(chart);
    bars->append(counts);
    chart->addSeries(bars);
    chart->addSeries(cumulative);
    auto* categories = new QBarCategoryAxis(chart);
    categories->append(names);
    chart->addAxis(categories, Qt::AlignBottom);
    bars->attachAxis(categories);
    bars->attachAxis(countAxis(chart, highest));
    cumulative->attachAxis(categories);
    auto* percent = new QValueAxis(chart);
    // A little room above 100 %, so that the last point is not cut by the plot's edge.
    percent->setRange(0, 105);
    percent->setTickType(QValueAxis::TicksDynamic);
    percent->setTickAnchor(0);
    percent->setTickInterval(20);
    percent->setLabelFormat(QStringLiteral("%.0f %%"));
    percent->setGridLineVisible(false);  // the counts' grid is the one drawn
    chart->addAxis(percent, Qt::AlignRight);
    cumulative->attachAxis(percent);
    reasons_->setAccessibleDescription(
        summary_.reasons.isEmpty() ? T("Aucun échec.")
                                   : T("Raisons : %1 ; la plus fréquente : %2 (échecs %3, %4 % des échecs).")
                                         .arg(summary_.reasons.size())
                                         .arg(reasonShown(summary_.reasons.first().reason))
                                         .arg(summary_.reasons.first().count)
                                         .arg(qRound(shares.first())));
    styleCharts();
}

void DashboardPage::fillTables()
{
    people_->setRowCount(int(summary_.people.size()));
    for (int row = 0; row < summary_.people.size(); ++row) {
        const PersonFigures& p = summary_.people[row];
        setRow(people_, row, {p.station, p.operatorName, QString::number(p.passed), QString::number(p.failed),
                              localTime(p.first), localTime(p.last)}, 2);
        for (int c = 4; c < 6; ++c)
            people_->item(row, c)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    people_->resizeColumnsToContents();
    // Its columns whole beside the Pareto chart: the grid gives the table the width it asks for.
    people_->setMinimumWidth(people_->horizontalHeader()->length() + 2 * people_->frameWidth()
                             + people_->verticalScrollBar()->sizeHint().width());

    QList<QStringList> rows;
    const QString perHour = T("Opérations par heure"), perLot = T("Par lot"), reasons = T("Raisons des échecs");
    for (const HourFigures& h : summary_.hours)
        rows << QStringList{perHour, localTime(h.hour), QString::number(h.passed), QString::number(h.failed), QString()};
    for (const LotFigures& l : summary_.lots)
        rows << QStringList{perLot, lotShown(l.lot), QString::number(l.passed), QString::number(l.failed), QString()};
    const QList<double> shares = cumulativeShares(summary_.reasons);
    for (qsizetype i = 0; i < summary_.reasons.size(); ++i)
        rows << QStringList{reasons, reasonShown(summary_.reasons[i].reason), QString(),
                            QString::number(summary_.reasons[i].count), QString::number(qRound(shares[i]))};
    figures_->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        setRow(figures_, row, rows[row], 2);
    figures_->resizeColumnsToContents();
}

// The charts on the palette's base, their texts in its text colour, as the registers window's curves.
void DashboardPage::styleCharts()
{
    const QPalette p = palette();
    const QColor ground = p.color(QPalette::Base);
    const QColor text = p.color(QPalette::Text);
    QColor grid = text;
    grid.setAlphaF(0.3);
    QFont titleFont = font();
    titleFont.setBold(true);
    for (QChartView* view : {hours_, lots_, reasons_}) {
        QChart* chart = view->chart();
        view->setBackgroundBrush(ground);
        chart->setBackgroundBrush(ground);
        chart->setTitleBrush(text);
        chart->setTitleFont(titleFont);
        chart->legend()->setLabelColor(text);
        chart->legend()->setFont(font());
        for (QAbstractAxis* axis : chart->axes()) {
            axis->setLabelsBrush(text);
            axis->setLabelsFont(font());
            axis->setLinePenColor(text);
            axis->setGridLineColor(grid);
        }
    }
}

void DashboardPage::changeEvent(QEvent* event)
{
    // The series take the theme's colours as they are drawn: drawn again in the new palette.
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) && hours_)
        showFigures(summary_);
    QWidget::changeEvent(event);
}

QImage DashboardPage::picture() const { return sheet_->grab().toImage(); }

void DashboardPage::EXPORTER_Click()
{
    FileRequest request;
    request.title = T("Exporter le tableau de bord.");
    request.filter = T(kExportFilter);
    request.initialDir = documentsFolder();
    request.fileName = QStringLiteral("tableau-de-bord.pdf");
    request.save = true;
    const QString path = dialogs_.saveFile(request);
    if (path.isEmpty())
        return;
    const QImage image = picture();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (QFileInfo(path).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0) {
        image.save(&buffer, "PNG");
    } else {
        // One landscape A4 page: the status line as its title, the page scaled to fit under it.
        QPdfWriter pdf(&buffer);
        pdf.setTitle(T(kDashboardTitle));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setResolution(200);
        QPainter painter(&pdf);
        const QRect page = painter.viewport();
        QFont heading = font();
        heading.setPointSizeF(11);
        painter.setFont(heading);
        const int line = painter.fontMetrics().height();
        painter.drawText(QRect(page.left(), page.top(), page.width(), line * 2), Qt::AlignLeft | Qt::TextWordWrap,
                         T(kDashboardTitle) + QStringLiteral(" — ") + status_->text());
        const QRect room(page.left(), page.top() + line * 3, page.width(), page.height() - line * 3);
        QSize drawn = image.size();
        drawn.scale(room.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(room.topLeft(), drawn), image);
    }
    buffer.close();
    if (const FileError error = writeFileWhole(path, bytes); error.failed()) {
        present(OperationResult::fileFailure(error), dialogs_, nullptr);
        return;
    }
    dialogs_.inform(T("Tableau de bord exporté : %1").arg(QDir::toNativeSeparators(path)), MsgIcon::Information);
}

}  // namespace trivo
