#pragma once
// The main window's menu bar: configuration files, the configuration window, the option windows, window
// arrangement with the list of open children, the help documents and the about window. Every item's
// objectName is its name (MENU_NEW, MEN_FORDOC, ...) and its handler carries the same name.
#include <QObject>
#include <QPointer>

class QMenu;
class QMenuBar;

namespace trivo {
enum class Language;
class MainWindow;
class ConfigWindow;
class AboutWindow;
class ProductionMenu;

class MenuBar : public QObject {
    Q_OBJECT
public:
    explicit MenuBar(MainWindow& main);
    void build(QMenuBar* bar);

    // Handlers, public so that tests and other code can run them as a menu choice does.
    void MENU_NEW_Click();
    void MENU_OUVRIR_Click();
    void MENU_SAUVEGARDER_Click();
    void MENU_QUITTER_Click();
    void MENU_CONFIGURER_Click();
    void MENU_PROGRAMMER_Click();
    void MENU_ECRAN_DEMARRAGE_Click();
    void MENU_LIT_HMS_Click();
    void MENU_INIT_Click();
    void MENU_CASCADE_Click();
    void MENU_HORI_Click();
    void MENU_VERTI_Click();
    void MENU_ARRANFEUILICO_Click();
    void MENU_AIDETALUORV_Click();
    void MEN_FORDOC_Click();
    void MENU_INTERPDF_Click();
    void MENU_INTERDOC_Click();
    void MEN_OPENPDF_Click();
    void MENU_SPLASH_Click();

    ProductionMenu* production() const { return production_; }

    // The about window while it is shown.
    AboutWindow* aboutWindow() const;
    // Rebuilds the list of open child windows below the four arrangement items.
    void refreshWindowList();

private:
    void openDocument(int index);
    void addLanguages(QMenu* option);
    void chooseLanguage(Language chosen);

    MainWindow& main_;
    QMenu* windowMenu_ = nullptr;
    QPointer<AboutWindow> about_;
    ProductionMenu* production_ = nullptr;
};

}  // namespace trivo
