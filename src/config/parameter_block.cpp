#include "config/parameter_block.h"

namespace trivo {

int32_t& DeviceSettings::word(int n)
{
    switch (n) {
    case 1: return counter_start;
    case 2: return totaliser_start;
    case 3: return counter_end;
    case 4: return totaliser_end;
    case 5: return counter_production;
    case 6: return totaliser_production;
    case 7: return relay1_threshold;
    case 8: return relay2_threshold;
    case 9: return buzzer_threshold;
    case 10: return counter_step;
    case 11: return counter_preset;
    default: return totaliser_preset;
    }
}

uint8_t& DeviceSettings::settingByte(int k)
{
    switch (k) {
    case 0: return general_flags;
    case 1: return param_screen_seconds;
    case 2: return home_screen_seconds;
    case 3: return relay1_pulse_seconds;
    case 4: return relay2_pulse_seconds;
    case 5: return buzzer_pulse_seconds;
    case 6: return decimal_point;
    case 7: return startup_options;
    case 8: return relay1_rule;
    case 9: return relay2_rule;
    case 10: return buzzer_rule;
    case 11: return debounce_half_ms;
    case 12: return production_display_seconds;
    case 13: return balance_display_seconds;
    case 14: return display_flags;
    default: return total_display_seconds;
    }
}

bool hasValidSignature(const ParameterBlock& block)
{
    return block[0] == kBlockSignature[0] && block[1] == kBlockSignature[1] && block[2] == kBlockSignature[2]
        && (block[3] == kModeProduction || block[3] == kModeTotaliser);
}

int32_t blockWord(const ParameterBlock& block, int n)
{
    const std::size_t at = static_cast<std::size_t>(4 * n);
    const uint32_t u = (uint32_t(block[at]) << 24) | (uint32_t(block[at + 1]) << 16) | (uint32_t(block[at + 2]) << 8)
        | uint32_t(block[at + 3]);
    return static_cast<int32_t>(u);
}

void setBlockWord(ParameterBlock& block, int n, uint32_t value)
{
    const std::size_t at = static_cast<std::size_t>(4 * n);
    block[at] = uint8_t(value >> 24);
    block[at + 1] = uint8_t(value >> 16);
    block[at + 2] = uint8_t(value >> 8);
    block[at + 3] = uint8_t(value);
}

DeviceSettings decodeBlock(const ParameterBlock& block)
{
    DeviceSettings s;
    s.operating_mode = block[3];
    for (int n = 1; n <= kWordCount; ++n)
        s.word(n) = blockWord(block, n);
    for (int k = 0; k < kSettingByteCount; ++k)
        s.settingByte(k) = block[static_cast<std::size_t>(kFirstSettingOffset + k)];
    return s;
}

ParameterBlock encodeBlock(const DeviceSettings& settings)
{
    ParameterBlock block{};
    block[0] = kBlockSignature[0];
    block[1] = kBlockSignature[1];
    block[2] = kBlockSignature[2];
    block[3] = settings.operating_mode;
    for (int n = 1; n <= kWordCount; ++n)
        setBlockWord(block, n, static_cast<uint32_t>(settings.word(n)));
    for (int k = 0; k < kSettingByteCount; ++k)
        block[static_cast<std::size_t>(kFirstSettingOffset + k)] = settings.settingByte(k);
    return block;
}

}  // namespace trivo
