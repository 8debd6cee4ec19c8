#pragma once
// The remote keys of the registers window: each LED key and the buzzer key drive one output of the
// display while the mouse button is held on it.
#include <array>
#include <cstdint>

#include "common/language.h"
#include "common/outcome.h"

namespace trivo {
class Exchanger;

namespace registers {

enum class RemoteKey { RedLed, GreenLed, BlueLed, Buzzer };

struct RemoteKeyInfo {
    RemoteKey key;
    const char* grey;      // objectName of the key picture
    const char* coloured;  // objectName of the picture shown while held
    uint8_t pressSwitch, pressBit;
    uint8_t releaseSwitch, releaseBit;
};

// The buzzer's switch byte runs the other way round from the LEDs'.
inline constexpr std::array<RemoteKeyInfo, 4> kRemoteKeys{{
    {RemoteKey::RedLed, "G4", "R2", 0x01, 0x80, 0x00, 0x00},
    {RemoteKey::GreenLed, "G5", "V2", 0x01, 0x20, 0x00, 0x00},
    {RemoteKey::BlueLed, "G6", "B2", 0x01, 0x08, 0x00, 0x00},
    {RemoteKey::Buzzer, "G7", "B7", 0x00, 0x02, 0x01, 0x00},
}};

const RemoteKeyInfo& keyInfo(RemoteKey key);

inline const QString kKeyLostText = FR("La commande n'a pas été reçue par le TRIVO ZURED.");

// Puts the key's output-drive request into the report buffer (all 64 bytes zeroed first) and writes it.
// The reply is not used; LinkLost when the link did not deliver it.
OperationResult sendKey(Exchanger& link, RemoteKey key, bool pressed);

}  // namespace registers
}  // namespace trivo
