#pragma once
// The configuration window CP: a view over the configuration form's values. Reading, programming, resets
// and configuration files work through formState()/applyFormState() and the public procedures below.
#include <array>
#include <memory>

#include <QWidget>

#include "config/config_form.h"
#include "config/form_state.h"
#include "link/hid_transport.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QSlider;
class QTimer;

namespace trivo {
class DisplayOwner;
class Dialogs;
class WindowOperations;
class MainServices;

class ConfigWindow : public QWidget, public ConfigForm {
    Q_OBJECT
public:
    ConfigWindow(DisplayOwner& owner, Dialogs& dialogs, MainServices& main, QWidget* parent = nullptr);
    ~ConfigWindow() override;

    // The window's load: run by the main window right after the first show; reads the display.
    void Form_Load();

    // --- the form's values (ConfigForm) --------------------------------------------------------
    FormState formState() const override;
    // Sets every control; the mode first (running INIT_P / INIT_T when it changes), then the rest, each
    // change with the same visible effects as the operator's edit.
    void applyFormState(const FormState& state) override;
    void INIT_P() override;
    void INIT_T() override;

    // --- procedures ----------------------------------------------------------------------------
    // Both run on the display's owner: the window stays usable, its device buttons greyed meanwhile.
    void LIRE_PARAM();   // read the display into the form
    void PROG_PARAM();   // program the form into the display
    void RAZ_CONFIG();   // every setting to its default
    void NOUV_CONFIG();  // asks, then RAZ_CONFIG

    // --- handlers (public so that the shell and tests can drive them) --------------------------
    void BOUTON_Click(int index);
    void BOUTON_MouseDown(int index);
    void BOUTON_MouseUp(int index);
    void BOUTON_STA_Click(int index);
    void Option_CPT_Click(int index);
    void Check1_Click(int index);
    void cadre_R1_Click(int index);
    void cadre_R2_Click(int index);
    void cadre_Buz_Click(int index);
    void Timer1_Timer();
    QTimer& Timer1();

    // The page shown: 0 GENERAL, 1 SORTIE.
    int currentPage() const;

    // Where the form's values come from, for the service sheet: the display last read into it or
    // programmed from it (its path and identifiers then), or the file last loaded (CHARGE_CONFIG sets it);
    // neither after a reset. originForm() is the form as it stood then, to tell later edits apart.
    enum class Origin { None, Display, File };
    Origin origin() const { return origin_; }
    const HidInterfaceInfo& originDisplay() const { return originDisplay_; }
    const QString& originFile() const { return originFile_; }
    const FormState& originForm() const { return originForm_; }
    void setOriginFile(const QString& path);

    // An operation this window asked of the display has not ended yet.
    bool operationRunning() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Ui;
    class ProgressBar;
    void buildUi();
    void connectControls();
    void thresholdClick(int output, int index);
    void setOriginDisplay(const FormState& form);
    void showBusy(bool busy);
    void sliderChanged(int n, int value);
    void layOutMode(const ModeLayout& layout);
    void applyModeColours(bool production);
    void paintButton(int index);
    void setThreshold(int output, const ThresholdFrame& threshold);
    void nameControls();
    // The window's frames, a function each, called in the order the controls are created (the tab order).
    QHBoxLayout* buildPageButtons();
    QFrame* buildGeneralPage();
    QGroupBox* buildModeFrame(QWidget* page);
    QGroupBox* buildCounterFrame(QWidget* page);
    QGroupBox* buildTotaliserFrame(QWidget* page);
    QGroupBox* buildDisplayFrame(QWidget* page);
    QGroupBox* buildDisplayTimeFrame(int n, QWidget* parent);
    QGroupBox* buildDecimalPointFrame(QWidget* page);
    QGroupBox* buildStartupFrame(QWidget* page);
    QGroupBox* buildResetHoldFrame(QWidget* parent);
    QGroupBox* buildStartScreenFrame(int slider, QWidget* parent);
    QGroupBox* buildDebounceFrame(QWidget* parent);
    QGroupBox* buildScreenInputFrame(QWidget* page);
    QFrame* buildOutputsPage();
    QGroupBox* buildOutputFrame(int output, QWidget* page);
    QGroupBox* buildRuleFrame(int output, int f, QWidget* parent);
    QGroupBox* buildThresholdFrame(int output, QWidget* parent);
    QFrame* buildCommandStrip();
    QProgressBar* buildProgressBar();

    DisplayOwner& owner_;
    std::unique_ptr<WindowOperations> operations_;
    std::unique_ptr<ProgressBar> progress_;
    Dialogs& dialogs_;
    MainServices& main_;
    Ui* ui_;
    Origin origin_ = Origin::None;
    HidInterfaceInfo originDisplay_;
    QString originFile_;
    QByteArray originFileBytes_;
    FormState originForm_;
};

}  // namespace trivo
