#include "journal/ui/history_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/dialogs.h"
#include "common/file_error.h"
#include "common/file_io.h"
#include "common/language.h"
#include "common/outcome.h"
#include "common/ui/keyboard.h"
#include "common/ui/theme.h"

namespace trivo {

using namespace journal;

namespace {

const QString kCsvFilter = FR("Fichier CSV (*.csv);;Tous les fichiers (*)");
// What a screen reader says of the controls whose caption does not say it.
const QString kDisplayName = FR("Afficheur");
const QString kLotName = FR("Lot");
const QString kSinceName = FR("Date de début");
const QString kTableName = FR("Opérations du journal");
const QString kSourceName = FR("Source du journal");

const QStringList kHeaders = {FR("Date"),      FR("Opération"), FR("Résultat"), FR("Afficheur"), FR("Opérateur"),
                              FR("Poste"),     FR("Lot"),       FR("Fichier"),  FR("Durée (ms)"), FR("Message")};

// The record as the table shows it: the journal's words in the program's language, the message as it was
// recorded.
QStringList cells(const JournalRecord& r)
{
    return {r.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            operationShown(r.operation),
            r.passed() ? T("réussi") : T("échec"),
            r.display(),
            r.operatorName,
            r.station,
            r.lot,
            r.fileName,
            QString::number(r.durationMs),
            r.message};
}

}  // namespace

HistoryWindow::HistoryWindow(Dialogs& dialogs, Journal& journal, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), journal_(journal)
{
    setObjectName(QStringLiteral("HISTORIQUE"));
    setWindowTitle(T(kHistoryTitle));

    auto* filters = new QGridLayout;
    display_ = new QComboBox(this);
    display_->setObjectName(QStringLiteral("AFFICHEUR"));
    display_->setEditable(true);
    display_->setMinimumContentsLength(24);
    display_->setToolTip(T("Numéro de série ou chemin USB de l'afficheur dont les opérations "
                           "viennent en premier."));
    onlyDisplay_ = new QCheckBox(T("Cet afficheur seulement"), this);
    onlyDisplay_->setObjectName(QStringLiteral("SEULEMENT"));
    lot_ = new QLineEdit(this);
    lot_->setObjectName(QStringLiteral("LOT"));
    lot_->setPlaceholderText(T("tous"));
    sinceOn_ = new QCheckBox(T("Depuis le"), this);
    sinceOn_->setObjectName(QStringLiteral("DEPUIS_ACTIF"));
    since_ = new QDateEdit(QDate::currentDate().addDays(-30), this);
    since_->setObjectName(QStringLiteral("DEPUIS"));
    since_->setCalendarPopup(true);
    since_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    since_->setEnabled(false);
    auto* displayLabel = new QLabel(T("Afficheur :"), this);
    displayLabel->setBuddy(display_);
    auto* lotLabel = new QLabel(T("Lot :"), this);
    lotLabel->setBuddy(lot_);
    filters->addWidget(displayLabel, 0, 0);
    filters->addWidget(display_, 0, 1);
    filters->addWidget(onlyDisplay_, 0, 2);
    filters->addWidget(lotLabel, 1, 0);
    filters->addWidget(lot_, 1, 1);
    auto* sinceRow = new QHBoxLayout;
    sinceRow->addWidget(sinceOn_);
    sinceRow->addWidget(since_);
    sinceRow->addStretch();
    filters->addLayout(sinceRow, 1, 2);
    filters->setColumnStretch(3, 1);

    refresh_ = new QPushButton(T("&Actualiser"), this);
    refresh_->setObjectName(QStringLiteral("ACTUALISER"));
    export_ = new QPushButton(T("&Exporter en CSV..."), this);
    export_->setObjectName(QStringLiteral("EXPORTER"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(refresh_);
    buttons->addWidget(export_);
    buttons->addStretch();

    table_ = new QTableWidget(0, int(kHeaders.size()), this);
    table_->setObjectName(QStringLiteral("TABLE"));
    QStringList headers;
    for (const QString& header : kHeaders)
        headers << T(header);
    table_->setHorizontalHeaderLabels(headers);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    // Tab leaves the table for the next control; the arrows move among its rows.
    table_->setTabKeyNavigation(false);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("SOURCE"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(buttons);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);

    for (const auto& [widget, name] : std::initializer_list<std::pair<QWidget*, const QString&>>{
             {display_, kDisplayName}, {lot_, kLotName}, {since_, kSinceName}, {table_, kTableName},
             {status_, kSourceName}})
        widget->setAccessibleName(T(name));
    closeOnEscape(this);

    connect(sinceOn_, &QCheckBox::toggled, since_, &QWidget::setEnabled);
    connect(refresh_, &QPushButton::clicked, this, &HistoryWindow::ACTUALISER_Click);
    connect(export_, &QPushButton::clicked, this, &HistoryWindow::EXPORTER_Click);
    // A filter changed from the program reads again, as the operator's change does.
    connect(onlyDisplay_, &QCheckBox::toggled, this, &HistoryWindow::ACTUALISER_Click);
    connect(sinceOn_, &QCheckBox::toggled, this, &HistoryWindow::ACTUALISER_Click);
    connect(since_, &QDateEdit::dateChanged, this, &HistoryWindow::ACTUALISER_Click);
    connect(display_, &QComboBox::currentTextChanged, this, &HistoryWindow::fillTable);
    connect(lot_, &QLineEdit::editingFinished, this, &HistoryWindow::ACTUALISER_Click);

    ACTUALISER_Click();
}

QSize HistoryWindow::sizeHint() const { return QSize(980, 420).expandedTo(QWidget::sizeHint()); }

void HistoryWindow::setSelectedDisplay(const QString& display) { display_->setCurrentText(display); }

QString HistoryWindow::selectedDisplay() const { return display_->currentText().trimmed(); }

Filter HistoryWindow::filter() const
{
    Filter f;
    f.lot = lot_->text().trimmed();
    if (sinceOn_->isChecked())
        f.since = since_->date().startOfDay().toUTC();
    return f;
}

void HistoryWindow::ACTUALISER_Click()
{
    QString error;
    const QList<JournalRecord> records =
        journal_.hasServer() ? journal_.readServer(filter(), &error) : journal_.readLocal(filter(), &error);
    if (!error.isEmpty()) {
        status_->setText(T("Journal illisible : %1").arg(error));
        shown_.clear();
        table_->setRowCount(0);
        return;
    }
    // The displays met so far, offered in the list; what the operator typed stays.
    const QString current = display_->currentText();
    QStringList displays;
    for (const JournalRecord& r : records)
        if (!displays.contains(r.display()))
            displays << r.display();
    displays.sort();
    const QSignalBlocker block(display_);
    display_->clear();
    display_->addItems(displays);
    display_->setCurrentText(current);
    all_ = records;
    fillTable();
}

void HistoryWindow::fillTable()
{
    const QString display = selectedDisplay();
    QList<JournalRecord> records = displayFirst(all_, display);
    if (onlyDisplay_->isChecked() && !display.isEmpty())
        records.removeIf([&](const JournalRecord& r) { return r.serial != display && r.usbPath != display; });
    shown_ = records;
    table_->setRowCount(int(shown_.size()));
    for (int row = 0; row < shown_.size(); ++row) {
        const JournalRecord& r = shown_[row];
        const bool mine = !display.isEmpty() && (r.serial == display || r.usbPath == display);
        const QStringList texts = cells(r);
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (mine) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            if (column == 2 && !r.passed())
                item->setForeground(theme::kFailedLine.text.get());
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    status_->setText(statusText());
}

QString HistoryWindow::statusText() const
{
    const QString source = journal_.hasServer()
        ? T("Serveur partagé %1").arg(journal_.serverShown())
        : T("Journal du poste %1").arg(QDir::toNativeSeparators(journal_.databasePath()));
    return (shown_.size() > 1 ? T("%1 — %2 opérations") : T("%1 — %2 opération")).arg(source).arg(shown_.size());
}

void HistoryWindow::EXPORTER_Click()
{
    FileRequest request;
    request.title = T("Exporter l'historique.");
    request.filter = T(kCsvFilter);
    request.initialDir = documentsFolder();
    request.fileName = QStringLiteral("historique.csv");
    request.save = true;
    const QString path = dialogs_.saveFile(request);
    if (path.isEmpty())
        return;
    QByteArray bytes = journal::csvHeader().toUtf8() + '\n';
    for (const JournalRecord& r : shown_)
        bytes += journal::csvLine(r).toUtf8() + '\n';
    if (const FileError error = writeFileWhole(path, bytes); error.failed()) {
        present(OperationResult::fileFailure(error), dialogs_, nullptr);
        return;
    }
    dialogs_.inform((shown_.size() > 1 ? T("Historique exporté : %1 opérations.") : T("Historique exporté : %1 opération."))
                        .arg(shown_.size()),
                    MsgIcon::Information);
}

}  // namespace trivo
