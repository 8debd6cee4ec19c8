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

QString hex(uint64_t value) { return QString::number(value, 16).toUpper(); }
QString twoDigits(uint8_t value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

struct Link::Private {
    Private(Link& link, HidTransport& t) : q(link), transport(t) {}

    bool exchange(bool copyToBuffer);
    void drainInput();
    ExchangeResult receiveInputReport(bool copyToBuffer);
    void setLabel4(const QString& color, const QString& text);
    void step(const QString& name, const QString& result);

    Link& q;
    HidTransport& transport;

    HidTransport::Handle hidHandle = 0;
    HidTransport::Handle readHandle = 0;
    bool deviceFound = false;
    bool readEventReady = false;
    // Set by a read time-out (or CloseLink): the handles are closed until the next pass reopens them.
    bool linkDown = false;
    HidInterfaceInfo device;
    ReportLengths lengths;

    std::array<QString, kReportLength> text1;
    ExchangeResult last = ExchangeResult::NotOpen;

    LinkState state = LinkState::Unknown;
    QString label3;
    QString label4;
    QString label4Color;

    QStringList lst;
    int selectedLine = -1;

    QTimer detectCon;
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
    d->text1.back() = QStringLiteral("0");
    d->detectCon.setObjectName(QStringLiteral("DETECT_CON"));
    d->detectCon.setInterval(kMonitorIntervalMs);
    connect(&d->detectCon, &QTimer::timeout, this, &Link::DETECT_CON_Timer);
}

Link::~Link()
{
    d->detectCon.stop();
    if (d->hidHandle != 0)
        d->transport.close(d->hidHandle);
    if (d->readHandle != 0)
        d->transport.close(d->readHandle);
    delete d;
}

// --- diagnostics -----------------------------------------------------------------------------

namespace {

void addLine(QStringList& lst, const QString& line) { lst.append(line); }

}  // namespace

void Link::LogApiResult(const QString& callName)
{
    // Public callers log the call they just made through the same transport.
    d->step(callName, d->transportText());
    emit diagnosticsChanged();
}

const QStringList& Link::lstResults() const { return d->lst; }

// An entry for one call: an empty line, its name and its outcome; the list is emptied past 32000 lines.
void Link::Private::step(const QString& name, const QString& result)
{
    if (selectedLine > kMaxLogIndex) {
        lst.clear();
        selectedLine = -1;
    }
    lst.append(QString());
    lst.append(name);
    lst.append(QStringLiteral("  Result = ") + result);
    selectedLine = int(lst.size()) - 1;
}

// --- discovery -------------------------------------------------------------------------------

bool Link::FindTheHid()
{
    auto& lst = d->lst;
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
    return d->text1[std::size_t(index)];
}

void Link::setText1(int index, const QString& text)
{
    // Text1(64) is the fill value and never changes.
    if (index < 0 || index >= kReportLength - 1)
        return;
    d->text1[std::size_t(index)] = text;
    emit bufferChanged();
}

void Link::setBytes(int first, const std::vector<uint8_t>& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const long long index = first + (long long)i;
        if (index >= 0 && index < kReportLength - 1)
            d->text1[std::size_t(index)] = twoDigits(bytes[i]);
    }
    emit bufferChanged();
}

uint8_t Link::byteAt(int index) const
{
    if (index < 0 || index >= kReportLength)
        return 0;
    const QString text = d->text1[std::size_t(index)].trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    // Callers only put bytes here; anything else goes out as 00 rather than as a truncated guess.
    return ok && value <= 0xFF ? uint8_t(value) : 0;
}

void Link::but_CLEAR_HID_Click()
{
    for (int i = 0; i < kReportLength - 1; ++i)
        d->text1[std::size_t(i)] = d->text1.back();
    emit bufferChanged();
}

// --- exchanges -------------------------------------------------------------------------------

bool Link::but_WR_HID_Click() { return d->exchange(false); }

bool Link::but_RD_HID_Click() { return d->exchange(true); }

ExchangeResult Link::lastExchange() const { return d->last; }

void Link::Private::setLabel4(const QString& color, const QString& text)
{
    if (!color.isNull())
        label4Color = color;
    label4 = text;
    emit q.label4Changed();
}

bool Link::Private::exchange(bool copyToBuffer)
{
    auto zeroReply = [this, copyToBuffer] {
        if (!copyToBuffer)
            return;
        for (int i = 0; i < kReportLength - 1; ++i)
            text1[std::size_t(i)] = QStringLiteral("00");
        emit q.bufferChanged();
    };

    if (state == LinkState::Waiting) {
        setLabel4(QString(), QStringLiteral("IMPOSSIBLE !"));
        q.but_CLEAR_HID_Click();
        last = ExchangeResult::Refused;
        return false;
    }

    setLabel4(QStringLiteral("white"), QStringLiteral("    "));
    const bool monitorWasRunning = detectCon.isActive();
    detectCon.stop();
    lst.clear();
    selectedLine = -1;
    emit q.diagnosticsChanged();
    setLabel4(QStringLiteral("yellow"), QStringLiteral("Envoi en cours."));
    addLine(lst, QStringLiteral("***** HID Test Report *****"));

    std::array<uint8_t, kReportLength> report{};  // report ID 0x00, then the 64 request bytes
    for (int k = 0; k < kReportLength - 1; ++k)
        report[std::size_t(k + 1)] = q.byteAt(k);

    if (!deviceFound) {
        addLine(lst, QStringLiteral(" No display opened yet: nothing sent."));
        last = ExchangeResult::NotOpen;
    } else if (linkDown) {
        addLine(lst,
                QStringLiteral(" Link closed after a read time-out: nothing sent until the next "
                               "connection check."));
        zeroReply();
        last = ExchangeResult::LinkDown;
    } else {
        drainInput();

        // SendOutputReport
        const int written = transport.write(hidHandle, report.data(), report.size());
        step(QStringLiteral("WriteFile"), transportText());
        addLine(lst, QStringLiteral(" NumberOfBytesWritten = %1").arg(std::max(written, 0)));
        for (int i = 1; i < kReportLength; ++i)
            addLine(lst, twoDigits(report[std::size_t(i)]));

        if (written != kReportLength) {
            // Nothing can answer a report that did not go out whole: do not wait for it.
            addLine(lst, QStringLiteral(" Write incomplete: no reply awaited."));
            zeroReply();
            last = ExchangeResult::WriteFailed;
        } else {
            if (observer)
                observer(true, report.data(), report.size());
            last = receiveInputReport(copyToBuffer);
        }
    }
    emit q.diagnosticsChanged();

    setLabel4(QString(), QString());
    setLabel4(QStringLiteral("green"), QStringLiteral("Fin de l'envoi ."));
    if (monitorWasRunning) {
        const qint64 left = kMonitorIntervalMs - (countdown.isValid() ? countdown.elapsed() : 0);
        detectCon.start(static_cast<int>(std::clamp<qint64>(left, 0, kMonitorIntervalMs)));
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
        QString line = QStringLiteral(" Late input report discarded:");
        for (std::size_t i = 1; i < got; ++i)
            line += " " + twoDigits(buffer[i]);
        lst.append(line);
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
    const QString readText = transportText();
    step(QStringLiteral("ReadFile"), readText);
    addLine(lst, QStringLiteral("waiting for ReadFile"));
    selectedLine = int(lst.size()) - 1;
    step(QStringLiteral("WaitForSingleObject"), readText);

    ExchangeResult result = ExchangeResult::Answered;
    switch (status) {
    case HidTransport::ReadStatus::Completed:
        addLine(lst, QStringLiteral("ReadFile completed successfully."));
        // The frame as it is used: bytes a short report did not bring stay 00.
        if (observer)
            observer(false, buffer.data(), buffer.size());
        break;
    case HidTransport::ReadStatus::TimedOut:
        addLine(lst, QStringLiteral("Readfile timeout"));
        buffer.fill(0);
        transport.close(hidHandle);
        transport.close(readHandle);
        hidHandle = 0;
        readHandle = 0;
        step(QStringLiteral("CloseHandle"), transportText());
        // The display is silent: until the next pass, exchanges fail at once instead of waiting again.
        linkDown = true;
        result = ExchangeResult::TimedOut;
        break;
    case HidTransport::ReadStatus::Error:
        addLine(lst, QStringLiteral("Readfile undefined error"));
        result = ExchangeResult::ReadError;
        break;
    }

    addLine(lst, QStringLiteral(" Report ID: %1").arg(buffer[0]));
    addLine(lst, QStringLiteral(" Report Data:"));
    for (int i = 1; i < kReportLength; ++i) {
        const QString text = twoDigits(buffer[std::size_t(i)]);
        if (copyToBuffer)
            text1[std::size_t(i - 1)] = text;
        addLine(lst, " " + text);
    }
    if (copyToBuffer)
        emit q.bufferChanged();
    return result;
}

// --- status line, progress label ---------------------------------------------------------------

LinkState Link::state() const { return d->state; }
QString Link::label3Text() const { return d->label3; }
QString Link::label4Text() const { return d->label4; }
QString Link::label4Color() const { return d->label4Color; }

// --- monitor -------------------------------------------------------------------------------

QTimer& Link::DETECT_CON() { return d->detectCon; }

void Link::DETECT_CON_Timer()
{
    // A countdown shortened by an exchange goes back to the whole interval from this pass on.
    d->countdown.start();
    if (d->detectCon.isActive() && d->detectCon.interval() != kMonitorIntervalMs)
        d->detectCon.start(kMonitorIntervalMs);
    const bool found = FindTheHid();
    d->state = found ? LinkState::Connected : LinkState::Waiting;
    d->label3 = found ? kConnectedText : kWaitingText;
    emit label3Changed();
    emit monitorTick(found);
}

void Link::startMonitor()
{
    d->countdown.start();
    d->detectCon.start(kMonitorIntervalMs);
}

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

void Link::setReadTimeoutMs(int ms) { d->readTimeoutMs = std::max(ms, 0); }
int Link::readTimeoutMs() const { return d->readTimeoutMs; }

void Link::setReportObserver(std::function<void(bool, const uint8_t*, std::size_t)> observer)
{
    d->observer = std::move(observer);
}

}  // namespace trivo
