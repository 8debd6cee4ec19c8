#include "shell/comparison_dialog.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/language.h"
#include "common/ui/theme.h"
#include "config/comparison_report.h"

namespace trivo {

namespace {

enum Column { kMarkerColumn, kLabelColumn, kExpectedColumn, kActualColumn, kColumns };

// A differing row: bold, in the colours of a difference, and the marker column, so that colour is never
// the only sign.
const QString kMarker = QStringLiteral("≠");
// What a screen reader calls the table; the summary is its description.
const QString kTableName = FR("Paramètres comparés");

}  // namespace

ComparisonDialog::ComparisonDialog(const Comparison& comparison, const QString& expectedFrom, QWidget* parent)
    : QDialog(parent), comparison_(comparison), expectedFrom_(expectedFrom)
{
    setObjectName(QStringLiteral("COMPARAISON"));
    setWindowTitle(T(kComparisonTitle));

    auto* source = new QLabel(T("Attendu : %1").arg(expectedFrom), this);
    source->setObjectName(QStringLiteral("LBL_SOURCE"));
    source->setWordWrap(true);
    summary_ = new QLabel(comparisonSummary(comparison), this);
    summary_->setObjectName(QStringLiteral("LBL_RESUME"));
    summary_->setWordWrap(true);
    QFont bold = summary_->font();
    bold.setBold(true);
    summary_->setFont(bold);
    theme::paint(summary_, comparison.identical() ? theme::kAgrees : theme::kDiffers);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("TABLE_COMPARAISON"));
    table_->setAccessibleName(T(kTableName));
    table_->setAccessibleDescription(summary_->text());
    // Tab leaves the table; the arrows move inside it.
    table_->setTabKeyNavigation(false);
    table_->setColumnCount(kColumns);
    table_->setHorizontalHeaderLabels({QString(), T("Paramètre"), T("Attendu"), T("Afficheur")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->setWordWrap(false);
    table_->setAccessibleName(T(kTableName));
    // Tab leaves the table for the buttons; the arrows move among its rows.
    table_->setTabKeyNavigation(false);
    const QList<ComparisonRow> rows = comparisonRows(comparison);
    table_->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const ComparisonRow& r = rows[i];
        const QStringList cells{r.differs ? kMarker : QString(), r.label, r.expected, r.actual};
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]);  // the whole text, should a narrow window cut it
            if (column == kMarkerColumn)
                item->setTextAlignment(Qt::AlignCenter);
            if (r.differs) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
                item->setForeground(theme::kDiffers.text.get());
                item->setBackground(theme::kDiffers.background.get());
            }
            table_->setItem(i, column, item);
        }
    }
    // Sized on every row while all are shown, so that showing them all later clips no label.
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->resizeColumnsToContents();
    const int valueWidth = std::max(table_->columnWidth(kExpectedColumn), table_->columnWidth(kActualColumn));
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(kMarkerColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(kLabelColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(kExpectedColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(kActualColumn, QHeaderView::Stretch);
    table_->setColumnWidth(kLabelColumn, table_->columnWidth(kLabelColumn) + 12);

    differencesOnly_ = new QCheckBox(T("&Différences seulement"), this);
    differencesOnly_->setObjectName(QStringLiteral("CHK_DIFFERENCES"));
    copy_ = new QPushButton(T("&Copier"), this);
    copy_->setObjectName(QStringLiteral("BTN_COPIER"));
    copy_->setToolTip(T("Copie la comparaison affichée dans le presse-papiers, en texte."));
    close_ = new QPushButton(T("&Fermer"), this);
    close_->setObjectName(QStringLiteral("BTN_FERMER"));
    close_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(differencesOnly_);
    buttons->addStretch(1);
    buttons->addWidget(copy_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    connect(differencesOnly_, &QCheckBox::toggled, this, &ComparisonDialog::showRows);
    connect(copy_, &QPushButton::clicked, this, &ComparisonDialog::Copier_Click);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    // The differences first when there are some; every row can be had with one click.
    differencesOnly_->setChecked(!comparison.identical());
    showRows();
    close_->setFocus();
    // Wide enough for the longest values side by side (a rule's text and its byte), within the screen; on
    // a small screen no larger than it, a title bar's worth kept, the table scrolling.
    const int wanted = table_->columnWidth(kMarkerColumn) + table_->columnWidth(kLabelColumn) + 2 * valueWidth + 80;
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() - QSize(40, 60) : QSize(wanted, 640);
    resize(std::clamp(wanted, std::min(700, room.width()), std::max(700, room.width())), std::min(640, room.height()));
}

bool ComparisonDialog::differencesOnly() const { return differencesOnly_->isChecked(); }
void ComparisonDialog::setDifferencesOnly(bool on) { differencesOnly_->setChecked(on); }

void ComparisonDialog::showRows()
{
    const bool only = differencesOnly();
    for (int row = 0; row < table_->rowCount(); ++row)
        table_->setRowHidden(row, only && table_->item(row, kMarkerColumn)->text().isEmpty());
}

QString ComparisonDialog::copyText() const
{
    return T("Attendu : %1").arg(expectedFrom_) + QLatin1Char('\n') + comparisonSummary(comparison_) + QLatin1Char('\n')
        + comparisonTable(comparison_, differencesOnly());
}

void ComparisonDialog::Copier_Click() { QApplication::clipboard()->setText(copyText()); }

}  // namespace trivo
