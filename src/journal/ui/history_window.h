#pragma once
// The "Historique" window: the service journal as a table, the selected display's operations first, with
// filters on the display, the lot and a date, and an export of what is shown to a CSV file. It reads the
// shared server when the station has one, else the station's own journal; it never talks to a display.
// The reading runs off the GUI thread: the window says that it reads, and "Annuler" stops it.
#include <QHash>
#include <QList>
#include <QSet>
#include <QWidget>

#include <memory>

#include "common/language.h"
#include "journal/journal.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

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
    bool isReading() const { return reading_ != nullptr; }

    // What the table shows, in its order.
    const QList<journal::JournalRecord>& shown() const { return shown_; }
    QString statusText() const;

private:
    journal::Filter filter() const;
    void showPage(const journal::JournalPage& page);
    void fillTable();

    Dialogs& dialogs_;
    journal::Journal& journal_;
    QList<journal::JournalRecord> all_;  // as read, before the display's come first
    QList<journal::JournalRecord> shown_;
    std::shared_ptr<journal::ReadTicket> reading_;
    QString readError_;
    // With a server: this station's records that are not on it, waiting or refused (with the reason).
    QSet<QString> waiting_;
    QHash<QString, QString> refused_;
    QComboBox* display_ = nullptr;
    QCheckBox* onlyDisplay_ = nullptr;
    QLineEdit* lot_ = nullptr;
    QCheckBox* sinceOn_ = nullptr;
    QDateEdit* since_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* export_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace trivo
