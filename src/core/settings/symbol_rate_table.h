#pragma once

#include <array>
#include <cstdint>

namespace tornavo {

// The 16 symbol rates of the selected symbol-rate file; the EEPROM's satellite records and
// the transponder table hold indexes into it. All zeros until a file is loaded.
using SymbolRateTable = std::array<int32_t, 16>;

}  // namespace tornavo
