#include "link/link.h"

#include <QElapsedTimer>

#include <algorithm>

namespace trivo {

namespace {

// The HID interface class, shown as the discovery log has always shown it.
constexpr uint32_t kHidGuidData1 = 0x4D1E55B2;
constexpr uint16_t kHidGuidData2 = 0xF16F;
constexpr uint16_t kHidGuidData3 = 0x11CF;
constexpr uint8_t kHidGuidData4[8] = {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30};
constexpr int kInterfaceDataSize = 28;
constexpr int kInterfaceFlags = 1;
constexpr int kAttributesSize = 12;
constexpr int kDetailDataSize = 5;
constexpr int kMaxLogIndex = 32000;
// A display that keeps pouring reports would otherwise hold the drain forever.
constexpr int kMaxDrainedReports = 256;

const QString kOkText = QStringLiteral("Success");
const QString kNoMoreItemsText = QStringLiteral("No more data is available.");
const QString kBufferTooSmallText = QStringLiteral("The data area passed to a system call is too small.");
const QString kInvalidHandleText = QStringLiteral("The handle is invalid.");

// Lines of an exchange, kept by reference in its record until the list is written out.
const QString kReportHeaderText = QStringLiteral("***** HID Test Report *****");
const QString kNothingSentText = QStringLiteral(" No display opened yet: nothing sent.");
const QString kLinkDownText =
    QStringLiteral(" Link closed after a read time-out: nothing sent until the next connection check.");
const QString kNotAnsweringLine =
    QStringLiteral(" Display not answering: nothing sent until it is plugged in again or an operation tries it.");
const QString kWriteIncompleteText = QStringLiteral(" Write incomplete: no reply awaited.");
const QString kWriteFileName = QStringLiteral("WriteFile");
const QString kReadFileName = QStringLiteral("ReadFile");
const QString kWaitingForReadText = QStringLiteral("waiting for ReadFile");
const QString kWaitName = QStringLiteral("WaitForSingleObject");
const QString kReadCompletedText = QStringLiteral("ReadFile completed successfully.");
const QString kReadTimeoutText = QStringLiteral("Readfile timeout");
const QString kReadErrorText = QStringLiteral("Readfile undefined error");
const QString kCloseHandleName = QStringLiteral("CloseHandle");

QString hex(uint64_t value) { return QString::number(value, 16).toUpper(); }

constexpr char kHexDigits[] = "0123456789ABCDEF";

QString twoDigits(uint8_t value)
{
    const QChar text[2] = {QLatin1Char(kHexDigits[value >> 4]), QLatin1Char(kHexDigits[value & 0x0F])};
    return QString(text, 2);
}

// A field's byte as it goes out in a request: a hex number up to FF, blanks around it allowed, "" = 0;
// anything else goes out as 00 rather than as a truncated guess.
uint8_t requestByte(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    bool ok = false;
    const uint value = trimmed.toUInt(&ok, 16);
    return ok && value <= 0xFF ? uint8_t(value) : 0;
}

int upperHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// True for exactly two upper-case hex digits, the form a byte shows in: such a text need not be kept.
bool isByteText(const QString& text, uint8_t& value)
{
    if (text.size() != 2)
        return false;
    const int high = upperHexDigit(text[0]);
    const int low = upperHexDigit(text[1]);
    if (high < 0 || low < 0)
        return false;
    value = uint8_t(high * 16 + low);
    return true;
}

// One entry of an exchange's diagnostics, turned into its lines of text only when the list is read.
struct PendingLines {
    enum class Kind : uint8_t { Line, Step, Written, Request, Reply, Late };
    Kind kind = Kind::Line;
    const QString* text = nullptr;               // Line: the line; Step: the call's name
    std::string result;                          // Step: the transport's text for the call ("" = success)
    int number = 0;                              // Written: the count written; Late: the bytes received
    std::array<uint8_t, kReportLength> frame{};  // Request, Reply, Late: report ID first

    static int lineCount(Kind kind)
    {
        switch (kind) {
        case Kind::Step: return 3;
        case Kind::Request: return 64;
        case Kind::Reply: return 66;
        default: return 1;
        }
    }
};

}  // namespace

struct Link::Private {
    Private(Link& link, HidTransport& t) : q(link), transport(t), detectCon(new QTimer(&link)) {}

    bool exchange(bool copyToBuffer);
    bool held() const { return periodic > 0 && (sequences > 0 || state == LinkState::NotAnswering); }
    void setState(LinkState newState);
    bool displayStillPresent();
    void drainInput();
    ExchangeResult receiveInputReport(bool copyToBuffer);
    void setLabel4(const QString& text);  // the background stays as it is
    void setLabel4(ProgressColour colour, const QString& text);

    void setField(int index, const QString& text);
    void setFieldByte(int index, uint8_t value)
    {
        bytes[std::size_t(index)] = value;
        ownText[std::size_t(index)] = false;
    }

    // Diagnostics: the list as text, and the exchange's entries not yet written out behind it.
    QStringList& lines();
    qsizetype lineCount() const { return lst.size() + pendingLineCount; }
    void clearLog();
    void startStep();
    void step(const QString& name, const QString& result);
    void stepPending(const QString& name, std::string result);
    PendingLines& addPending(PendingLines::Kind kind);
    void addPendingLine(const QString& line) { addPending(PendingLines::Kind::Line).text = &line; }

    Link& q;
    HidTransport& transport;

    HidTransport::Handle hidHandle = 0;
    HidTransport::Handle readHandle = 0;
    bool deviceFound = false;
    bool readEventReady = false;
    // Set by a read time-out (or CloseLink): the handles are closed until a pass reopens them.
    bool linkDown = false;
    int sequences = 0;        // operations open (nested)
    int periodic = 0;         // periodic requests under way
    bool retryArmed = false;  // the outermost operation may try a display that stopped answering
    HidInterfaceInfo device;
    ReportLengths lengths;

    // The report buffer Text1(0..64) as bytes. A field keeps the text a caller put in when that text is
    // not its byte's two upper-case digits ("1", "a", "" stay as they were typed); the others are written
    // out when read.
    std::array<uint8_t, kReportLength> bytes{};
    std::array<bool, kReportLength> ownText{};
    std::array<QString, kReportLength> texts;
    ExchangeResult last = ExchangeResult::NotOpen;
    int exchanging = 0;  // exchanges under way: a slot may start one inside another

    LinkState state = LinkState::Unknown;
    QString label3;
    QString label4;
    ProgressColour label4Colour = ProgressColour::Unset;

    QStringList lst;
    std::vector<PendingLines> pending;
    qsizetype pendingLineCount = 0;
    int selectedLine = -1;

    QTimer* detectCon;
    // Time since the monitor's countdown began: an exchange stops the monitor and resumes the countdown
    // where it was, so that windows exchanging more often than once a second cannot starve it.
    QElapsedTimer countdown;
    int readTimeoutMs = kReadTimeoutMs;
    std::function<void(bool, const uint8_t*, std::size_t)> observer;

    QString transportText() const
    {
        const QString text = QString::fromStdString(transport.lastError());
        return text.isEmpty() ? kOkText : text;
    }
};

Link::Link(HidTransport& transport, QObject* parent) : QObject(parent), d(new Private(*this, transport))
{
    d->ownText.fill(true);  // every field starts empty, Text1(64) holds the fill value
    d->texts.back() = QStringLiteral("0");
    d->detectCon->setObjectName(QStringLiteral("DETECT_CON"));
    d->detectCon->setInterval(kMonitorIntervalMs);
    connect(d->detectCon, &QTimer::timeout, this, &Link::DETECT_CON_Timer);
}

Link::~Link()
{
    d->detectCon->stop();
    if (d->hidHandle != 0)
        d->transport.close(d->hidHandle);
    if (d->readHandle != 0)
        d->transport.close(d->readHandle);
    delete d;
}

// --- diagnostics -----------------------------------------------------------------------------

namespace {

void addLine(QStringList& lst, const QString& line) { lst.append(line); }

QString resultLine(const QString& result) { return QStringLiteral("  Result = ") + result; }

}  // namespace

void Link::LogApiResult(const QString& callName)
{
    // Public callers log the call they just made through the same transport.
    d->step(callName, d->transportText());
    emit diagnosticsChanged();
}

const QStringList& Link::lstResults() const { return d->lines(); }

QStringList& Link::Private::lines()
{
    if (pending.empty())
        return lst;
    lst.reserve(lst.size() + pendingLineCount);
    for (const PendingLines& entry : pending) {
        switch (entry.kind) {
        case PendingLines::Kind::Line: lst.append(*entry.text); break;
        case PendingLines::Kind::Step:
            lst.append(QString());
            lst.append(*entry.text);
            lst.append(resultLine(entry.result.empty() ? kOkText : QString::fromStdString(entry.result)));
            break;
        case PendingLines::Kind::Written:
            lst.append(QStringLiteral(" NumberOfBytesWritten = %1").arg(entry.number));
            break;
        case PendingLines::Kind::Request:
            for (int i = 1; i < kReportLength; ++i)
                lst.append(twoDigits(entry.frame[std::size_t(i)]));
            break;
        case PendingLines::Kind::Reply:
            lst.append(QStringLiteral(" Report ID: %1").arg(entry.frame[0]));
            lst.append(QStringLiteral(" Report Data:"));
            for (int i = 1; i < kReportLength; ++i)
                lst.append(QLatin1Char(' ') + twoDigits(entry.frame[std::size_t(i)]));
            break;
        case PendingLines::Kind::Late: {
            QString line = QStringLiteral(" Late input report discarded:");
            for (int i = 1; i < entry.number; ++i)
                line += QLatin1Char(' ') + twoDigits(entry.frame[std::size_t(i)]);
            lst.append(line);
            break;
        }
        }
    }
    pending.clear();
    pendingLineCount = 0;
    return lst;
}

void Link::Private::clearLog()
{
    lst.clear();
    pending.clear();
    pendingLineCount = 0;
    selectedLine = -1;
}

// Every call's entry starts here: the list is emptied once it has run past 32000 lines.
void Link::Private::startStep()
{
    if (selectedLine > kMaxLogIndex)
        clearLog();
}

// An entry for one call: an empty line, its name and its outcome.
void Link::Private::step(const QString& name, const QString& result)
{
    startStep();
    QStringList& text = lines();
    text.append(QString());
    text.append(name);
    text.append(resultLine(result));
    selectedLine = int(text.size()) - 1;
}

// The same entry for a call of an exchange, with the transport's text for it.
void Link::Private::stepPending(const QString& name, std::string result)
{
    startStep();
    PendingLines& entry = addPending(PendingLines::Kind::Step);
    entry.text = &name;
    entry.result = std::move(result);
    selectedLine = int(lineCount()) - 1;
}

PendingLines& Link::Private::addPending(PendingLines::Kind kind)
{
    PendingLines& entry = pending.emplace_back();
    entry.kind = kind;
    pendingLineCount += PendingLines::lineCount(kind);
    return entry;
}

// --- discovery -------------------------------------------------------------------------------

bool Link::FindTheHid()
{
    QStringList& lst = d->lines();
    auto step = [this](const QString& name, const QString& result) { d->step(name, result); };
    auto releaseHandles = [this, &step] {
        // Handles of an earlier pass are not used again: release them before they are replaced or lost.
        if (d->hidHandle != 0) {
            d->transport.close(d->hidHandle);
            d->hidHandle = 0;
            step(QStringLiteral("CloseHandle (previous HIDHandle)"), d->transportText());
        }
        if (d->readHandle != 0) {
            d->transport.close(d->readHandle);
            d->readHandle = 0;
            step(QStringLiteral("CloseHandle (previous ReadHandle)"), d->transportText());
        }
    };

    d->deviceFound = false;
    // Whatever this pass finds, the state a read time-out left behind is over.
    d->linkDown = false;

    step(QStringLiteral("GetHidGuid"), kOkText);
    QString guid = hex(kHidGuidData1) + "-" + hex(kHidGuidData2) + "-" + hex(kHidGuidData3) + "-";
    for (uint8_t b : kHidGuidData4)
        guid += twoDigits(b) + " ";
    addLine(lst, QStringLiteral("  GUID for system HIDs: ") + guid);

    const std::vector<HidInterfaceInfo> present = d->transport.enumerate();
    step(QStringLiteral("SetupDiClassDevs"), d->transportText());

    HidTransport::Handle candidate = 0;
    HidInterfaceInfo match;
    for (std::size_t index = 0;; ++index) {
        if (index >= present.size()) {
            step(QStringLiteral("SetupDiEnumDeviceInterfaces"), kNoMoreItemsText);
            break;
        }
        step(QStringLiteral("SetupDiEnumDeviceInterfaces"), kOkText);
        const HidInterfaceInfo& info = present[index];
        addLine(lst, QStringLiteral("  DeviceInfoSet for device #%1: ").arg(index));
        addLine(lst, QStringLiteral("  cbSize = %1").arg(kInterfaceDataSize));
        addLine(lst, QStringLiteral("  InterfaceClassGuid.Data1 = ") + hex(kHidGuidData1));
        addLine(lst, QStringLiteral("  InterfaceClassGuid.Data2 = ") + hex(kHidGuidData2));
        addLine(lst, QStringLiteral("  InterfaceClassGuid.Data3 = ") + hex(kHidGuidData3));
        addLine(lst, QStringLiteral("  Flags = ") + hex(kInterfaceFlags));

        step(QStringLiteral("SetupDiGetDeviceInterfaceDetail"), kBufferTooSmallText);
        addLine(lst, QStringLiteral("  (OK to say too small)"));
        addLine(lst, QStringLiteral("  Required buffer size for the data: %1").arg(4 + info.path.size() + 1));
        step(QStringLiteral(" Result of second call: "), kOkText);
        addLine(lst, QStringLiteral("  MyDeviceInterfaceDetailData.cbSize: %1").arg(kDetailDataSize));
        addLine(lst, QStringLiteral("  Device pathname: "));
        addLine(lst, QStringLiteral("    ") + QString::fromStdString(info.path));

        const bool isDisplay = info.vendorId == kDisplayVendorId && info.productId == kDisplayProductId;
        // Other interfaces are judged by the IDs the enumeration gave: opening them is not ours to do.
        bool attributesRead = true;
        if (isDisplay) {
            releaseHandles();
            candidate = d->transport.open(info.path);
            step(QStringLiteral("CreateFile"), d->transportText());
            addLine(lst, QStringLiteral("  Returned handle: ") + hex(uint64_t(candidate)) + "h");
            attributesRead = candidate != 0;
        }
        step(QStringLiteral("HidD_GetAttributes"), attributesRead ? kOkText : kInvalidHandleText);
        addLine(lst,
                attributesRead ? QStringLiteral("HIDD_ATTRIBUTES structure filled without error.")
                               : QStringLiteral("Error in filling HIDD_ATTRIBUTES structure."));
        addLine(lst, QStringLiteral("Structure size: %1").arg(kAttributesSize));
        addLine(lst, QStringLiteral("Vendor ID: ") + hex(attributesRead ? info.vendorId : 0));
        addLine(lst, QStringLiteral("Product ID: ") + hex(info.productId));
        addLine(lst, QStringLiteral("Version Number: ") + hex(info.version));

        if (isDisplay && attributesRead) {
            addLine(lst, QStringLiteral("  My device detected"));
            d->deviceFound = true;
            match = info;
            break;  // the first display in enumeration order wins
        }
        if (isDisplay)  // a display that would not open is dropped like any other candidate; no handle to close
            step(QStringLiteral("CloseHandle"), kInvalidHandleText);
    }
    step(QStringLiteral("DestroyDeviceInfoList"), kOkText);

    auto notFound = [&] {
        d->deviceFound = false;
        releaseHandles();
        addLine(lst, QStringLiteral(" Device not found."));
        emit diagnosticsChanged();
        return false;
    };
    if (!d->deviceFound)
        return notFound();

    d->hidHandle = candidate;

    // ReadCapabilities
    const ReportLengths lengths = d->transport.reportLengths(d->hidHandle);
    step(QStringLiteral("HidD_GetPreparsedData"), d->transportText());
    step(QStringLiteral("HidP_GetCaps"), kOkText);
    addLine(lst, QStringLiteral("  Last error: "));
    addLine(lst, QStringLiteral("  Usage: 0"));
    addLine(lst, QStringLiteral("  Usage Page: 0"));
    addLine(lst, QStringLiteral("  Input Report Byte Length: %1").arg(lengths.input));
    addLine(lst, QStringLiteral("  Output Report Byte Length: %1").arg(lengths.output));
    for (const char* name :
         {"  Feature Report Byte Length: ", "  Number of Link Collection Nodes: ", "  Number of Input Button Caps: ",
          "  Number of Input Value Caps: ", "  Number of Input Data Indices: ", "  Number of Output Button Caps: ",
          "  Number of Output Value Caps: ", "  Number of Output Data Indices: ", "  Number of Feature Button Caps: ",
          "  Number of Feature Value Caps: ", "  Number of Feature Data Indices: "})
        addLine(lst, QString::fromLatin1(name) + QStringLiteral("0"));
    step(QStringLiteral("HidD_FreePreparsedData"), kOkText);

    // Every caller puts 64 data bytes in a report: a display with other lengths cannot be served.
    if (lengths.input != kReportLength || lengths.output != kReportLength) {
        addLine(lst,
                QStringLiteral("  Report lengths %1/%2 refused: %3 bytes expected.")
                    .arg(lengths.input)
                    .arg(lengths.output)
                    .arg(kReportLength));
        return notFound();
    }
    d->lengths = lengths;

    d->readHandle = d->transport.open(match.path);
    step(QStringLiteral("CreateFile, ReadHandle"), d->transportText());
    addLine(lst, QStringLiteral("  Returned handle: ") + hex(uint64_t(d->readHandle)) + "h");
    if (d->readHandle == 0)
        return notFound();

    // PrepareReadEvent: the transport's timed read stands for the event, which is prepared only once.
    const bool kept = d->readEventReady;
    d->readEventReady = true;
    step(QStringLiteral("CreateEvent"), kOkText);
    if (kept)
        addLine(lst, QStringLiteral("  Read event of an earlier pass kept."));

    d->device = match;
    emit diagnosticsChanged();
    return true;
}

bool Link::deviceFound() const { return d->deviceFound; }
const HidInterfaceInfo& Link::device() const { return d->device; }
ReportLengths Link::reportLengths() const { return d->lengths; }

// --- report buffer ---------------------------------------------------------------------------

QString Link::text1(int index) const
{
    if (index < 0 || index >= kReportLength)
        return QString();
    const auto i = std::size_t(index);
    return d->ownText[i] ? d->texts[i] : twoDigits(d->bytes[i]);
}

void Link::Private::setField(int index, const QString& text)
{
    const auto i = std::size_t(index);
    uint8_t value = 0;
    if (isByteText(text, value)) {
        setFieldByte(index, value);
        return;
    }
    bytes[i] = requestByte(text);
    ownText[i] = true;
    texts[i] = text;
}

void Link::setText1(int index, const QString& text)
{
    // Text1(64) is the fill value and never changes.
    if (index < 0 || index >= kReportLength - 1)
        return;
    d->setField(index, text);
    emit bufferChanged();
}

void Link::setBytes(int first, const std::vector<uint8_t>& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const long long index = first + (long long)i;
        if (index >= 0 && index < kReportLength - 1)
            d->setFieldByte(int(index), bytes[i]);
    }
    emit bufferChanged();
}

uint8_t Link::byteAt(int index) const
{
    if (index < 0 || index >= kReportLength)
        return 0;
    return d->bytes[std::size_t(index)];
}

void Link::but_CLEAR_HID_Click()
{
    for (int i = 0; i < kReportLength - 1; ++i)
        d->setField(i, d->texts.back());
    emit bufferChanged();
}

// --- exchanges -------------------------------------------------------------------------------

bool Link::but_WR_HID_Click() { return d->exchange(false); }

bool Link::but_RD_HID_Click() { return d->exchange(true); }

ExchangeResult Link::lastExchange() const { return d->last; }

bool Link::exchanging() const { return d->exchanging > 0; }

void Link::Private::setLabel4(const QString& text)
{
    label4 = text;
    emit q.label4Changed();
}

void Link::Private::setLabel4(ProgressColour colour, const QString& text)
{
    label4Colour = colour;
    setLabel4(text);
}

bool Link::Private::exchange(bool copyToBuffer)
{
    auto zeroReply = [this, copyToBuffer] {
        if (!copyToBuffer)
            return;
        for (int i = 0; i < kReportLength - 1; ++i)
            setFieldByte(i, 0);
        emit q.bufferChanged();
    };

    if (held()) {
        last = ExchangeResult::Held;
        return false;
    }
    if (retryArmed) {
        // The operation's one try of a display that stopped answering: open it again; its answer decides.
        retryArmed = false;
        if (!q.FindTheHid())
            setState(LinkState::Waiting);
    }
    if (state == LinkState::Waiting) {
        setLabel4(QStringLiteral("IMPOSSIBLE !"));
        q.but_CLEAR_HID_Click();
        last = ExchangeResult::Refused;
        return false;
    }

    ++exchanging;
    setLabel4(ProgressColour::White, QStringLiteral("    "));
    const bool monitorWasRunning = detectCon->isActive();
    detectCon->stop();
    clearLog();
    emit q.diagnosticsChanged();
    setLabel4(ProgressColour::Yellow, QStringLiteral("Envoi en cours."));
    addPendingLine(kReportHeaderText);

    std::array<uint8_t, kReportLength> report{};  // report ID 0x00, then the 64 request bytes
    std::copy(bytes.begin(), bytes.end() - 1, report.begin() + 1);

    if (!deviceFound) {
        addPendingLine(kNothingSentText);
        last = ExchangeResult::NotOpen;
    } else if (linkDown) {
        addPendingLine(state == LinkState::NotAnswering ? kNotAnsweringLine : kLinkDownText);
        zeroReply();
        last = ExchangeResult::LinkDown;
    } else {
        drainInput();

        // SendOutputReport
        const int written = transport.write(hidHandle, report.data(), report.size());
        stepPending(kWriteFileName, transport.lastError());
        addPending(PendingLines::Kind::Written).number = std::max(written, 0);
        addPending(PendingLines::Kind::Request).frame = report;

        if (written != kReportLength) {
            // Nothing can answer a report that did not go out whole: do not wait for it.
            addPendingLine(kWriteIncompleteText);
            zeroReply();
            last = ExchangeResult::WriteFailed;
        } else {
            if (observer)
                observer(true, report.data(), report.size());
            last = receiveInputReport(copyToBuffer);
        }
    }
    emit q.diagnosticsChanged();

    setLabel4(QString());
    --exchanging;
    setLabel4(ProgressColour::Green, QStringLiteral("Fin de l'envoi ."));
    if (last == ExchangeResult::TimedOut)
        setState(LinkState::NotAnswering);
    else if (last == ExchangeResult::Answered && state == LinkState::NotAnswering)
        setState(LinkState::Connected);
    if (monitorWasRunning) {
        const qint64 left = kMonitorIntervalMs - (countdown.isValid() ? countdown.elapsed() : 0);
        detectCon->start(static_cast<int>(std::clamp<qint64>(left, 0, kMonitorIntervalMs)));
    }
    return last == ExchangeResult::Answered;
}

void Link::Private::drainInput()
{
    // A reply that came after its exchange gave up must not pass for the answer to the next request.
    for (int n = 0; n < kMaxDrainedReports; ++n) {
        std::array<uint8_t, kReportLength> buffer{};
        std::size_t got = 0;
        const auto status = transport.read(readHandle, buffer.data(), buffer.size(), 0, got);
        if (status != HidTransport::ReadStatus::Completed || got == 0)
            return;
        got = std::min(got, buffer.size());
        PendingLines& entry = addPending(PendingLines::Kind::Late);
        entry.number = int(got);
        entry.frame = buffer;
        // A short report is traced as the 65-byte frame it fills, like every other report.
        if (observer)
            observer(false, buffer.data(), buffer.size());
    }
}

ExchangeResult Link::Private::receiveInputReport(bool copyToBuffer)
{
    std::array<uint8_t, kReportLength> buffer{};
    std::size_t got = 0;
    const auto status = transport.read(readHandle, buffer.data(), buffer.size(), readTimeoutMs, got);
    const std::string readText = transport.lastError();
    stepPending(kReadFileName, readText);
    addPendingLine(kWaitingForReadText);
    selectedLine = int(lineCount()) - 1;
    stepPending(kWaitName, readText);

    ExchangeResult result = ExchangeResult::Answered;
    switch (status) {
    case HidTransport::ReadStatus::Completed:
        // A report shorter than the frame is no reply: the bytes it lacks would pass for 00.
        if (got < buffer.size())
            result = ExchangeResult::ReadError;
        addPendingLine(result == ExchangeResult::ReadError ? kReadErrorText : kReadCompletedText);
        // The frame as it is used: bytes a short report did not bring stay 00.
        if (observer)
            observer(false, buffer.data(), buffer.size());
        break;
    case HidTransport::ReadStatus::TimedOut:
        addPendingLine(kReadTimeoutText);
        buffer.fill(0);
        transport.close(hidHandle);
        transport.close(readHandle);
        hidHandle = 0;
        readHandle = 0;
        stepPending(kCloseHandleName, transport.lastError());
        // The display is silent: it stays closed, so that nothing waits for it again until it is plugged
        // in again or an operation gives it one more try.
        linkDown = true;
        result = ExchangeResult::TimedOut;
        break;
    case HidTransport::ReadStatus::Error:
        addPendingLine(kReadErrorText);
        result = ExchangeResult::ReadError;
        break;
    }

    addPending(PendingLines::Kind::Reply).frame = buffer;
    if (copyToBuffer) {
        for (int i = 1; i < kReportLength; ++i)
            setFieldByte(i - 1, buffer[std::size_t(i)]);
        emit q.bufferChanged();
    }
    return result;
}

// --- status line, progress label ---------------------------------------------------------------

LinkState Link::state() const { return d->state; }
QString Link::label3Text() const { return d->label3; }
QString Link::label4Text() const { return d->label4; }
ProgressColour Link::label4Color() const { return d->label4Colour; }

// --- monitor -------------------------------------------------------------------------------

void Link::DETECT_CON_Timer()
{
    // An operation has the link to itself: the pass waits for a tick after it.
    if (d->sequences > 0)
        return;
    // A countdown shortened by an exchange goes back to the whole interval from this pass on.
    d->countdown.start();
    if (d->detectCon->isActive() && d->detectCon->interval() != kMonitorIntervalMs)
        d->detectCon->start(kMonitorIntervalMs);
    // A pass would reopen a display that does not answer and call it connected: it is only looked for.
    if (d->state == LinkState::NotAnswering && d->displayStillPresent()) {
        emit label3Changed();
        emit monitorTick(false);
        return;
    }
    const bool found = FindTheHid();
    d->setState(found ? LinkState::Connected : LinkState::Waiting);
    emit monitorTick(found);
}

void Link::Private::setState(LinkState newState)
{
    state = newState;
    switch (newState) {
    case LinkState::Unknown: label3.clear(); break;
    case LinkState::Waiting: label3 = kWaitingText; break;
    case LinkState::Connected: label3 = kConnectedText; break;
    case LinkState::NotAnswering: label3 = kNotAnsweringText; break;
    }
    emit q.label3Changed();
}

bool Link::Private::displayStillPresent()
{
    const std::vector<HidInterfaceInfo> present = transport.enumerate();
    step(QStringLiteral("SetupDiClassDevs"), transportText());
    const bool there = std::any_of(present.begin(), present.end(), [this](const HidInterfaceInfo& info) {
        return info.path == device.path && info.vendorId == device.vendorId && info.productId == device.productId;
    });
    if (there)
        addLine(lines(), kNotAnsweringLine);
    emit q.diagnosticsChanged();
    return there;
}

void Link::startMonitor()
{
    d->countdown.start();
    d->detectCon->start(kMonitorIntervalMs);
}

void Link::restartMonitor() { d->detectCon->start(); }

void Link::stopMonitor() { d->detectCon->stop(); }

bool Link::monitorRunning() const { return d->detectCon->isActive(); }

void Link::CloseLink()
{
    auto closeOne = [this](HidTransport::Handle& handle, const QString& name) {
        QString result = kInvalidHandleText;  // a handle never opened fails harmlessly
        if (handle != 0) {
            d->transport.close(handle);
            result = d->transportText();
            handle = 0;
        }
        d->step(name, result);
    };
    closeOne(d->hidHandle, QStringLiteral("CloseHandle (HIDHandle)"));
    closeOne(d->readHandle, QStringLiteral("CloseHandle (ReadHandle)"));
    if (d->deviceFound)
        d->linkDown = true;
    emit diagnosticsChanged();
}

// --- operations and periodic requests ------------------------------------------------------------

Link::Sequence::Sequence(Link& link) : link_(link)
{
    if (link_.d->sequences++ == 0)
        link_.d->retryArmed = link_.d->state == LinkState::NotAnswering;
}

Link::Sequence::~Sequence()
{
    if (--link_.d->sequences == 0)
        link_.d->retryArmed = false;
}

Link::PeriodicRequest::PeriodicRequest(Link& link) : link_(link) { ++link_.d->periodic; }

Link::PeriodicRequest::~PeriodicRequest() { --link_.d->periodic; }

bool Link::PeriodicRequest::allowed() const { return !link_.d->held(); }

bool Link::inSequence() const { return d->sequences > 0; }

void Link::setReadTimeoutMs(int ms) { d->readTimeoutMs = std::max(ms, 0); }
int Link::readTimeoutMs() const { return d->readTimeoutMs; }

void Link::setReportObserver(std::function<void(bool, const uint8_t*, std::size_t)> observer)
{
    d->observer = std::move(observer);
}

}  // namespace trivo
