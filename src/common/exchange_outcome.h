#pragma once
// How an exchange with the display ended, and the one table of what the operator is told about it: the
// windows, the command line, the firmware update and the production log all take their words from here.
#include <QString>

#include <cstdint>

namespace trivo {

enum class ExchangeOutcome : uint8_t {
    Done,          // written whole and a whole reply read
    TimedOut,      // no reply within the time-out: the display is shown as not answering
    NotAnswering,  // nothing sent: the display stopped answering earlier in the operation or run
    WriteFailed,   // the report did not go out whole; no reply awaited
    Unplugged,     // nothing sent: the last connection check did not find the display, or it was closed
    NotOpen,       // nothing sent: no connection check has found the display yet
    Short,         // a reply shorter than a report: not used
    ReadFailed,    // the read itself failed
    WrongAnswer,   // a whole reply that is not the answer asked for (judged by the operation)
    Held,          // a periodic request held while an operation has the link or the display is silent
    Cancelled,     // nothing sent: the operator cancelled the operation
    AlreadyUsed,   // nothing sent: another program holds the display
};

// The operator's sentence for an outcome ("" for Done), in French: the journal and the logs keep it so;
// T() gives it in the program's language where it is shown.
QString exchangeOutcomeText(ExchangeOutcome outcome);

}  // namespace trivo
