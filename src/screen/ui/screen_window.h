#pragma once
// The home-screen window ECRAN_ACCEUIL: the 240 x 64 preview Picture1, picture import (OUVRIR) and the
// transfers to and from the display (Lire, Envoi, Effacer). The window owns the preview; it is lost when
// the window is closed.
#include <QWidget>

#include <memory>

#include "common/language.h"
#include "common/progress.h"
#include "screen/home_screen_picture.h"
#include "screen/screen_transfer.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace trivo {
class DisplayOwner;
class Dialogs;
class MainServices;
class WindowOperations;

// Kept in French, shown with T().
inline const QString kScreenOpenTitle = FR("Ouvrir un fichier image bmp 240x64 16 couleurs.");
// The two entries "Fichiers bmp " (*.bmp) and "Tous les fichiers(*.*)" (every file), in Qt's form.
inline const QString kScreenOpenFilter = FR("Fichiers bmp (*.bmp);;Tous les fichiers(*.*) (*)");

class ScreenWindow : public QWidget, private Progress {
    Q_OBJECT
public:
    ScreenWindow(DisplayOwner& owner, Dialogs& dialogs, MainServices& main, QWidget* parent = nullptr);
    ~ScreenWindow() override;
    // The window's load: run by the main window right after the first show.
    void Form_Load();

    // The preview's pixels (Picture1).
    HomeScreenPicture& picture() { return picture_; }
    const HomeScreenPicture& picture() const { return picture_; }
    // Draws one pixel at the plot position and advances it.
    void doteur(QRgb colour);

    // --- handlers ------------------------------------------------------------------------------
    void OUVRIR_Click();
    void but_RD_HID_ECR_Click();
    void but_WR_HID_ECR_Click();
    void Command2_Click();
    void Command1_Click();
    // "Annuler": stops the transfer under way between two blocks.
    void cancelTransfer();
    // A transfer this window asked of the display has not ended yet.
    bool transferRunning() const;

    // The result of the read-back after Envoi (when the Outils menu asks for it): shown below the buttons,
    // hidden until a read-back has run.
    QString readBackText() const;
    bool readBackShown() const;

    // The black-and-white picture the preview shows at load.
    static QImage welcomePicture();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Progress: ProgressBar1 and Text1.
    void begin(int maximum, const QString& text) override;
    void advance(int value, const QString& text) override;
    void end() override;
    void setProgressVisible(bool visible);
    void previewChanged();
    void showReadBack(const QString& text, bool good);
    void showBusy(bool busy);
    // Runs a transfer on the display with the window's progress and its cancel button.
    template <class Result>
    void transfer(std::function<Result(Exchanger&, Progress&)> work, std::function<void(const Result&)> done);

    std::unique_ptr<WindowOperations> operations_;
    Dialogs& dialogs_;
    MainServices& main_;
    HomeScreenPicture picture_;
    QWidget* picture1_ = nullptr;
    QPushButton* ouvrir_ = nullptr;
    QPushButton* lire_ = nullptr;
    QPushButton* envoi_ = nullptr;
    QPushButton* effacer_ = nullptr;
    QPushButton* fermer_ = nullptr;
    QPushButton* annuler_ = nullptr;
    QString pictureFile_;  // the picture file the preview was opened from, for the journal
    QLineEdit* text1_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QLabel* readBack_ = nullptr;
};

}  // namespace trivo
