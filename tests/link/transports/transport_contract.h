#pragma once
// The HidTransport contract, checked the same way on every implementation. A subject is one transport
// with the display present at a known path, plus the means to make the display vanish, fall silent or
// share the bus with other HID interfaces; the checks (test_transport_contract.cpp) use nothing else.
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "emulator/emulated_display.h"
#include "link/hid_transport.h"

namespace trivo::test {

class ContractSubject {
public:
    virtual ~ContractSubject() = default;
    virtual HidTransport& transport() = 0;
    virtual std::string displayPath() const = 0;
    // The ID byte that leads the display's reports on this transport (0 when they are unnumbered).
    virtual uint8_t reportId() const = 0;
    // The display behind the transport, as it stands now (to know what it will answer).
    virtual EmulatedDisplay& display() = 0;
    virtual void plug(bool present) = 0;
    virtual void setSilent(bool silent) = 0;
    // Another HID interface that takes writes and never answers, listed before the display or after it;
    // returns its path.
    virtual std::string addOtherDevice(uint16_t vendorId, uint16_t productId, bool beforeDisplay) = 0;
    // Devices the platform holds open on behalf of the transport.
    virtual int devicesOpen() const = 0;
};

// Every subject, by the name its rows carry.
std::vector<QString> contractSubjectNames();
std::unique_ptr<ContractSubject> makeContractSubject(const QString& name);

// A contract-conforming lastError() after a call that worked.
inline bool isSuccessText(const std::string& text)
{
    return text.empty() || QString::fromStdString(text).compare(QStringLiteral("success"), Qt::CaseInsensitive) == 0;
}

}  // namespace trivo::test
