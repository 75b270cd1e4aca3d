#pragma once

#include <array>
#include <cstdint>

namespace tornavo::sim {

inline constexpr int kEepromSize = 2048;
using EepromBytes = std::array<uint8_t, kEepromSize>;

}  // namespace tornavo::sim
