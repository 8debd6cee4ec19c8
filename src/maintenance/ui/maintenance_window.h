#pragma once
// Fonction_SPE, the maintenance window: three maintenance buttons, and an update area that unfolds
// below them to read a firmware HEX file, browse its dump and send it to the display.
#include <QWidget>

#include <memory>

#include "maintenance/firmware_flasher.h"
#include "maintenance/firmware_image.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;

namespace trivo {
class DisplayOwner;
class Dialogs;
class MainServices;
class WindowOperations;

class MaintenanceWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShortHeightTwips = 1600;
    static constexpr int kTallHeightTwips = 4000;
    static constexpr int kWidthTwips = 7800;

    MaintenanceWindow(DisplayOwner& owner, Dialogs& dialogs, MainServices& main, QWidget* parent = nullptr);
    ~MaintenanceWindow() override;
    // The window's load: run by the main window right after the first show.
    void Form_Load();

    void FORMATE_Click();
    void INITIALISER_Click();
    void Maj_Click();
    void FERME_Click();
    void but_ferme_Click();
    void Cmd_Openfile_Click();
    void CMD_Flash_OK_Click();
    // "Annuler" during an update: it cannot be stopped once the display's memory is being rewritten, and
    // the window says so.
    void explainNoCancel();
    bool flashRunning() const;
    // Redraws Text2 from the image at the scroll bar's line; also run by the scroll bar.
    void DUMP();

    const FirmwareImage& image() const { return image_; }
    // True once a file has been read without error in this window: only such an image may be flashed.
    bool imageLoaded() const { return imageLoaded_; }
    // Text2's contents as the dump made them (lines end with CR LF).
    QString dumpText() const { return dump_; }
    int heightTwips() const { return heightTwips_; }
    // The whole panel at the height it has now.
    QSize sizeHint() const override;
    // Outcome of the last transfer started in this window (none yet: reportsDelivered 0, not completed).
    const FlashResult& lastFlash() const { return lastFlash_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class ProgressView;
    // The constructor's parts, in this order.
    void buildControls();
    void nameControls();
    void placeControls();
    void connectControls();
    void showFlashing(bool flashing);
    void setHeightTwips(int twips);
    void closeWindow();
    void place(QWidget* w, int x, int y, int width, int height);

    DisplayOwner& owner_;
    std::unique_ptr<WindowOperations> operations_;
    std::unique_ptr<ProgressView> flashView_;
    Dialogs& dialogs_;
    MainServices& main_;

    FirmwareImage image_{};
    bool imageLoaded_ = false;
    QString dump_;
    int heightTwips_ = 0;
    FlashResult lastFlash_;

    QWidget* panel_;
    QPushButton* formate_;
    QPushButton* initialiser_;
    QPushButton* maj_;
    QLabel* label4_;
    QPushButton* butFerme_;
    QProgressBar* progressBar1_;
    QWidget* updateArea_;
    QPlainTextEdit* text2_;
    QScrollBar* vScroll1_;
    QLineEdit* txtFilename_;
    QPushButton* cmdOpenfile_;
    QPushButton* cmdFlashOk_;
    QPushButton* ferme_;
    QPushButton* annuler_;
};

}  // namespace trivo
