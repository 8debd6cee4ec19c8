#pragma once
// The home-screen window ECRAN_ACCEUIL: the 240 x 64 preview Picture1, picture import (OUVRIR) and the
// transfers to and from the display (Lire, Envoi, Effacer). The window owns the preview; it is lost when
// the window is closed.
#include <QWidget>

#include "common/progress.h"
#include "screen/home_screen_picture.h"
#include "screen/screen_transfer.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace trivo {
class Exchanger;
class Dialogs;
class MainServices;

inline const QString kScreenOpenTitle = QStringLiteral("Ouvrir un fichier image bmp 240x64 16 couleurs.");
// The two entries "Fichiers bmp " (*.bmp) and "Tous les fichiers(*.*)" (every file), in Qt's form.
inline const QString kScreenOpenFilter = QStringLiteral("Fichiers bmp (*.bmp);;Tous les fichiers(*.*) (*)");

class ScreenWindow : public QWidget, private Progress {
    Q_OBJECT
public:
    ScreenWindow(Exchanger& link, Dialogs& dialogs, MainServices& main, QWidget* parent = nullptr);
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

    // The result of the read-back after Envoi (when the Outils menu asks for it): shown below the buttons,
    // hidden until a read-back has run.
    QString readBackText() const;
    bool readBackShown() const;

    // The black-and-white picture the preview shows at load.
    static QImage welcomePicture();

private:
    // Progress: ProgressBar1 and Text1; the preview is repainted with every step, as the transfers
    // change it.
    void begin(int maximum, const QString& text) override;
    void advance(int value, const QString& text) override;
    void end() override;
    void setProgressVisible(bool visible);
    void setCloseVisible(bool visible);
    void previewChanged();
    void showReadBack(const QString& text, bool good);

    Exchanger& link_;
    Dialogs& dialogs_;
    MainServices& main_;
    HomeScreenPicture picture_;
    QWidget* picture1_ = nullptr;
    QPushButton* ouvrir_ = nullptr;
    QPushButton* lire_ = nullptr;
    QPushButton* envoi_ = nullptr;
    QPushButton* effacer_ = nullptr;
    QPushButton* fermer_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QLabel* readBack_ = nullptr;
};

}  // namespace trivo
