#pragma once
// The display's 68-byte parameter block.
#include <array>
#include <cstdint>

namespace trivo {
constexpr int kParameterBlockSize = 68;
using ParameterBlock = std::array<uint8_t, kParameterBlockSize>;
}  // namespace trivo
