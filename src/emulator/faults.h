#pragma once
// The emulated display's faults: one catalogue for the tests, the training mode's menu and the command
// line. Each fault has a French name (the command line's and the state file's word) and a caption (the
// menu's), and may carry one number.
#include <QString>

#include <optional>
#include <vector>

namespace trivo {

enum class Fault {
    Unplugged,       // the display goes away: the reports before it are answered, the next finds no device
    Silent,          // requests are taken and acted on, no reply ever comes: reads time out
    SlowReply,       // every reply comes `param` ms after its request (default within the read time-out)
    LateReply,       // the same, later than the read time-out: the reply is left for the next exchange
    FailingWrite,    // writes fail and deliver nothing
    ShortWrite,      // writes deliver only `param` bytes, which the display cannot take as a report
    ReadError,       // reads fail outright
    ShortReply,      // replies carry only their first `param` bytes, report ID included
    WrongSignature,  // the first half of the parameter block comes back blank (FF FF FF FF)
    WrongReply,      // every data byte of a reply is `param`
    RefuseOpen,      // opening the display fails: every time (param 0) or only the param-th attempt
};

struct FaultInfo {
    Fault fault;
    const char* name;     // command line and state file: "muet", "debranche", ...
    const char* caption;  // the training mode's menu, in French (faultCaption() gives it as shown)
    int defaultParam;     // what param -1 stands for
};

// Every fault, in the order the menu and the help list them.
const std::vector<FaultInfo>& faultCatalogue();
const FaultInfo& faultInfo(Fault fault);
// The caption in the program's language.
QString faultCaption(Fault fault);
std::optional<Fault> faultNamed(const QString& name);

constexpr int kDefaultFaultParam = -1;

// A fault and when it starts: after `atExchange` output reports (0 = at once; for Unplugged, after that
// many answered reports). kDefaultFaultParam takes the fault's default.
struct FaultSpec {
    Fault fault = Fault::Silent;
    int atExchange = 0;
    int param = kDefaultFaultParam;
    bool operator==(const FaultSpec&) const = default;
};

// The command line's form: a name, and "debranche:N" for an unplug after N reports. Nothing for any other
// text (the caller says why).
std::optional<FaultSpec> parseFault(const QString& text);
QString faultText(const FaultSpec& spec);

}  // namespace trivo
