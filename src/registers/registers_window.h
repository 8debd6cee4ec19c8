#pragma once
#include <QWidget>

namespace trivo {
class Link;
class Dialogs;
class MainServices;

class RegistersWindow : public QWidget {
    Q_OBJECT
public:
    RegistersWindow(Link& link, Dialogs& dialogs, MainServices& main, QWidget* parent = nullptr);
    // The window's load: run by the main window right after the first show.
    void Form_Load();

private:
    Link& link_;
    Dialogs& dialogs_;
    MainServices& main_;
};

}  // namespace trivo
