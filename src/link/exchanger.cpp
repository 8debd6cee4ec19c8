#include "link/exchanger.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "link/display_claim.h"

namespace trivo {

bool isDisplay(const HidInterfaceInfo& info)
{
    return info.vendorId == kDisplayVendorId && info.productId == kDisplayProductId;
}

namespace {

// A display that keeps pouring reports would otherwise hold the drain forever.
constexpr int kMaxDrainedReports = 256;
// Records kept for a model built later: those since the last exchange, at most this many.
constexpr std::size_t kMaxKeptEvents = 64;

}  // namespace

uint8_t requestByte(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    bool ok = false;
    const uint value = trimmed.toUInt(&ok, 16);
    // Anything else goes out as 00 rather than as a truncated guess.
    return ok && value <= 0xFF ? uint8_t(value) : 0;
}

QString stateText(LinkState state)
{
    switch (state) {
    case LinkState::Unknown: return QString();
    case LinkState::Waiting: return kWaitingText;
    case LinkState::Connected: return kConnectedText;
    case LinkState::NotAnswering: return kNotAnsweringText;
    }
    return QString();
}

struct Exchanger::Private {
    explicit Private(HidTransport& t) : transport(t) {}

    bool held() const { return periodic > 0 && (operations > 0 || state == LinkState::NotAnswering); }
    void releaseHandles(std::vector<CallResult>& calls);
    void drainInput(ExchangeRecord& record);
    void receiveInputReport(ExchangeRecord& record, Reply& reply);
    bool displayStillPresent();
    void emitEvent(LinkEvent event);
    std::string result() const { return transport.lastError(); }

    HidTransport& transport;
    HidTransport::Handle hidHandle = 0;
    HidTransport::Handle readHandle = 0;
    bool deviceFound = false;
    bool readEventReady = false;
    // Set by a read time-out (or CloseLink): the handles are closed until a pass reopens them.
    bool linkDown = false;
    int operations = 0;       // operations open (nested)
    int periodic = 0;         // periodic requests under way
    int uncancellable = 0;    // stretches that must run to their end
    bool retryArmed = false;  // the outermost operation may try a display that stopped answering
    HidInterfaceInfo device;
    std::string target;
    std::vector<HidInterfaceInfo> displays;
    std::string openError;
    ReportLengths lengths;
    LinkState state = LinkState::Unknown;
    ClaimResult refusal;  // the claim of the last pass that was not taken
    ReportData carried{};
    ExchangeOutcome last = ExchangeOutcome::NotOpen;
    int readTimeoutMs = kReadTimeoutMs;
    const std::atomic<bool>* cancel = nullptr;
    std::unique_ptr<DisplayClaim> claim;
    std::function<void(bool, const uint8_t*, std::size_t)> observer;
    std::function<void(const LinkEvent&)> sink;
    std::deque<LinkEvent> kept;
    ReportData keptBufferBefore{};  // the buffer as it was before the first record kept
    bool keptHasBase = false;       // false until an exchange: the fields are as they started, empty
    ReportData bufferBefore{};      // the buffer before the exchange being recorded
};

Exchanger::Exchanger(HidTransport& transport) : d(std::make_unique<Private>(transport)) {}

Exchanger::~Exchanger()
{
    if (d->hidHandle != 0)
        d->transport.close(d->hidHandle);
    if (d->readHandle != 0)
        d->transport.close(d->readHandle);
}

void Exchanger::Private::emitEvent(LinkEvent event)
{
    // An exchange starts the diagnostics afresh (a refused or held one leaves them as they are).
    if (const auto* record = std::get_if<ExchangeRecord>(&event)) {
        if (record->kind != ExchangeRecord::Kind::Held && record->kind != ExchangeRecord::Kind::Refused
            && record->kind != ExchangeRecord::Kind::Cancelled) {
            kept.clear();
            keptBufferBefore = bufferBefore;
            keptHasBase = true;
        }
    }
    if (sink)
        sink(event);
    kept.push_back(std::move(event));
    while (kept.size() > kMaxKeptEvents)
        kept.pop_front();
}

// --- discovery -------------------------------------------------------------------------------

void Exchanger::Private::releaseHandles(std::vector<CallResult>& calls)
{
    // Handles of an earlier pass are not used again: release them before they are replaced or lost.
    if (hidHandle != 0) {
        transport.close(hidHandle);
        hidHandle = 0;
        calls.push_back({"CloseHandle (previous HIDHandle)", result()});
    }
    if (readHandle != 0) {
        transport.close(readHandle);
        readHandle = 0;
        calls.push_back({"CloseHandle (previous ReadHandle)", result()});
    }
}

bool Exchanger::FindTheHid()
{
    DiscoveryPass pass;
    d->deviceFound = false;
    // Whatever this pass finds, the state a read time-out left behind is over.
    d->linkDown = false;
    d->refusal = {};

    pass.present = d->transport.enumerate();
    pass.enumerateResult = d->result();
    d->openError.clear();
    d->displays.clear();
    for (const HidInterfaceInfo& info : pass.present)
        if (isDisplay(info))
            d->displays.push_back(info);

    HidTransport::Handle candidate = 0;
    for (std::size_t index = 0; index < pass.present.size(); ++index) {
        const HidInterfaceInfo& info = pass.present[index];
        // Other interfaces are judged by the IDs the enumeration gave: opening them is not ours to do; nor
        // is opening a display other than the one asked for.
        if (!isDisplay(info) || (!d->target.empty() && info.path != d->target))
            continue;
        if (pass.releasedAt < 0 && (d->hidHandle != 0 || d->readHandle != 0)) {
            pass.releasedAt = int(index);
            d->releaseHandles(pass.released);
        }
        DiscoveryPass::Open open;
        open.index = int(index);
        const ClaimResult claimed = d->claim ? d->claim->claim(info.path) : ClaimResult{};
        if (claimed.status == ClaimResult::Status::InUse) {
            // Another program has it: opening it too would interleave our reports with theirs.
            open.refusal = claimed;
            open.result = "The process cannot access the file because it is being used by another process.";
            d->refusal = claimed;
        } else if (!claimed.taken()) {
            // Not claimed is not opened: the node is refused as an opening would refuse it, with the reason.
            open.refusal = claimed;
            open.result = std::strerror(claimed.error);
            d->refusal = claimed;
            d->openError = open.result;
        } else {
            candidate = d->transport.open(info.path);
            open.handle = candidate;
            open.result = d->result();
            if (candidate == 0)
                d->openError = open.result.empty() ? std::string("refused") : open.result;
        }
        pass.opens.push_back(open);
        if (candidate != 0) {
            pass.matchIndex = int(index);
            break;  // the first display in enumeration order wins
        }
    }

    auto notFound = [&] {
        d->deviceFound = false;
        d->releaseHandles(pass.releasedAtEnd);
        if (d->claim)
            d->claim->release();
        pass.found = false;
        d->emitEvent(std::move(pass));
        return false;
    };
    if (pass.matchIndex < 0)
        return notFound();

    const HidInterfaceInfo match = pass.present[std::size_t(pass.matchIndex)];
    d->refusal = {};
    d->hidHandle = candidate;
    pass.lengths = d->transport.reportLengths(d->hidHandle);
    pass.lengthsResult = d->result();
    // Every request fills 64 data bytes: a display with other lengths cannot be served.
    if (pass.lengths.input != kReportLength || pass.lengths.output != kReportLength) {
        pass.lengthsRefused = true;
        return notFound();
    }
    d->lengths = pass.lengths;

    d->readHandle = d->transport.open(match.path);
    pass.readHandle = d->readHandle;
    pass.readOpenResult = d->result();
    if (d->readHandle == 0)
        return notFound();

    // The transport's timed read stands for the read event, which is prepared only once.
    pass.readEventKept = d->readEventReady;
    d->readEventReady = true;
    d->device = match;
    d->deviceFound = true;
    pass.found = true;
    d->emitEvent(std::move(pass));
    return true;
}

Exchanger::Check Exchanger::connectionCheck()
{
    Check check;
    // An operation has the link to itself: the pass waits for a check after it.
    if (d->operations > 0)
        return check;
    check.ran = true;
    // A pass would reopen a display that does not answer and call it connected: it is only looked for.
    if (d->state == LinkState::NotAnswering && d->displayStillPresent())
        return check;
    check.connected = FindTheHid();
    d->state = check.connected ? LinkState::Connected : LinkState::Waiting;
    return check;
}

bool Exchanger::Private::displayStillPresent()
{
    PresenceCheck presence;
    const std::vector<HidInterfaceInfo> present = transport.enumerate();
    presence.enumerateResult = result();
    displays.clear();
    for (const HidInterfaceInfo& info : present)
        if (isDisplay(info))
            displays.push_back(info);
    presence.present = std::any_of(present.begin(), present.end(), [this](const HidInterfaceInfo& info) {
        return info.path == device.path && info.vendorId == device.vendorId && info.productId == device.productId;
    });
    emitEvent(presence);
    return presence.present;
}

void Exchanger::CloseLink()
{
    CallLog log;
    auto closeOne = [this, &log](HidTransport::Handle& handle, const char* name) {
        std::string text = "The handle is invalid.";  // a handle never opened fails harmlessly
        if (handle != 0) {
            d->transport.close(handle);
            text = d->result();
            handle = 0;
        }
        log.calls.push_back({name, text});
    };
    closeOne(d->hidHandle, "CloseHandle (HIDHandle)");
    closeOne(d->readHandle, "CloseHandle (ReadHandle)");
    if (d->deviceFound)
        d->linkDown = true;
    if (d->claim)
        d->claim->release();
    d->emitEvent(std::move(log));
}

void Exchanger::setTarget(const std::string& path)
{
    if (path == d->target)
        return;
    d->target = path;
    // The display used until now is not the one asked for any more: let it go.
    if (d->hidHandle != 0 || d->readHandle != 0)
        CloseLink();
    d->deviceFound = false;
    d->linkDown = false;
    d->state = LinkState::Unknown;
}

const std::string& Exchanger::target() const { return d->target; }
const std::vector<HidInterfaceInfo>& Exchanger::displaysPresent() const { return d->displays; }
const std::string& Exchanger::openError() const { return d->openError; }

bool Exchanger::deviceFound() const { return d->deviceFound; }
const HidInterfaceInfo& Exchanger::device() const { return d->device; }
ReportLengths Exchanger::reportLengths() const { return d->lengths; }
LinkState Exchanger::state() const { return d->state; }
const ClaimResult& Exchanger::claimRefusal() const { return d->refusal; }

// --- exchanges -------------------------------------------------------------------------------

Reply Exchanger::exchange(const Request& request, Carry carry)
{
    ExchangeRecord record;
    record.readingExchange = carry == Carry::Reply;
    for (int i = 0; i < kReportDataBytes; ++i)
        record.requestSets.set(std::size_t(i), request.sets(i));
    record.shortTexts = request.shortTexts();
    record.report = request.over(d->carried);
    d->bufferBefore = d->carried;
    Reply reply;

    auto finish = [&](ExchangeRecord::Kind kind, ExchangeOutcome outcome) {
        record.kind = kind;
        record.outcome = outcome;
        record.bufferAfter = d->carried;
        reply.outcome = outcome;
        d->last = outcome;
        d->emitEvent(record);
        return reply;
    };
    auto zeroReply = [&] {
        if (record.readingExchange) {
            d->carried.fill(0);
            record.bufferIsReply = true;
        }
    };

    if (cancelRequested())
        return finish(ExchangeRecord::Kind::Cancelled, ExchangeOutcome::Cancelled);
    // The request is in the buffer whatever happens next, as the link window shows it.
    d->carried = record.report.payload();
    if (d->held())
        return finish(ExchangeRecord::Kind::Held, ExchangeOutcome::Held);
    if (d->retryArmed) {
        // The operation's one try of a display that stopped answering: open it again; its answer decides.
        d->retryArmed = false;
        if (!FindTheHid())
            d->state = LinkState::Waiting;
    }
    if (d->state == LinkState::Waiting) {
        d->carried.fill(0);  // the fill value
        return finish(ExchangeRecord::Kind::Refused,
                      d->refusal.status == ClaimResult::Status::InUse ? ExchangeOutcome::AlreadyUsed
                                                                      : ExchangeOutcome::Unplugged);
    }
    if (!d->deviceFound)
        return finish(ExchangeRecord::Kind::NotOpen, ExchangeOutcome::NotOpen);
    if (d->linkDown) {
        record.notAnswering = d->state == LinkState::NotAnswering;
        zeroReply();
        return finish(ExchangeRecord::Kind::LinkDown,
                      record.notAnswering ? ExchangeOutcome::NotAnswering : ExchangeOutcome::Unplugged);
    }

    d->drainInput(record);
    record.written = d->transport.write(d->hidHandle, record.report.bytes.data(), record.report.bytes.size());
    record.writeResult = d->result();
    record.written = std::max(record.written, 0);
    record.writeWhole = record.written == kReportLength;
    ExchangeOutcome outcome = ExchangeOutcome::Done;
    if (!record.writeWhole) {
        // Nothing can answer a report that did not go out whole: do not wait for it.
        zeroReply();
        outcome = ExchangeOutcome::WriteFailed;
    } else {
        if (d->observer)
            d->observer(true, record.report.bytes.data(), record.report.bytes.size());
        d->receiveInputReport(record, reply);
        outcome = reply.outcome;
    }
    if (outcome == ExchangeOutcome::TimedOut)
        d->state = LinkState::NotAnswering;
    else if ((outcome == ExchangeOutcome::Done || outcome == ExchangeOutcome::Short)
             && d->state == LinkState::NotAnswering)
        d->state = LinkState::Connected;
    return finish(ExchangeRecord::Kind::Sent, outcome);
}

void Exchanger::Private::drainInput(ExchangeRecord& record)
{
    // A reply that came after its exchange gave up must not pass for the answer to the next request.
    for (int n = 0; n < kMaxDrainedReports; ++n) {
        ExchangeRecord::Late late;
        std::size_t got = 0;
        const auto status = transport.read(readHandle, late.bytes.data(), late.bytes.size(), 0, got);
        if (status != HidTransport::ReadStatus::Completed || got == 0)
            return;
        late.length = int(std::min(got, late.bytes.size()));
        // A short report is traced as the 65-byte frame it fills, like every other report.
        if (observer)
            observer(false, late.bytes.data(), late.bytes.size());
        record.late.push_back(late);
    }
}

void Exchanger::Private::receiveInputReport(ExchangeRecord& record, Reply& reply)
{
    std::size_t got = 0;
    record.readStatus = transport.read(readHandle, reply.bytes.data(), reply.bytes.size(), readTimeoutMs, got);
    record.readResult = result();
    reply.length = std::min(got, reply.bytes.size());
    switch (record.readStatus) {
    case HidTransport::ReadStatus::Completed:
        // The frame as it went into the buffer: bytes a short report did not bring stay 00.
        if (observer)
            observer(false, reply.bytes.data(), reply.bytes.size());
        // A report shorter than the display's is not its answer: its missing bytes would be guesses.
        reply.outcome = reply.length < std::size_t(kReportLength) ? ExchangeOutcome::Short : ExchangeOutcome::Done;
        break;
    case HidTransport::ReadStatus::TimedOut:
        reply.bytes.fill(0);
        reply.length = 0;
        transport.close(hidHandle);
        transport.close(readHandle);
        hidHandle = 0;
        readHandle = 0;
        record.closeResult = result();
        // The display is silent: it stays closed, so that nothing waits for it again until it is plugged
        // in again or an operation gives it one more try.
        linkDown = true;
        reply.outcome = ExchangeOutcome::TimedOut;
        break;
    case HidTransport::ReadStatus::Error: reply.outcome = ExchangeOutcome::ReadFailed; break;
    }
    record.reply = reply.bytes;
    if (record.readingExchange) {
        std::copy(reply.bytes.begin() + 1, reply.bytes.end(), carried.begin());
        record.bufferIsReply = true;
    }
}

ExchangeOutcome Exchanger::lastOutcome() const { return d->last; }

const ReportData& Exchanger::carried() const { return d->carried; }

void Exchanger::editBuffer(int index, const QString& text)
{
    // The 65th field is the fill value and never changes.
    if (index < 0 || index >= kReportDataBytes)
        return;
    d->carried[std::size_t(index)] = requestByte(text);
    d->emitEvent(BufferEdit{index, text});
}

void Exchanger::but_CLEAR_HID_Click()
{
    d->carried.fill(0);
    d->emitEvent(BufferEdit{-1, QString()});
}

// --- settings --------------------------------------------------------------------------------

void Exchanger::setReadTimeoutMs(int ms) { d->readTimeoutMs = std::max(ms, 0); }
int Exchanger::readTimeoutMs() const { return d->readTimeoutMs; }

void Exchanger::setReportObserver(std::function<void(bool, const uint8_t*, std::size_t)> observer)
{
    d->observer = std::move(observer);
}

void Exchanger::setEventSink(std::function<void(const LinkEvent&)> sink)
{
    d->sink = std::move(sink);
    if (!d->sink)
        return;
    // The records kept go back only to the last exchange: the buffer's older bytes come first, whole.
    if (d->keptHasBase)
        d->sink(BufferSnapshot{d->keptBufferBefore});
    for (const LinkEvent& event : d->kept)
        d->sink(event);
}

void Exchanger::setClaims(std::unique_ptr<DisplayClaim> claim) { d->claim = std::move(claim); }

void Exchanger::setCancelFlag(const std::atomic<bool>* flag) { d->cancel = flag; }

bool Exchanger::cancelRequested() const
{
    return d->cancel != nullptr && d->uncancellable == 0 && d->cancel->load(std::memory_order_relaxed);
}

// --- operations and periodic requests ------------------------------------------------------------

Exchanger::Operation::Operation(Exchanger& exchanger) : exchanger_(exchanger)
{
    if (exchanger_.d->operations++ == 0)
        exchanger_.d->retryArmed = exchanger_.d->state == LinkState::NotAnswering;
}

Exchanger::Operation::~Operation()
{
    if (--exchanger_.d->operations == 0)
        exchanger_.d->retryArmed = false;
}

Exchanger::Periodic::Periodic(Exchanger& exchanger) : exchanger_(exchanger) { ++exchanger_.d->periodic; }
Exchanger::Periodic::~Periodic() { --exchanger_.d->periodic; }
bool Exchanger::Periodic::allowed() const { return !exchanger_.d->held(); }

Exchanger::Uncancellable::Uncancellable(Exchanger& exchanger) : exchanger_(exchanger)
{
    ++exchanger_.d->uncancellable;
}
Exchanger::Uncancellable::~Uncancellable() { --exchanger_.d->uncancellable; }

bool Exchanger::inOperation() const { return d->operations > 0; }

}  // namespace trivo
