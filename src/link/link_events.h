#pragma once
// The stream of what the link did, as plain records: the link window's model turns them into its buffer
// texts, progress label and diagnostics lines, and only while someone looks.
#include <bitset>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "link/display_claim.h"
#include "link/hid_transport.h"
#include "link/report.h"

namespace trivo {

// One call to the platform and its result text ("" = success).
struct CallResult {
    std::string name;
    std::string result;
};

// One connection check that looked for the display (FindTheHid).
struct DiscoveryPass {
    std::string enumerateResult;
    std::vector<HidInterfaceInfo> present;
    // Handles of the previous pass closed before the first display was opened (at present[releasedAt]),
    // and those closed at the end of a pass that kept nothing.
    std::vector<CallResult> released;
    int releasedAt = -1;
    std::vector<CallResult> releasedAtEnd;
    // Every display the search tried to open, in order: its index, the handle (0 = refused) and the text.
    struct Open {
        int index = 0;
        HidTransport::Handle handle = 0;
        std::string result;
        ClaimResult refusal;  // not claimed (another program holds it, or the claim failed): not opened
    };
    std::vector<Open> opens;
    int matchIndex = -1;  // the display kept, -1 when none
    ReportLengths lengths;
    std::string lengthsResult;
    bool lengthsRefused = false;
    HidTransport::Handle readHandle = 0;
    std::string readOpenResult;
    bool readEventKept = false;
    bool found = false;
};

// A check while the display does not answer: it is only looked for, not opened again.
struct PresenceCheck {
    std::string enumerateResult;
    bool present = false;
};

// Platform calls made outside an exchange (closing the link).
struct CallLog {
    std::vector<CallResult> calls;
};

// One exchange (or a refusal to make one).
struct ExchangeRecord {
    enum class Kind : uint8_t {
        Held,      // a periodic request held back: nothing shown but the buffer
        Refused,   // status line red: nothing sent, the buffer set to the fill value
        NotOpen,   // no display opened yet: nothing sent
        LinkDown,  // closed after a time-out: nothing sent
        Sent,      // written (whole or not)
        Cancelled  // the operation was cancelled: nothing sent, the buffer left as it was
    };
    Kind kind = Kind::Sent;
    bool readingExchange = false;  // the reply goes into the buffer
    bool notAnswering = false;     // LinkDown because the display stopped answering
    Report report;                 // the report as composed (sent when kind is Sent)
    std::bitset<kReportDataBytes> requestSets;
    bool shortTexts = false;
    struct Late {
        std::array<uint8_t, kReportLength> bytes{};
        int length = 0;
    };
    std::vector<Late> late;  // input reports that came after their exchange gave up, drained first
    int written = 0;
    std::string writeResult;
    bool writeWhole = false;
    HidTransport::ReadStatus readStatus = HidTransport::ReadStatus::Completed;
    std::string readResult;
    std::string closeResult;  // after a time-out
    std::array<uint8_t, kReportLength> reply{};
    ExchangeOutcome outcome = ExchangeOutcome::Done;
    ReportData bufferAfter{};
    bool bufferIsReply = false;  // the buffer now holds the reply (or zeros) rather than the request
};

// An edit of the buffer outside an exchange (the link window's fields, its "efface" button).
struct BufferEdit {
    int index = -1;  // -1: every field to the fill value
    QString text;
};

// The buffer's bytes as a model built late first shows them, before the records kept are replayed.
struct BufferSnapshot {
    ReportData bytes{};
};

using LinkEvent = std::variant<DiscoveryPass, PresenceCheck, CallLog, ExchangeRecord, BufferEdit, BufferSnapshot>;

}  // namespace trivo
