#pragma once
// ORV_ND_SPLASH, the about window: product name, version, a four-picture animation and the maker's
// details. It closes itself at the tenth 500 ms tick, or at once on a key press or a click on the name,
// the version or a picture. Each showing is a new window, so the count always starts from "0".
#include <QWidget>
#include <QPointer>
#include <QPixmap>
#include <array>

class QLabel;
class QPlainTextEdit;
class QTimer;
class QFrame;

namespace trivo {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTickMs = 500;
    static constexpr int kTicksBeforeClose = 10;
    static constexpr int kPictureCount = 4;

    // mainWindow is brought forward when the about window closes (may be null).
    explicit AboutWindow(QWidget* mainWindow, QWidget* parent = nullptr);

    void Form_Load();
    // Closes (and so destroys) the about window and brings the main window forward.
    void QUITTEUR();
    // One animation step; the timer calls it every 500 ms, tests call it directly.
    void Timer1_Timer();

    QTimer& Timer1() { return *timer_; }
    // The picture shown for frame i (0..3), drawn in code.
    static QPixmap drawPicture(int frame, const QSize& size);

signals:
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<QWidget> mainWindow_;
    QLabel* label1_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    std::array<QLabel*, kPictureCount> pictures_{};
    QPlainTextEdit* text1_ = nullptr;
    QFrame* shape1_ = nullptr;
    QTimer* timer_ = nullptr;
    bool quitting_ = false;
};

// The maker's details shown in Text1.
QString makerDetails();

}  // namespace trivo
