#pragma once
// The production window's lot: a chooser of the lots kept with the journal (the shared server's, or the
// station's), the chosen lot's current revision (the model's main settings, the picture, the expected
// version, the note) and its progress across every station. Every read runs off the GUI thread; the
// answers are shown when they come.
#include <QGroupBox>
#include <QTimer>

#include <memory>

#include "journal/lots.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace trivo::production {
class LotSupply;
}

namespace trivo {

class LotPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LotPanel(QWidget* parent = nullptr);
    ~LotPanel() override;

    // Where the lots are kept, then reads them.
    void setSource(const QString& databasePath, const QString& serverUri);
    void refresh();
    void refreshProgress();
    // While a line runs the progress is read again every few seconds, and the chooser is held.
    void setRunning(bool running);

    // The lot chosen ("" : none, the model file is used) and, once read, what a line makes it with.
    QString chosenLot() const;
    void chooseLot(const QString& lot);
    std::shared_ptr<production::LotSupply> supply() const { return supply_; }
    // The revision's definition and the model's main settings, as shown.
    QString revisionText() const;
    QString progressText() const;
    QString refusal() const { return refusal_; }

signals:
    void lotsShown();      // the chooser holds the lots read
    void revisionShown();  // the chosen lot's revision (or why it cannot be made) is shown
    void progressShown();

private:
    template <typename Work, typename Done>
    void readAside(Work work, Done done);
    void onChosen();

    QString databasePath_;
    QString serverUri_;
    QComboBox* lots_ = nullptr;
    QPushButton* reload_ = nullptr;
    QLabel* revision_ = nullptr;
    QLabel* settings_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* progress_ = nullptr;
    QTimer timer_;
    std::shared_ptr<production::LotSupply> supply_;
    QString refusal_;
    int chosenGeneration_ = 0;  // a late answer of an earlier choice is not shown
};

}  // namespace trivo
