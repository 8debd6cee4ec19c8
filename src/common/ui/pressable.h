#pragma once
// Labels and frames that act as buttons: the configuration window's label-buttons and threshold frames,
// the registers window's LED and buzzer keys. They keep their look (a label, a frame's title) and take the
// keyboard focus, show it, and are pressed by Space or Enter; screen readers see them as buttons.
#include <QGroupBox>
#include <QLabel>

namespace trivo {

class LabelButton : public QLabel {
    Q_OBJECT
public:
    explicit LabelButton(const QString& text, QWidget* parent = nullptr);

    // Space, Enter or the left mouse button: pressed() when it goes down, released() when it comes up
    // (or the control loses the focus or is greyed meanwhile), clicked() after released() when it came up
    // on the control. A key's auto-repeat is no new press.
    bool isDown() const { return keyDown_ || mouseDown_; }
    // What a screen reader's "press" does: a whole click.
    void click();
    // How far inside the edge the focus frame is drawn: a picture's keeps to its transparent rim.
    void setFocusFrameInset(int pixels) { focusInset_ = pixels; }

signals:
    void pressed();
    void released();
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void letGo(bool click);
    bool keyDown_ = false;
    bool mouseDown_ = false;
    int focusInset_ = 3;
};

// A frame whose title is a toggle: Space, Enter or a left click on the frame (not on its children) press it.
class PressableFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit PressableFrame(const QString& title, QWidget* parent = nullptr);
    void click() { emit pressed(); }

signals:
    void pressed();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// The keys that press a focused button.
bool isPressKey(int key);

}  // namespace trivo
