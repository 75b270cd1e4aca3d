#include "core/settings/config_rules.h"

#include <gtest/gtest.h>

namespace tornavo {
namespace {

// What typing on the configuration page does not reach: trap addresses too short to read or
// with letters, LNB values past their length, emptied satellite names.
TEST(ConfigRulesTest, AddressesLnbAndSatelliteNamesTheControlsCannotGive) {
  EXPECT_EQ(RoundTrapAddress("1"), "00000000");
  EXPECT_EQ(RoundTrapAddress(""), "00000000");
  EXPECT_EQ(RoundTrapAddress("c0302903"), "C0302900");
  EXPECT_EQ(FilterLnbText("1234567", "9750"), "12345");
  QString first, second = "Hispasat";
  FixSatelliteNames(&first, &second);
  EXPECT_EQ(first + "|" + second, "A|Hispasat");
}

}  // namespace
}  // namespace tornavo
