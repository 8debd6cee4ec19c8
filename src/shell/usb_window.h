#pragma once
// The link window USB: its status line Label3, and on demand (for a service technician) the exchange
// label, the diagnostics list, the report buffer and the window's buttons.
#include <QWidget>
#include <functional>
#include <memory>

#include "common/ui/theme.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace trivo {
class DisplayOwner;
class UsbModel;

class UsbWindow : public QWidget {
    Q_OBJECT
public:
    explicit UsbWindow(DisplayOwner& owner, QWidget* parent = nullptr);
    ~UsbWindow() override;

    // "Quitter": close the link, then end the program.
    void Command1_Click();
    void setExitHandler(std::function<void()> handler) { exitHandler_ = std::move(handler); }

    // The technician's view: the progress label, the buffer and the diagnostics, made from the link's
    // records; while it is hidden only the exchanges are followed.
    void setDetailsShown(bool shown);
    bool detailsShown() const;
    const UsbModel& model() const { return *model_; }

private:
    void refreshLabel3();
    void refreshLabel4();
    void refreshBuffer();
    void refreshDiagnostics();
    void takeEvents();

    DisplayOwner& owner_;
    std::unique_ptr<UsbModel> model_;
    QLabel* label3_;
    QLabel* label4_;
    const theme::Face* label4Painted_ = nullptr;  // the face last given to Label4
    QListWidget* lstResults_;
    QWidget* details_;
    QPushButton* toggle_;
    QList<QLineEdit*> text1_;
    std::function<void()> exitHandler_;
};

}  // namespace trivo
