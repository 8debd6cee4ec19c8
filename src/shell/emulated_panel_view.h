#pragma once
// Live view of the emulated display for the training mode: counter, totaliser, the LCD with its
// home-screen picture, the LEDs, the relays and the buzzer, following whatever the program sends.
#include <QWidget>

class QLabel;
class QTimer;

namespace trivo {
class EmulatedTransport;

class EmulatedPanelView : public QWidget {
    Q_OBJECT
public:
    explicit EmulatedPanelView(EmulatedTransport& transport, QWidget* parent = nullptr);
    // Copies the emulated display's state into the view; runs on a short timer.
    void refresh();

    QString counterText() const;
    QString totaliserText() const;
    QImage lcdImage() const;

protected:
    // The panel itself holds the focus: it shows it, as a control does.
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    EmulatedTransport& transport_;
    QLabel* counter_;
    QLabel* totaliser_;
    QLabel* lcd_;
    QLabel* state_;
    QList<QLabel*> lamps_;  // LED 1..3, relay 1, relay 2, buzzer
    QTimer* timer_;
    QImage lcdImage_;
};

}  // namespace trivo
