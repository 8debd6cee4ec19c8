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
#include <QSaveFile>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
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

constexpr qsizetype kListedDisplays = 200;
const QString kCsvFilter = FR("Fichier CSV (*.csv);;Tous les fichiers (*)");
// What a screen reader says of the controls whose caption does not say it.
const QString kDisplayName = FR("Afficheur");
const QString kLotName = FR("Lot");
const QString kSinceName = FR("Date de début");
const QString kTableName = FR("Opérations du journal");
const QString kSourceName = FR("Source du journal");

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

    model_ = new HistoryModel(journal_, this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("TABLE"));
    table_->setModel(model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    // Rows of one height, not measured one by one: a table of many pages scrolls without asking each row.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
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
    // The selected display's records come first: a read in that order, as a filter's change is.
    connect(display_, &QComboBox::currentTextChanged, this, &HistoryWindow::ACTUALISER_Click);
    connect(model_, &HistoryModel::pageRead, this, &HistoryWindow::showPage);
    connect(lot_, &QLineEdit::editingFinished, this, &HistoryWindow::ACTUALISER_Click);

    ACTUALISER_Click();
}

HistoryWindow::~HistoryWindow()
{
    model_->cancel();
    if (exportReading_)
        exportReading_->cancel();
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
    status_->setText(journal_.hasServer()
                         ? T("Lecture du serveur partagé %1...").arg(journal_.serverShown())
                         : T("Lecture du journal du poste %1...").arg(QDir::toNativeSeparators(journal_.databasePath())));
    cancel_->setEnabled(true);
    resized_ = false;
    model_->restart(filter(), selectedDisplay(), onlyDisplay_->isChecked());
}

void HistoryWindow::ANNULER_Click()
{
    if (!model_->isReading())
        return;
    model_->cancel();
    cancel_->setEnabled(false);
    status_->setText(T("Lecture annulée : le tableau est celui de la lecture précédente."));
}

void HistoryWindow::showPage()
{
    cancel_->setEnabled(false);
    if (model_->localError()) {
        status_->setText(T("Journal illisible : %1").arg(model_->error()));
        return;
    }
    const QList<JournalRecord>& records = model_->records();
    if (listed_ > records.size() || model_->rowCount() <= HistoryCursor::kPage) {
        // A new read: the list is that of its displays. What the operator typed stays.
        const QString current = display_->currentText();
        const QSignalBlocker block(display_);
        display_->clear();
        display_->setCurrentText(current);
        displays_.clear();
        listed_ = 0;
    }
    // The displays met so far, offered in the list in their order, each new one put in its place; a list
    // to choose from, not an index of a line's every unit: it stops growing at kListedDisplays.
    const QSignalBlocker block(display_);
    const QString current = display_->currentText();
    for (; listed_ < records.size() && displays_.size() < kListedDisplays; ++listed_) {
        const QString display = records[listed_].display();
        if (displays_.contains(display))
            continue;
        displays_.insert(display);
        int low = 0;
        int high = display_->count();
        while (low < high) {
            const int middle = (low + high) / 2;
            if (display_->itemText(middle) < display)
                low = middle + 1;
            else
                high = middle;
        }
        display_->insertItem(low, display);
    }
    if (display_->currentText() != current)
        display_->setCurrentText(current);
    if (!resized_) {
        table_->resizeColumnsToContents();
        resized_ = true;
    }
    status_->setText(statusText());
}

QString HistoryWindow::statusText() const
{
    const qsizetype shown = model_->records().size();
    QString count = (shown > 1 ? T("%1 opérations") : T("%1 opération")).arg(shown);
    if (!model_->atEnd())
        count = T("%1 les plus récentes (la suite en faisant défiler)").arg(count);
    if (!journal_.hasServer())
        return T("Journal du poste %1 — %2").arg(QDir::toNativeSeparators(journal_.databasePath()), count);
    const QString readError = model_->error();
    QString text = readError.isEmpty()
        ? T("Serveur partagé %1 — %2").arg(journal_.serverShown(), count)
        : T("Serveur partagé illisible : %1. Seules les opérations de ce poste qui n'y sont pas : %2")
              .arg(readError, count);
    const qsizetype waiting = model_->waitingCount();
    const qsizetype refused = model_->refusedCount();
    if (waiting > 0 && readError.isEmpty())
        text += (waiting > 1 ? T(" ; %1 de ce poste attendent d'y être envoyées")
                             : T(" ; %1 de ce poste attend d'y être envoyée"))
                    .arg(waiting);
    if (refused > 0)
        text += (refused > 1 ? T(" ; %1 refusées par le serveur, mises de côté")
                             : T(" ; %1 refusée par le serveur, mise de côté"))
                    .arg(refused);
    return text;
}

void HistoryWindow::EXPORTER_Click()
{
    if (isExporting())
        return;
    FileRequest request;
    request.title = T("Exporter l'historique.");
    request.filter = T(kCsvFilter);
    request.initialDir = documentsFolder();
    request.fileName = QStringLiteral("historique.csv");
    request.save = true;
    const QString path = dialogs_.saveFile(request);
    if (path.isEmpty())
        return;
    // What the table shows, every page of it and not only those scrolled to, written as it is read: the
    // file is replaced only once whole.
    exportFile_ = std::make_unique<QSaveFile>(path);
    if (!exportFile_->open(QIODevice::WriteOnly)) {
        const FileError error = openFault(path, true, exportFile_->errorString());
        exportFile_.reset();
        present(OperationResult::fileFailure(error), dialogs_, nullptr);
        return;
    }
    export_->setEnabled(false);
    exported_ = 0;
    exportRead_ = false;
    exportCursor_ = std::make_unique<HistoryCursor>(journal_, filter(), selectedDisplay(), onlyDisplay_->isChecked());
    exportFile_->write(journal::csvHeader().toUtf8() + '\n');
    exportNext();
}

void HistoryWindow::exportNext()
{
    exportReading_ = exportCursor_->next(this, [this](const HistoryRows& rows) {
        exportReading_.reset();
        // A journal that stops answering part way leaves no file that would look whole.
        if (rows.localError || (!rows.error.isEmpty() && exportRead_)) {
            exportEnded(T("Journal illisible : %1").arg(rows.error));
            return;
        }
        exportRead_ = exportRead_ || rows.error.isEmpty();
        QByteArray bytes;
        for (const JournalRecord& r : rows.records)
            bytes += journal::csvLine(r).toUtf8() + '\n';
        exported_ += rows.records.size();
        if (exportFile_->write(bytes) != bytes.size()) {
            exportEnded(QString());
            return;
        }
        if (exportCursor_->atEnd())
            exportEnded(QString());
        else
            exportNext();
    });
}

void HistoryWindow::exportEnded(const QString& failure)
{
    const std::unique_ptr<QSaveFile> file = std::move(exportFile_);
    exportCursor_.reset();
    export_->setEnabled(true);
    if (!failure.isEmpty()) {
        file->cancelWriting();
        file->commit();
        dialogs_.inform(failure, MsgIcon::Exclamation);
        return;
    }
    if (!file->commit()) {
        const FileError error{errnum::kDeviceIo, 0,
                              T("non enregistré, erreur d'écriture : %1 (%2)")
                                  .arg(QDir::toNativeSeparators(file->fileName()), file->errorString())};
        present(OperationResult::fileFailure(error), dialogs_, nullptr);
        return;
    }
    dialogs_.inform((exported_ > 1 ? T("Historique exporté : %1 opérations.") : T("Historique exporté : %1 opération."))
                        .arg(exported_),
                    MsgIcon::Information);
}

}  // namespace trivo
