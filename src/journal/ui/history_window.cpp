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
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/dialogs.h"
#include "common/file_error.h"
#include "common/file_io.h"
#include "common/language.h"
#include "common/outcome.h"
#include "common/ui/keyboard.h"
#include "common/ui/number_box.h"
#include "common/ui/theme.h"
#include "journal/ui/dashboard_page.h"

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
            resultShown(r.outcome),
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
    nameNumberBox(since_, T("Date de début"));
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
    cancel_ = new QPushButton(T("A&nnuler"), this);
    cancel_->setObjectName(QStringLiteral("ANNULER"));
    cancel_->setToolTip(T("Arrête la lecture du journal en cours."));
    cancel_->setEnabled(false);
    export_ = new QPushButton(T("&Exporter en CSV..."), this);
    export_->setObjectName(QStringLiteral("EXPORTER"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(refresh_);
    buttons->addWidget(cancel_);
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
    // A server's reason for not answering can be long: it is read whole, on more lines.
    status_->setWordWrap(true);

    // The records on the first page, their figures on the second.
    auto* historyPage = new QWidget(this);
    historyPage->setObjectName(QStringLiteral("PAGE_HISTORIQUE"));
    auto* layout = new QVBoxLayout(historyPage);
    layout->addLayout(filters);
    layout->addLayout(buttons);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PAGES"));
    pages->addTab(historyPage, T("Historique"));
    pages->addTab(new DashboardPage(dialogs_, journal_, pages), T(kDashboardTitle));
    (new QVBoxLayout(this))->addWidget(pages);

    for (const auto& [widget, name] : std::initializer_list<std::pair<QWidget*, const QString&>>{
             {display_, kDisplayName}, {lot_, kLotName}, {since_, kSinceName}, {table_, kTableName},
             {status_, kSourceName}})
        widget->setAccessibleName(T(name));
    closeOnEscape(this);

    connect(sinceOn_, &QCheckBox::toggled, since_, &QWidget::setEnabled);
    connect(refresh_, &QPushButton::clicked, this, &HistoryWindow::ACTUALISER_Click);
    connect(cancel_, &QPushButton::clicked, this, &HistoryWindow::ANNULER_Click);
    connect(export_, &QPushButton::clicked, this, &HistoryWindow::EXPORTER_Click);
    // A filter changed from the program reads again, as the operator's change does.
    connect(onlyDisplay_, &QCheckBox::toggled, this, &HistoryWindow::ACTUALISER_Click);
    connect(sinceOn_, &QCheckBox::toggled, this, &HistoryWindow::ACTUALISER_Click);
    connect(since_, &QDateEdit::dateChanged, this, &HistoryWindow::ACTUALISER_Click);
    connect(display_, &QComboBox::currentTextChanged, this, &HistoryWindow::fillTable);
    connect(lot_, &QLineEdit::editingFinished, this, &HistoryWindow::ACTUALISER_Click);

    ACTUALISER_Click();
}

HistoryWindow::~HistoryWindow()
{
    if (reading_)
        reading_->cancel();
}

QSize HistoryWindow::sizeHint() const { return QSize(980, 420).expandedTo(QWidget::sizeHint()); }

void HistoryWindow::setSelectedDisplay(const QString& display) { display_->setCurrentText(display); }

QString HistoryWindow::selectedDisplay() const { return display_->currentText().trimmed(); }

Filter HistoryWindow::filter() const
{
    Filter f;
    f.lot = lot_->text().trimmed();
    f.training = journal_.trainingSession();
    if (sinceOn_->isChecked())
        f.since = since_->date().startOfDay().toUTC();
    return f;
}

void HistoryWindow::ACTUALISER_Click()
{
    if (reading_)
        reading_->cancel();
    status_->setText(journal_.hasServer()
                         ? T("Lecture du serveur partagé %1...").arg(journal_.serverShown())
                         : T("Lecture du journal du poste %1...").arg(QDir::toNativeSeparators(journal_.databasePath())));
    cancel_->setEnabled(true);
    reading_ = journal_.read(filter(), this, [this](const JournalPage& page) { showPage(page); });
}

void HistoryWindow::ANNULER_Click()
{
    if (!reading_)
        return;
    reading_->cancel();
    reading_.reset();
    cancel_->setEnabled(false);
    status_->setText(T("Lecture annulée : le tableau est celui de la lecture précédente."));
}

void HistoryWindow::showPage(const JournalPage& page)
{
    reading_.reset();
    cancel_->setEnabled(false);
    readError_ = page.error;
    waiting_.clear();
    refused_.clear();
    if (!page.error.isEmpty() && !journal_.hasServer()) {
        status_->setText(T("Journal illisible : %1").arg(page.error));
        all_.clear();
        shown_.clear();
        table_->setRowCount(0);
        return;
    }
    // With a server, what it lacks of this station is shown beside what it holds, and says so.
    QList<JournalRecord> records = page.records;
    for (const JournalRecord& r : page.waiting) {
        records << r;
        waiting_.insert(r.id);
    }
    for (const SetAsideRecord& aside : page.setAside) {
        records << aside.record;
        refused_.insert(aside.record.id, aside.reason);
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
        QStringList texts = cells(r);
        QString note;
        if (refused_.contains(r.id)) {
            note = T("Refusé par le serveur, mis de côté : %1").arg(refused_.value(r.id));
            texts.last() = note + QStringLiteral(" — ") + texts.last();
        } else if (waiting_.contains(r.id)) {
            note = T("Pas encore sur le serveur partagé : attend d'y être envoyé.");
        }
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (mine || !note.isEmpty()) {
                QFont font = item->font();
                font.setBold(mine);
                font.setItalic(!note.isEmpty());
                item->setFont(font);
                item->setToolTip(note);
            }
            if (column == 2 && (r.outcome == Result::Failed || r.outcome == Result::Interrupted))
                item->setForeground(theme::kFailedLine.text.get());
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    // While a read is under way the status says so; its answer sets the status again.
    if (!reading_)
        status_->setText(statusText());
}

QString HistoryWindow::statusText() const
{
    const QString count = (shown_.size() > 1 ? T("%1 opérations") : T("%1 opération")).arg(shown_.size());
    if (!journal_.hasServer())
        return T("Journal du poste %1 — %2").arg(QDir::toNativeSeparators(journal_.databasePath()), count);
    QString text = readError_.isEmpty()
        ? T("Serveur partagé %1 — %2").arg(journal_.serverShown(), count)
        : T("Serveur partagé illisible : %1. Seules les opérations de ce poste qui n'y sont pas : %2")
              .arg(readError_, count);
    if (!waiting_.isEmpty() && readError_.isEmpty())
        text += (waiting_.size() > 1 ? T(" ; %1 de ce poste attendent d'y être envoyées")
                                     : T(" ; %1 de ce poste attend d'y être envoyée"))
                    .arg(waiting_.size());
    if (!refused_.isEmpty())
        text += (refused_.size() > 1 ? T(" ; %1 refusées par le serveur, mises de côté")
                                     : T(" ; %1 refusée par le serveur, mise de côté"))
                    .arg(refused_.size());
    return text;
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
