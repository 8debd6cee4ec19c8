#pragma once
// The configuration's operations that write to a display, each recorded in the service journal: the windows
// and the command line gather the inputs and present the result, neither builds a record.
#include <QByteArray>
#include <QString>

#include "config/program_verification.h"
#include "journal/recording.h"
#include "link/commands.h"

namespace trivo {

class Exchanger;

// What a programming sends and where it came from.
struct ProgrammingInputs {
    FormState settings;
    bool verify = false;  // followed by a read-back (programAndVerify)
    // The configuration file the settings came from unchanged, and its bytes as the front read (or wrote)
    // them. Without a name the record keeps the settings as a configuration file holds them.
    QString file;
    QByteArray fileBytes;
};

// Programs the settings, with their read-back when asked. The record keeps the file, the block the display
// holds afterwards, and says "echec" for a programming its read-back did not confirm.
journal::Recorded<VerifiedProgramming> programRecorded(Exchanger& link, const ProgrammingInputs& inputs,
                                                       const journal::Recorder& to);

// The journal's name of a direct command: its button's French caption ("Raz C", "+1", ...).
QString directActionName(commands::DirectAction action);

// Sends a direct command; its record says "Commande « Raz C » (34) envoyée." once the display took it.
journal::Recorded<OperationResult> sendDirectCommandRecorded(Exchanger& link, commands::DirectAction action,
                                                             const journal::Recorder& to);

}  // namespace trivo
