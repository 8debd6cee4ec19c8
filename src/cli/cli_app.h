#pragma once
// The command-line companion: the same procedures as the windows, driven from a terminal or a script.
#include <QStringList>
#include <QTextStream>

namespace trivo {

// Exit statuses.
enum CliStatus : int {
    kCliOk = 0,
    kCliFailed = 1,      // the display refused or did not finish, a confirmation was declined
    kCliUsage = 2,       // unknown command or option
    kCliNoDisplay = 3,   // no display connected
    kCliBadFile = 4,     // a file that cannot be read or written
    kCliDifferent = 5,   // done, but the display read back holds something else than what was sent
    kCliReadFailed = 6,  // the display could not be read (a comparison, a backup or a read-back)
    kCliInUse = 7,       // another program holds the display (or the emulated display's state file)
    kCliSeveral = 8,     // several displays are plugged in and the command did not say which
};

// args without the program name. Prompts are read from in (the firmware confirmation).
int runCli(const QStringList& args, QTextStream& out, QTextStream& err, QTextStream& in);

// Set by the interrupt handler; ends "registres --suivre".
void requestCliStop();

}  // namespace trivo
