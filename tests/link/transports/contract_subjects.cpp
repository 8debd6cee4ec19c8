// The transports the contract suite runs on: the emulated display's, and the hidapi one on the stand-in
// library with a sysfs folder of its own (descriptor with unnumbered reports, with numbered reports, and
// none readable, where the transport falls back on the display's framing).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include "hidapi_standin.h"
#include "link/hidapi_transport.h"
#include "transport_contract.h"

namespace trivo::test {

namespace {

class EmulatedSubject : public ContractSubject {
public:
    EmulatedSubject() { transport_.plug(true); }
    HidTransport& transport() override { return transport_; }
    std::string displayPath() const override { return EmulatedTransport::kDisplayPath; }
    uint8_t reportId() const override { return 0; }
    EmulatedDisplay& display() override { return transport_.display(); }
    void plug(bool present) override { transport_.plug(present); }
    void setSilent(bool silent) override { transport_.setSilent(silent); }
    std::string addOtherDevice(uint16_t vendorId, uint16_t productId, bool beforeDisplay) override
    {
        const auto before = transport_.enumerate();
        transport_.addOtherDevice(vendorId, productId, beforeDisplay);
        for (const HidInterfaceInfo& info : transport_.enumerate())
            if (std::none_of(before.begin(), before.end(), [&](const auto& b) { return b.path == info.path; }))
                return info.path;
        return {};
    }
    int devicesOpen() const override { return transport_.openHandles(); }

private:
    EmulatedTransport transport_;
};

// The display's descriptor: vendor page, 64 bytes in, 64 bytes out, numbered with reportId when not 0.
QByteArray displayDescriptor(uint8_t reportId)
{
    QByteArray d = QByteArray::fromHex("0600FF0901A101");
    if (reportId)
        d += QByteArray::fromHex("85") + char(reportId);
    return d + QByteArray::fromHex("150026FF007508954009018102954009019102C0");
}

class HidapiSubject : public ContractSubject {
public:
    enum Descriptor { Unnumbered, Numbered, Unreadable };

    explicit HidapiSubject(Descriptor descriptor) : reportId_(descriptor == Numbered ? 1 : 0)
    {
        standin::reset();
        if (descriptor != Unreadable) {
            const QString folder = sysfs_.filePath(QStringLiteral("class/hidraw/hidraw4/device"));
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/report_descriptor"));
            if (file.open(QIODevice::WriteOnly))
                file.write(displayDescriptor(reportId_));
        }
        standin::DeviceSpec spec;
        spec.path = kPath;
        spec.reportId = reportId_;
        standin::addDevice(spec);
        transport_ = std::make_unique<HidapiTransport>(sysfs_.path().toStdString());
    }
    ~HidapiSubject() override
    {
        transport_.reset();
        standin::reset();
    }
    HidTransport& transport() override { return *transport_; }
    std::string displayPath() const override { return kPath; }
    uint8_t reportId() const override { return reportId_; }
    EmulatedDisplay& display() override { return standin::display(kPath); }
    void plug(bool present) override { standin::plug(kPath, present); }
    void setSilent(bool silent) override { standin::setSilent(kPath, silent); }
    std::string addOtherDevice(uint16_t vendorId, uint16_t productId, bool beforeDisplay) override
    {
        standin::DeviceSpec spec;
        spec.path = "/dev/hidraw" + std::to_string(10 + others_++);
        spec.vendorId = vendorId;
        spec.productId = productId;
        spec.display = false;
        beforeDisplay ? standin::addDeviceFront(spec) : standin::addDevice(spec);
        return spec.path;
    }
    int devicesOpen() const override { return standin::devicesOpen(); }

private:
    static constexpr const char* kPath = "/dev/hidraw4";
    QTemporaryDir sysfs_;
    uint8_t reportId_;
    int others_ = 0;
    std::unique_ptr<HidapiTransport> transport_;
};

}  // namespace

std::vector<QString> contractSubjectNames()
{
    return {QStringLiteral("emulated"), QStringLiteral("hidapi, unnumbered reports"),
            QStringLiteral("hidapi, numbered reports"), QStringLiteral("hidapi, descriptor unreadable")};
}

std::unique_ptr<ContractSubject> makeContractSubject(const QString& name)
{
    if (name == QLatin1String("emulated"))
        return std::make_unique<EmulatedSubject>();
    if (name == QLatin1String("hidapi, unnumbered reports"))
        return std::make_unique<HidapiSubject>(HidapiSubject::Unnumbered);
    if (name == QLatin1String("hidapi, numbered reports"))
        return std::make_unique<HidapiSubject>(HidapiSubject::Numbered);
    if (name == QLatin1String("hidapi, descriptor unreadable"))
        return std::make_unique<HidapiSubject>(HidapiSubject::Unreadable);
    return nullptr;
}

}  // namespace trivo::test
