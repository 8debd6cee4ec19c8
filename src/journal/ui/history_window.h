#pragma once
// The "Historique" window: the service journal as a table, the selected display's operations first, with
// filters on the display, the lot and a date, and an export of what is shown to a CSV file. It reads the
// shared server when the station has one, else the station's own journal; it never talks to a display.
// The table reads a page at a time as it is scrolled (HistoryModel), off the GUI thread: the window says
// that it reads, and "Annuler" stops it. The export reads every page in turn, also off the GUI thread.
#include <QHash>
#include <QList>
#include <QSet>
#include <QWidget>

#include <memory>

#include "common/language.h"
#include "journal/journal.h"
#include "journal/ui/history_model.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSaveFile;
class QTableView;

namespace trivo {
class Dialogs;

inline const QString kHistoryTitle = FR("Historique des opérations");

class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(Dialogs& dialogs, journal::Journal& journal, QWidget* parent = nullptr);
    ~HistoryWindow() override;
    // Room for every column side by side.
    QSize sizeHint() const override;

    // The display whose operations come first (the one connected): its serial number or USB path.
    void setSelectedDisplay(const QString& display);
    QString selectedDisplay() const;

    // The operator's actions. ACTUALISER starts a read; the table is filled when it comes back.
    void ACTUALISER_Click();
    void ANNULER_Click();
    void EXPORTER_Click();
    bool isReading() const { return model_->isReading(); }
    bool isExporting() const { return exportFile_ != nullptr; }

    // What the table shows so far (the pages read), in its order.
    const QList<journal::JournalRecord>& shown() const { return model_->records(); }
    QString statusText() const;

private:
    journal::Filter filter() const;
    void showPage();
    void exportNext();
    void exportEnded(const QString& failure);

    Dialogs& dialogs_;
    journal::Journal& journal_;
    HistoryModel* model_ = nullptr;
    bool resized_ = false;  // the columns fitted to the first page of a read
    QSet<QString> displays_;  // met so far, offered in the list
    qsizetype listed_ = 0;    // rows whose display is in the list
    // The export under way: its own reads of every page, into a file that replaces the old one at the end.
    std::unique_ptr<HistoryCursor> exportCursor_;
    std::shared_ptr<journal::ReadTicket> exportReading_;
    std::unique_ptr<QSaveFile> exportFile_;
    qint64 exported_ = 0;
    bool exportRead_ = false;  // a page of it was read
    QComboBox* display_ = nullptr;
    QCheckBox* onlyDisplay_ = nullptr;
    QLineEdit* lot_ = nullptr;
    QCheckBox* sinceOn_ = nullptr;
    QDateEdit* since_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* export_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace trivo
