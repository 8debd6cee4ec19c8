#pragma once
// The main window's menu bar.
#include <QObject>

class QMenuBar;

namespace trivo {
class MainWindow;

class MenuBar : public QObject {
    Q_OBJECT
public:
    explicit MenuBar(MainWindow& main);
    void build(QMenuBar* bar);

private:
    MainWindow& main_;
};

}  // namespace trivo
