#include "sim/default_eeprom.h"

#include <gtest/gtest.h>

namespace tornavo::sim {
namespace {

TEST(DefaultEeprom, GuardedFieldsMatchTheirCheckPairs) {
  const EepromBytes bytes = BuildDefaultEeprom();
  struct Guarded {
    int address, count, pair;
  };
  for (const Guarded& g :
       {Guarded{0x002, 3, 0x069}, Guarded{0x007, 2, 0x06D}, Guarded{0x055, 2, 0x079},
        Guarded{0x057, 3, 0x07B}, Guarded{0x05B, 3, 0x07F}, Guarded{0x065, 2, 0x08B}}) {
    uint8_t x = 0;
    for (int i = 0; i < g.count; ++i) x ^= bytes[g.address + i];
    EXPECT_EQ(bytes[g.pair], 0xFF - x) << std::hex << g.address;
    EXPECT_EQ(bytes[g.pair + 1], x) << std::hex << g.address;
  }
  // The worked example: "ESP" is guarded by B9 46.
  EXPECT_EQ(bytes[0x069], 0xB9);
  EXPECT_EQ(bytes[0x06A], 0x46);
}

}  // namespace
}  // namespace tornavo::sim
