#pragma once
// The window of the production line: the model file and the picture chosen once, Start and Stop, and what
// an operator reads from two metres away: a large panel that turns green "CONFORME" or red "ÉCHEC" with
// the reason after each unit, the counters, the step under way and the last lines of the log. The line
// itself runs on its own thread (production/line_runner.h); this window only shows it.
#include <QWidget>

#include <memory>

#include "production/line_runner.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QGroupBox;
class QVBoxLayout;

namespace trivo {
class Dialogs;
class LotPanel;
class MainServices;
namespace journal {
class Journal;
}

class ProductionWindow : public QWidget {
    Q_OBJECT
public:
    enum class Panel { Ready, Running, Passed, Failed };
    static constexpr int kShownLogLines = 8;

    ProductionWindow(Dialogs& dialogs, MainServices& main, QWidget* parent = nullptr);
    ~ProductionWindow() override;

    // Training: the line is made of emulated displays, as many as chosen here, one of them faulty if asked.
    void setTraining(bool on);
    bool training() const { return training_; }
    // An emulated line that does not wait for real between checks (tests).
    void setVirtualTime(bool on) { virtualTime_ = on; }
    // The service journal every unit is recorded in (none: the CSV log only); it outlives the window.
    void setJournal(journal::Journal* journal);
    // Where the lots are kept: the station's database and the shared server ("" : none); read at once.
    void setLotSource(const QString& databasePath, const QString& serverUri);
    LotPanel* lotPanel() const { return lotPanel_; }

    // The operator's actions.
    void cmdModele_Click();
    void cmdEcran_Click();
    void cmdSansEcran_Click();
    void cmdJournal_Click();
    bool cmdDemarrer_Click();
    void cmdArreter_Click();

    void setModelPath(const QString& path);
    void setPicturePath(const QString& path);
    void setLogPath(const QString& path);
    void setUnits(int units);
    void setPlaces(int places);
    // Training: unit `unit` of the emulated line (0 = none) gets the fault at `faultIndex` in the catalogue.
    void setFaultyUnit(int unit, int faultIndex);

    Panel panel() const { return panel_; }
    QString panelText() const;
    QString reasonText() const;
    int units() const { return units_; }
    int passed() const { return passed_; }
    int failed() const { return failed_; }
    QStringList shownLogLines() const;
    bool running() const { return runner_.running(); }
    production::LineRunner& runner() { return runner_; }
    // The room its contents ask for; where the main window has less, they scroll.
    QSize sizeHint() const override;

signals:
    // The line ended (by Stop, by itself, or when an emulated line ran out of units).
    void lineFinished(const trivo::production::LineSummary& summary);
    // A line on the real displays starts (true) or has ended (false): the program's own link lets go of
    // the display meanwhile, so that it is opened once, by the line.
    void realDisplaysTaken(bool taken);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QGroupBox* buildFiles(QWidget* parent);
    QGroupBox* buildTraining(QWidget* parent);
    void buildVerdict(QVBoxLayout* outer, QWidget* parent);
    void buildProgress(QVBoxLayout* outer, QWidget* parent);
    void nameAndConnect();
    QString chooseFileToOpen(const QString& title, const QString& filter);
    void setPanel(Panel panel, const QString& title, const QString& unitText, const QString& reason);
    void refreshCounters();
    void refreshButtons();
    void onUnitStarted(int place, int unit, const QString& usbPath);
    void onStepStarted(int place, int unit, const QString& caption);
    void onStepProgress(int place, int unit, int value, int maximum);
    void onUnitFinished(int place, const production::UnitRecord& record, const QString& logLine);
    void onFinished(const production::LineSummary& summary);

    Dialogs& dialogs_;
    MainServices& main_;
    production::LineRunner runner_;
    QScrollArea* scroll_ = nullptr;
    QWidget* contents_ = nullptr;
    bool training_ = false;
    bool virtualTime_ = false;
    Panel panel_ = Panel::Ready;
    int units_ = 0;
    int passed_ = 0;
    int failed_ = 0;
    int places_ = 1;

    QLineEdit* model_ = nullptr;
    QLineEdit* picture_ = nullptr;
    QLineEdit* log_ = nullptr;
    QPushButton* modelButton_ = nullptr;
    QPushButton* pictureButton_ = nullptr;
    QPushButton* noPictureButton_ = nullptr;
    QPushButton* logButton_ = nullptr;
    QSpinBox* placesBox_ = nullptr;
    QGroupBox* trainingBox_ = nullptr;
    QSpinBox* unitsBox_ = nullptr;
    QSpinBox* faultyUnitBox_ = nullptr;
    QComboBox* faultBox_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QFrame* panelFrame_ = nullptr;
    QLabel* unitLabel_ = nullptr;
    QLabel* resultLabel_ = nullptr;
    QLabel* reasonLabel_ = nullptr;
    QLabel* unitsCount_ = nullptr;
    QLabel* passedCount_ = nullptr;
    QLabel* failedCount_ = nullptr;
    QLabel* stepLabel_ = nullptr;
    QProgressBar* stepBar_ = nullptr;
    QListWidget* logLines_ = nullptr;
    journal::Journal* journal_ = nullptr;
    LotPanel* lotPanel_ = nullptr;
    bool realLine_ = false;
};

}  // namespace trivo
