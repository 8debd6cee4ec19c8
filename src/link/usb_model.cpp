#include "link/usb_model.h"

#include "link/link_state.h"

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
// The list is emptied once it has run past this many lines.
constexpr int kMaxLogIndex = 32000;

const QString kOkText = QStringLiteral("Success");
const char* const kNoMoreItemsText = "No more data is available.";
const char* const kBufferTooSmallText = "The data area passed to a system call is too small.";
const char* const kInvalidHandleText = "The handle is invalid.";
const QString kNotAnsweringLine =
    QStringLiteral(" Display not answering: nothing sent until it is plugged in again or an operation tries it.");

QString hex(uint64_t value) { return QString::number(value, 16).toUpper(); }

}  // namespace

UsbModel::UsbModel()
{
    texts_.back() = QStringLiteral("0");  // Text1(64): the fill value
}

QString UsbModel::text1(int index) const
{
    return index >= 0 && index < kReportLength ? texts_[std::size_t(index)] : QString();
}

void UsbModel::apply(const LinkEvent& event)
{
    std::visit([this](const auto& e) { apply(e); }, event);
}

void UsbModel::line(const QString& text) { lst_.append(text); }

// An entry for one platform call: an empty line, its name and its outcome.
void UsbModel::step(const std::string& name, const std::string& result)
{
    if (lst_.size() > kMaxLogIndex)
        lst_.clear();
    lst_.append(QString());
    lst_.append(QString::fromStdString(name));
    lst_.append(QStringLiteral("  Result = ") + (result.empty() ? kOkText : QString::fromStdString(result)));
}

void UsbModel::apply(const DiscoveryPass& pass)
{
    auto calls = [this](const std::vector<CallResult>& list) {
        for (const CallResult& c : list)
            step(c.name, c.result);
    };
    auto notFound = [&] {
        calls(pass.releasedAtEnd);
        line(QStringLiteral(" Device not found."));
    };

    step("GetHidGuid", std::string());
    QString guid = hex(kHidGuidData1) + "-" + hex(kHidGuidData2) + "-" + hex(kHidGuidData3) + "-";
    for (uint8_t b : kHidGuidData4)
        guid += byteText(b) + " ";
    line(QStringLiteral("  GUID for system HIDs: ") + guid);
    step("SetupDiClassDevs", pass.enumerateResult);

    std::size_t next = 0;  // the display attempts, in the order they were made
    bool matched = false;
    for (std::size_t index = 0; index < pass.present.size() && !matched; ++index) {
        const HidInterfaceInfo& info = pass.present[index];
        step("SetupDiEnumDeviceInterfaces", std::string());
        line(QStringLiteral("  DeviceInfoSet for device #%1: ").arg(index));
        line(QStringLiteral("  cbSize = %1").arg(kInterfaceDataSize));
        line(QStringLiteral("  InterfaceClassGuid.Data1 = ") + hex(kHidGuidData1));
        line(QStringLiteral("  InterfaceClassGuid.Data2 = ") + hex(kHidGuidData2));
        line(QStringLiteral("  InterfaceClassGuid.Data3 = ") + hex(kHidGuidData3));
        line(QStringLiteral("  Flags = ") + hex(kInterfaceFlags));
        step("SetupDiGetDeviceInterfaceDetail", kBufferTooSmallText);
        line(QStringLiteral("  (OK to say too small)"));
        line(QStringLiteral("  Required buffer size for the data: %1").arg(4 + info.path.size() + 1));
        step(" Result of second call: ", std::string());
        line(QStringLiteral("  MyDeviceInterfaceDetailData.cbSize: %1").arg(kDetailDataSize));
        line(QStringLiteral("  Device pathname: "));
        line(QStringLiteral("    ") + QString::fromStdString(info.path));

        const bool isDisplay = next < pass.opens.size() && pass.opens[next].index == int(index);
        bool attributesRead = true;
        if (isDisplay) {
            const DiscoveryPass::Open& open = pass.opens[next++];
            if (pass.releasedAt == int(index))
                calls(pass.released);
            step("CreateFile", open.result);
            line(QStringLiteral("  Returned handle: ") + hex(uint64_t(open.handle)) + "h");
            attributesRead = open.handle != 0;
        }
        step("HidD_GetAttributes", attributesRead ? std::string() : kInvalidHandleText);
        line(attributesRead ? QStringLiteral("HIDD_ATTRIBUTES structure filled without error.")
                            : QStringLiteral("Error in filling HIDD_ATTRIBUTES structure."));
        line(QStringLiteral("Structure size: %1").arg(kAttributesSize));
        line(QStringLiteral("Vendor ID: ") + hex(attributesRead ? info.vendorId : 0));
        line(QStringLiteral("Product ID: ") + hex(info.productId));
        line(QStringLiteral("Version Number: ") + hex(info.version));
        if (isDisplay && attributesRead) {
            line(QStringLiteral("  My device detected"));
            matched = true;
        } else if (isDisplay) {  // a display that would not open is dropped like any other candidate
            step("CloseHandle", kInvalidHandleText);
        }
    }
    if (!matched)
        step("SetupDiEnumDeviceInterfaces", kNoMoreItemsText);
    step("DestroyDeviceInfoList", std::string());
    if (!matched)
        return notFound();

    step("HidD_GetPreparsedData", pass.lengthsResult);
    step("HidP_GetCaps", std::string());
    line(QStringLiteral("  Last error: "));
    line(QStringLiteral("  Usage: 0"));
    line(QStringLiteral("  Usage Page: 0"));
    line(QStringLiteral("  Input Report Byte Length: %1").arg(pass.lengths.input));
    line(QStringLiteral("  Output Report Byte Length: %1").arg(pass.lengths.output));
    for (const char* name :
         {"  Feature Report Byte Length: ", "  Number of Link Collection Nodes: ", "  Number of Input Button Caps: ",
          "  Number of Input Value Caps: ", "  Number of Input Data Indices: ", "  Number of Output Button Caps: ",
          "  Number of Output Value Caps: ", "  Number of Output Data Indices: ", "  Number of Feature Button Caps: ",
          "  Number of Feature Value Caps: ", "  Number of Feature Data Indices: "})
        line(QString::fromLatin1(name) + QStringLiteral("0"));
    step("HidD_FreePreparsedData", std::string());
    if (pass.lengthsRefused) {
        line(QStringLiteral("  Report lengths %1/%2 refused: %3 bytes expected.")
                 .arg(pass.lengths.input)
                 .arg(pass.lengths.output)
                 .arg(kReportLength));
        return notFound();
    }
    step("CreateFile, ReadHandle", pass.readOpenResult);
    line(QStringLiteral("  Returned handle: ") + hex(uint64_t(pass.readHandle)) + "h");
    if (pass.readHandle == 0)
        return notFound();
    step("CreateEvent", std::string());
    if (pass.readEventKept)
        line(QStringLiteral("  Read event of an earlier pass kept."));
}

void UsbModel::apply(const PresenceCheck& check)
{
    step("SetupDiClassDevs", check.enumerateResult);
    if (check.present)
        line(kNotAnsweringLine);
}

void UsbModel::apply(const CallLog& log)
{
    for (const CallResult& c : log.calls)
        step(c.name, c.result);
}

void UsbModel::apply(const BufferEdit& edit)
{
    if (edit.index < 0) {
        for (int i = 0; i < kReportDataBytes; ++i)
            texts_[std::size_t(i)] = texts_.back();
    } else if (edit.index < kReportDataBytes) {
        texts_[std::size_t(edit.index)] = edit.text;
    }
}

void UsbModel::apply(const BufferSnapshot& snapshot)
{
    for (int i = 0; i < kReportDataBytes; ++i)
        texts_[std::size_t(i)] = byteText(snapshot.bytes[std::size_t(i)]);
}

void UsbModel::apply(const ExchangeRecord& r)
{
    using Kind = ExchangeRecord::Kind;
    if (r.kind == Kind::Cancelled)
        return;
    // The buffer as the window shows it: the fill value after a refusal, the reply's two digits after a
    // read, else the request's bytes in the form its builder typed them; fields it did not set keep
    // their text.
    if (r.kind == Kind::Refused) {
        apply(BufferEdit{-1, QString()});
    } else if (r.bufferIsReply) {
        for (int i = 0; i < kReportDataBytes; ++i)
            texts_[std::size_t(i)] = byteText(r.bufferAfter[std::size_t(i)]);
    } else {
        for (int i = 0; i < kReportDataBytes; ++i)
            if (r.requestSets.test(std::size_t(i))) {
                const uint8_t b = r.report.data(i);
                texts_[std::size_t(i)] = r.shortTexts ? QString::number(b, 16).toUpper() : byteText(b);
            }
    }
    if (r.kind == Kind::Held)
        return;
    if (r.kind == Kind::Refused) {
        label4_ = kLabel4RefusedText;  // the background stays as it was
        return;
    }

    lst_.clear();
    line(QStringLiteral("***** HID Test Report *****"));
    switch (r.kind) {
    case Kind::NotOpen: line(QStringLiteral(" No display opened yet: nothing sent.")); break;
    case Kind::LinkDown:
        line(r.notAnswering ? kNotAnsweringLine
                            : QStringLiteral(" Link closed after a read time-out: nothing sent until the next "
                                             "connection check."));
        break;
    default: {
        for (const ExchangeRecord::Late& late : r.late) {
            QString text = QStringLiteral(" Late input report discarded:");
            for (int i = 1; i < late.length; ++i)
                text += QLatin1Char(' ') + byteText(late.bytes[std::size_t(i)]);
            line(text);
        }
        step("WriteFile", r.writeResult);
        line(QStringLiteral(" NumberOfBytesWritten = %1").arg(r.written));
        for (int i = 1; i < kReportLength; ++i)
            line(byteText(r.report.bytes[std::size_t(i)]));
        if (!r.writeWhole) {
            line(QStringLiteral(" Write incomplete: no reply awaited."));
            break;
        }
        step("ReadFile", r.readResult);
        line(QStringLiteral("waiting for ReadFile"));
        step("WaitForSingleObject", r.readResult);
        switch (r.readStatus) {
        case HidTransport::ReadStatus::Completed: line(QStringLiteral("ReadFile completed successfully.")); break;
        case HidTransport::ReadStatus::TimedOut:
            line(QStringLiteral("Readfile timeout"));
            step("CloseHandle", r.closeResult);
            break;
        case HidTransport::ReadStatus::Error: line(QStringLiteral("Readfile undefined error")); break;
        }
        line(QStringLiteral(" Report ID: %1").arg(r.reply[0]));
        line(QStringLiteral(" Report Data:"));
        for (int i = 1; i < kReportLength; ++i)
            line(QLatin1Char(' ') + byteText(r.reply[std::size_t(i)]));
        break;
    }
    }
    label4_ = kLabel4SentText;
    label4Colour_ = ProgressColour::Green;
}

}  // namespace trivo
