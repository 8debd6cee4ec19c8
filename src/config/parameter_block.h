#pragma once
// The display's 68-byte parameter block and the settings record that mirrors it. Multi-byte values are
// big-endian; words are signed 32-bit two's complement.
#include <array>
#include <cstdint>

namespace trivo {

constexpr int kParameterBlockSize = 68;
using ParameterBlock = std::array<uint8_t, kParameterBlockSize>;

constexpr std::array<uint8_t, 3> kBlockSignature{0x42, 0x43, 0x49};
constexpr uint8_t kModeProduction = 0x50;  // 'P'
constexpr uint8_t kModeTotaliser = 0x54;   // 'T'
constexpr int kWordCount = 12;             // words 1..12; word 0 is signature + mode
constexpr int kFirstSettingOffset = 0x34;  // byte index k = offset - 0x34
constexpr int kSettingByteCount = 16;

// Bits of the output-rule bytes.
enum RuleBit : uint8_t {
    kRuleCounter = 0x01,
    kRuleTotaliser = 0x02,
    kRuleOpens = 0x04,
    kRuleCloses = 0x08,
    kRuleUntilReset = 0x10,
    kRulePulse = 0x20,
    kRuleGreaterOrEqual = 0x40,
    kRuleRearm = 0x80,
};

struct DeviceSettings {
    uint8_t operating_mode = kModeProduction;

    int32_t counter_start = 0;
    int32_t totaliser_start = 0;
    int32_t counter_end = 0;
    int32_t totaliser_end = 0;
    int32_t counter_production = 0;
    int32_t totaliser_production = 0;
    int32_t relay1_threshold = 0;
    int32_t relay2_threshold = 0;
    int32_t buzzer_threshold = 0;
    int32_t counter_step = 0;
    int32_t counter_preset = 0;
    int32_t totaliser_preset = 0;

    uint8_t general_flags = 0;
    uint8_t param_screen_seconds = 0;
    uint8_t home_screen_seconds = 0;
    uint8_t relay1_pulse_seconds = 0;
    uint8_t relay2_pulse_seconds = 0;
    uint8_t buzzer_pulse_seconds = 0;
    uint8_t decimal_point = 0;
    uint8_t startup_options = 0;
    uint8_t relay1_rule = 0;
    uint8_t relay2_rule = 0;
    uint8_t buzzer_rule = 0;
    uint8_t debounce_half_ms = 0;
    uint8_t production_display_seconds = 0;
    uint8_t balance_display_seconds = 0;
    uint8_t display_flags = 0;
    uint8_t total_display_seconds = 0;

    // Word n (1..12) in block order.
    int32_t& word(int n);
    int32_t word(int n) const { return const_cast<DeviceSettings*>(this)->word(n); }
    // Setting byte k (0..15), offset 0x34 + k.
    uint8_t& settingByte(int k);
    uint8_t settingByte(int k) const { return const_cast<DeviceSettings*>(this)->settingByte(k); }

    // general_flags bits.
    bool lcd_background_white() const { return general_flags & 0x01; }
    bool relay1_enabled() const { return general_flags & 0x02; }
    bool relay2_enabled() const { return general_flags & 0x04; }
    bool buzzer_enabled() const { return general_flags & 0x08; }
    bool input_polarity() const { return general_flags & 0x10; }
    bool end_overrun_forbidden() const { return general_flags & 0x20; }
    bool start_overrun_forbidden() const { return general_flags & 0x40; }
    // display_flags bits.
    bool show_production() const { return display_flags & 0x01; }
    bool show_balance() const { return display_flags & 0x02; }
    bool show_total() const { return display_flags & 0x04; }

    bool operator==(const DeviceSettings&) const = default;
};

// Signature 42 43 49 followed by 50 or 54.
bool hasValidSignature(const ParameterBlock& block);
int32_t blockWord(const ParameterBlock& block, int n);            // n 0..12
void setBlockWord(ParameterBlock& block, int n, uint32_t value);  // n 0..12

// The settings of a block (signature not checked) and the block of settings (signature written).
DeviceSettings decodeBlock(const ParameterBlock& block);
ParameterBlock encodeBlock(const DeviceSettings& settings);

}  // namespace trivo
