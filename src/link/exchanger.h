#pragma once
// The exchanger: one display, typed exchanges. It finds and opens the display (FindTheHid), writes a
// report and reads its reply, keeps the display's request buffer (the bytes a request does not set go out
// as the previous exchange left them), and closes the link. It shows nothing: what it did goes out as
// records to whoever listens (the link window's model, a trace file). One thread uses it at a time: the
// display's I/O thread in the windows, the calling thread on the command line and the production line.
#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>

#include "link/display_claim.h"
#include "link/hid_transport.h"
#include "link/link_events.h"
#include "link/link_state.h"
#include "link/report.h"

namespace trivo {

class Exchanger {
public:
    explicit Exchanger(HidTransport& transport);
    ~Exchanger();
    Exchanger(const Exchanger&) = delete;
    Exchanger& operator=(const Exchanger&) = delete;

    // An operation the operator started. While one is open it has the link to itself: periodic requests
    // are held. The first exchange of the outermost one gives a display that stopped answering one more
    // try; after a time-out the rest of the operation sends nothing, so an operation waits for a reply in
    // vain at most once. Nests.
    class Operation {
    public:
        explicit Operation(Exchanger& exchanger);
        ~Operation();
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        Exchanger& exchanger_;
    };

    // A request that repeats by itself (a timer): its exchanges are held, nothing sent, while an operation
    // has the link or the display does not answer.
    class Periodic {
    public:
        explicit Periodic(Exchanger& exchanger);
        ~Periodic();
        Periodic(const Periodic&) = delete;
        Periodic& operator=(const Periodic&) = delete;
        bool allowed() const;

    private:
        Exchanger& exchanger_;
    };

    // A stretch that must not stop half way (a firmware transfer): cancelling has no effect inside it.
    class Uncancellable {
    public:
        explicit Uncancellable(Exchanger& exchanger);
        ~Uncancellable();
        Uncancellable(const Uncancellable&) = delete;
        Uncancellable& operator=(const Uncancellable&) = delete;

    private:
        Exchanger& exchanger_;
    };

    bool inOperation() const;

    // --- connection ------------------------------------------------------------------------------
    // One discovery pass: the first display in enumeration order that opens (and that no other program
    // holds) becomes the one exchanged with. Also while it stays connected, it is opened again.
    bool FindTheHid();
    // The connection monitor's pass: FindTheHid and the state it gives; a display that does not answer is
    // only looked for. Skipped (ran false) while an operation has the link.
    struct Check {
        bool ran = false;
        bool connected = false;  // what the monitor's tick reports
    };
    Check connectionCheck();
    // Closes both handles (logged); the next exchange sends nothing until a pass opens the display again.
    void CloseLink();

    // The display to work on (its USB path); empty: the first one found, in enumeration order. Others
    // are left alone like any other interface.
    void setTarget(const std::string& path);
    const std::string& target() const;
    // Every display the last pass saw, opened or not.
    const std::vector<HidInterfaceInfo>& displaysPresent() const;
    // Why the last pass could not open the display it wanted ("" when it did, or found none).
    const std::string& openError() const;

    bool deviceFound() const;
    const HidInterfaceInfo& device() const;  // the display found by the last successful pass
    ReportLengths reportLengths() const;
    LinkState state() const;
    // Why the last pass did not claim the display (taken() when it did, or claims are off): another
    // program holds it (who), or the claim failed (why); either way the display was not opened.
    const ClaimResult& claimRefusal() const;

    // --- exchanges -------------------------------------------------------------------------------
    // What the display's buffer holds after an exchange: the request (a command whose reply is only
    // logged) or the reply (a read).
    enum class Carry { Request, Reply };
    Reply exchange(const Request& request, Carry carry);
    Reply send(const Request& request) { return exchange(request, Carry::Request); }
    Reply ask(const Request& request) { return exchange(request, Carry::Reply); }
    ExchangeOutcome lastOutcome() const;
    // The 64 bytes the next request goes out over.
    const ReportData& carried() const;
    // The link window's buffer fields, as typed there ("" = 0, a hex number up to FF, anything else 0).
    void editBuffer(int index, const QString& text);
    void but_CLEAR_HID_Click();  // every field to the fill value "0"

    // --- settings ---------------------------------------------------------------------------------
    void setReadTimeoutMs(int ms);
    int readTimeoutMs() const;
    // Every report that crosses the link (trace files): output true for a written report.
    void setReportObserver(std::function<void(bool output, const uint8_t* data, std::size_t length)> observer);
    // Every record of what the link did, for the link window's model; none when not set. The records
    // kept since the last exchange are replayed to a new sink, so that a model built late starts whole.
    void setEventSink(std::function<void(const LinkEvent&)> sink);
    // Claims each display before opening it (a lock on its device node that other programs see); off by
    // default.
    void setClaims(std::unique_ptr<DisplayClaim> claim);
    // Set by another thread to stop the operation between two exchanges.
    void setCancelFlag(const std::atomic<bool>* flag);
    bool cancelRequested() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Parses a buffer field as the link window takes it: blanks around allowed, "" = 0, at most FF, else 0.
uint8_t requestByte(const QString& text);

}  // namespace trivo
