#pragma once
// Decoding of the display's special-register block (clock, radio synchronisation, temperature, radio
// level, LED and push-button states) from the report buffer's texts, without any widget.
#include <array>
#include <cstdint>

#include <QString>

namespace trivo::registers {

// The report buffer's data fields 0..63 as they stand after the read.
using BufferTexts = std::array<QString, 64>;

// Reply bytes of the register block that the window uses.
enum RegisterByte : int {
    kSeconds = 0,
    kMinutes = 1,
    kHours = 2,
    kDayOfWeek = 3,
    kDay = 4,
    kMonth = 5,
    kYear = 6,
    kSyncMinutes = 8,
    kSyncHours = 9,
    kSyncDayOfWeek = 10,
    kSyncDay = 11,
    kSyncMonth = 12,
    kSyncYear = 13,
    kLeds = 36,
    kButtons = 37,
    kLevel = 38,
    kTemperatureLow = 39,
    kTemperatureHigh = 40,
};

constexpr int kLevelBars = 8;  // Picture1(0..7); Picture1(8) is the icon
constexpr int kMaxLevel = 7;

// What one read cycle shows.
struct RegisterReadout {
    QString heureTrivo;
    QString dateTrivo;
    QString heureDcf;
    QString dateDcf;
    // The two date lines with the day's name in the program's language, for the window.
    QString shownDateTrivo;
    QString shownDateDcf;
    QString temperature;
    QString niveau;

    int16_t temperatureSixteenths = 0;
    uint8_t ledByte = 0;
    uint8_t buttonByte = 0;
    uint8_t levelByte = 0;

    // Coloured indicators: push buttons (0 = pressed) and LEDs (1 = lit).
    bool r1 = false, v1 = false, b1 = false;
    bool r2 = false, v2 = false, b2 = false;

    std::array<bool, kLevelBars> bars{};
    bool icon = false;
};

// The blank that a cleared label holds.
inline const QString kBlank = QStringLiteral(" ");

// "Lundi " .. "Dimanche " for "01".."07" (compared as text); empty for anything else. In French, as a
// backup's file keeps it; T() gives the day as shown.
QString dayName(const QString& dayText);

// A buffer field as an unsigned byte: one or two hex digits, either case, empty = 0. A text that is not
// such a number counts as 0 rather than stopping the cycle.
uint8_t byteValue(const QString& text);

// Raw temperature: the high and low fields' texts joined into one hex number, taken as signed 16 bits.
int16_t temperatureRaw(const QString& highText, const QString& lowText);
// 1/16 degree units in tenths of a degree, rounded half away from zero.
int temperatureTenths(int16_t sixteenths);
// 1/16 degree units with the pattern "00.0", sign in front, rounded half away from zero, then " °C".
QString temperatureText(int16_t sixteenths);

// "0 / 7" .. "7 / 7", or "_ / 7" when the byte holds no valid level.
QString levelText(uint8_t level);

// The full decoding of one reply.
RegisterReadout decode(const BufferTexts& texts);

}  // namespace trivo::registers
