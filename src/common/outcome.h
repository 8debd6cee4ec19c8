#pragma once
// What every procedure returns: how it ended, the French text the operator is shown (as a message box in
// a window, a line on the command line), the error number where the operator sees one, and the text of
// the main window's status panel. Presenting it is the caller's job.
#include <QString>

#include "common/dialogs.h"
#include "common/exchange_outcome.h"
#include "common/file_error.h"

namespace trivo {

class MainServices;

enum class Outcome {
    Done,          // finished as asked
    Cancelled,     // the operator declined or closed a dialog: nothing was done
    Refused,       // refused before anything was sent or written (a bad value, nothing to send)
    InvalidBlock,  // the display answered with something that is not its parameter block
    LinkLost,      // the display did not take or answer a report part way
    FileError,     // a file could not be read or written, or is not in its format
};

struct OperationResult {
    Outcome outcome = Outcome::Done;
    // Message box: shown when text is not empty.
    MessageRequest box;
    int errorNumber = 0;
    // Status panel 2 (configuration operations); left alone when null.
    QString status;
    // How the exchange that decided the result ended: Done unless the display failed it.
    ExchangeOutcome exchange = ExchangeOutcome::Done;

    bool ok() const { return outcome == Outcome::Done; }

    static OperationResult done(const QString& status = QString())
    {
        OperationResult r;
        r.status = status;
        return r;
    }
    static OperationResult failure(Outcome outcome, const QString& title, const QString& text, MsgIcon icon)
    {
        OperationResult r;
        r.outcome = outcome;
        r.box.title = title;
        r.box.text = text;
        r.box.icon = icon;
        return r;
    }
    // The exclamation box of a file error.
    static OperationResult fileFailure(const FileError& error)
    {
        OperationResult r = failure(Outcome::FileError, kProgramTitle, error.boxText(), MsgIcon::Exclamation);
        r.errorNumber = error.number;
        return r;
    }
};

// The window's presentation: the box first, then the status panel (when main is given).
void present(const OperationResult& result, Dialogs& dialogs, MainServices* main);

}  // namespace trivo
