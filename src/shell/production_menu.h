#pragma once
// The production line in the main window: the Option menu's "&Production en série." and, in training
// mode, the Simulation menu's line of emulated displays; both open the one production window.
#include <QObject>
#include <QPointer>

class QMenu;

namespace trivo {
class MainWindow;
class ProductionWindow;

class ProductionMenu : public QObject {
    Q_OBJECT
public:
    ProductionMenu(MainWindow& main, QObject* parent);
    void addTo(QMenu* option);
    void addSimulationItem(QMenu* simulation);

    void MENU_PRODUCTION_Click();
    void MENU_SIM_PRODUCTION_Click();
    // Created on first use, brought forward when it already exists.
    ProductionWindow* showWindow();
    ProductionWindow* window() const;

private:
    MainWindow& main_;
    QPointer<ProductionWindow> window_;
};

}  // namespace trivo
