#pragma once
// The Historique window's "Tableau de bord": the journal's figures for a period, counted by the database
// off the GUI thread (the journal's reader): the operations per hour, passed and failed per lot, the
// failure reasons ranked with their cumulative share, the stations and operators. The charts follow the
// palette (light or dark); every figure they draw is also in a table, for a screen reader. "Exporter en
// PDF/PNG..." writes the page as it is drawn.
#include <QWidget>

#include <memory>

#include "common/language.h"
#include "journal/journal.h"
#include "journal/journal_summary.h"

class QCheckBox;
class QChart;
class QChartView;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace trivo {
class Dialogs;

inline const QString kDashboardTitle = FR("Tableau de bord");

class DashboardPage : public QWidget {
    Q_OBJECT
public:
    DashboardPage(Dialogs& dialogs, journal::Journal& journal, QWidget* parent = nullptr);
    ~DashboardPage() override;

    // The operator's actions. ACTUALISER starts a count; the page is drawn when it comes back.
    void ACTUALISER_Click();
    void EXPORTER_Click();
    bool isCounting() const { return counting_ != nullptr; }
    // The figures drawn, as they came back.
    const journal::JournalSummary& summary() const { return summary_; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    journal::Filter filter() const;
    void showFigures(const journal::JournalSummary& summary);
    void drawHours();
    void drawLots();
    void drawReasons();
    void fillTables();
    void styleCharts();
    // The page without its buttons, as it is exported.
    QImage picture() const;

    Dialogs& dialogs_;
    journal::Journal& journal_;
    journal::JournalSummary summary_;
    std::shared_ptr<journal::ReadTicket> counting_;
    bool counted_ = false;
    QLineEdit* lot_ = nullptr;
    QCheckBox* sinceOn_ = nullptr;
    QDateEdit* since_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QPushButton* export_ = nullptr;
    QWidget* sheet_ = nullptr;  // what is exported
    QChartView* hours_ = nullptr;
    QChartView* lots_ = nullptr;
    QChartView* reasons_ = nullptr;
    QTableWidget* people_ = nullptr;
    QTableWidget* figures_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace trivo
