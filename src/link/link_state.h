#pragma once
// What every part of the link shares: the display's identifiers, the time-outs, and the connection state
// with the status line's texts.
#include <QString>

#include <cstdint>

#include "common/language.h"

namespace trivo {

constexpr uint16_t kDisplayVendorId = 0x1234;
constexpr uint16_t kDisplayProductId = 0x0001;
constexpr int kReadTimeoutMs = 6000;
constexpr int kMonitorIntervalMs = 1000;

// Background of the status line Label3: white until the first connection check, then red or green; orange
// from a read time-out until the display is plugged in again or answers an operation.
enum class LinkState { Unknown, Waiting, Connected, NotAnswering };

inline const QString kConnectedText = FR(" - TRIVO_ZURED_CONNECTÉ -");
inline const QString kWaitingText = FR("En attente de connexion. Veuillez connecter le TRIVO_ZURED.");
inline const QString kNotAnsweringText = FR(" - TRIVO_ZURED NE RÉPOND PAS -");

// The status line's text for a state.
QString stateText(LinkState state);

}  // namespace trivo
