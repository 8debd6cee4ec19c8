#pragma once
// The special-registers window REGISTRE: reads the display's register block twice a second and shows
// clock, radio synchronisation, radio level, temperature, push buttons and LEDs; its LED and buzzer
// pictures double as keys that drive those outputs while the mouse button, or Space, is held on them. A
// second page draws the temperature and the radio level of the last hour from those same reads, and exports
// them as CSV.
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "registers/register_decoding.h"
#include "registers/register_history.h"
#include "registers/register_reading.h"
#include "registers/remote_keys.h"

class QChart;
class QChartView;
class QDateTimeAxis;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QValueAxis;

namespace trivo {
class DisplayOwner;
class Dialogs;
class MainServices;
class WindowOperations;

class RegistersWindow : public QWidget {
    Q_OBJECT
public:
    RegistersWindow(DisplayOwner& owner, Dialogs& dialogs, MainServices& main, QWidget* parent = nullptr);
    ~RegistersWindow() override;
    // The window's load: run by the main window right after the first show.
    void Form_Load();

    // The periodic read, on the display's owner: skipped while an operation has the display, held while the
    // display does not answer.
    void Timer1_Timer();
    void but_RD_HID_ECR_Click();  // "Lire ": one read and display cycle, an operation of its own
    void Command2_Click();        // "Effacer"
    void Command1_Click();        // "Fermer la fenêtre"
    void EXPORTER_CSV_Click();    // "Exporter en CSV...": the readings kept, in a file the operator names

    void G4_MouseDown();
    void G4_MouseUp();
    void G5_MouseDown();
    void G5_MouseUp();
    void G6_MouseDown();
    void G6_MouseUp();
    void G7_MouseDown();
    void G7_MouseUp();

    QTimer& Timer1() { return timer1_; }
    // What the last cycle that was answered decoded (its LED, push-button and level bytes are the window's
    // only state).
    const registers::RegisterReadout& lastReadout() const { return last_; }
    // False from a read that went unanswered until the next answered one: the values shown are greyed,
    // the progress box says so.
    bool valuesCurrent() const { return current_; }

    // The readings of the last hour that the curves draw.
    const registers::RegisterHistory& history() const { return history_; }
    // The time given to each answered read; by default the station's clock at the window's creation carried
    // on by a steady clock, so that a clock set back or forward does not fold the curves.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    // "Valeurs" (0) and "Courbes" (1).
    QTabWidget* pages() const { return pages_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Curve {
        QChartView* view = nullptr;
        QChart* chart = nullptr;
        // One line per run of readings; a gap where the radio gave no level.
        QList<QLineSeries*> lines;
        QColor colour;
        QDateTimeAxis* time = nullptr;
        QValueAxis* values = nullptr;
    };
    void buildControls();
    QWidget* buildValuesPage();
    QGroupBox* clockFrame(const char* name, const QString& caption, const char* dateName, const char* timeName,
                          QLabel*& date, QLabel*& time);
    QGroupBox* buildIndicatorsFrame();
    QHBoxLayout* buildButtonRow();
    QWidget* buildCurvesPage();
    Curve makeCurve(const char* name, const QString& title, const QString& accessibleName, QWidget* parent);
    void styleCurves();
    void drawRuns(Curve& curve, const QList<QList<QPointF>>& runs);
    void refreshCurves();
    void describeHistory();
    void placeIndicators();
    void keyEvent(registers::RemoteKey key, bool pressed);
    void startCycle();
    void showCycle(const registers::RegistersRead& read);
    void showReadout(const registers::RegisterReadout& readout);
    void setCurrent(bool current);
    void describeValues();
    QLabel* picture(const char* name) const;

    DisplayOwner& owner_;
    std::unique_ptr<WindowOperations> operations_;
    Dialogs& dialogs_;
    MainServices& main_;
    QTimer timer1_;
    registers::RegisterReadout last_;
    bool current_ = true;
    registers::RegisterHistory history_;
    std::function<QDateTime()> clock_;

    QTabWidget* pages_ = nullptr;
    QWidget* curvesPage_ = nullptr;
    Curve temperatureCurve_;
    Curve radioCurve_;
    QPointF temperatureRange_;  // the lowest and highest degree asked of the axis, before Qt rounds them
    QLabel* readings_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QGroupBox* frame5_ = nullptr;
    QLabel* dateTrivo_ = nullptr;
    QLabel* heureTrivo_ = nullptr;
    QLabel* dateDcf_ = nullptr;
    QLabel* heureDcf_ = nullptr;
    QLabel* niveau_ = nullptr;
    QLabel* temperature_ = nullptr;
    std::array<QLabel*, registers::kLevelBars + 1> picture1_{};  // bars 0..7, icon 8
    QLineEdit* text1_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace trivo
