#pragma once
// What the child windows may reach of the main window: the status panel for the last configuration
// operation and the folder the shared file dialog starts in.
#include <QString>

namespace trivo {
namespace journal {
class Journal;
}

class MainServices {
public:
    virtual ~MainServices() = default;
    virtual void setStatusPanel2(const QString& text) = 0;
    virtual QString statusPanel2() const = 0;
    // Folder the configuration and help-file dialogs start in.
    virtual QString dialogFolder() const = 0;
    // Folder holding the program (help documents are looked up from here).
    virtual QString programFolder() const = 0;
    // The service journal every write to a display is recorded in; none: nothing is recorded.
    virtual journal::Journal* serviceJournal() { return nullptr; }
};

// A stand-alone implementation for tests and the command-line program.
class PlainMainServices : public MainServices {
public:
    QString panel2;
    QString folder;
    QString program;
    void setStatusPanel2(const QString& text) override { panel2 = text; }
    QString statusPanel2() const override { return panel2; }
    QString dialogFolder() const override { return folder; }
    QString programFolder() const override { return program; }
};

}  // namespace trivo
