#include "core/settings/config_rules.h"

#include <gtest/gtest.h>

namespace tornavo {
namespace {

TEST(ConfigRulesTest, PositionsNeverMeet) {
  EXPECT_EQ(SeparatePosition(5, 5), 4);
  EXPECT_EQ(SeparatePosition(0, 0), 1);
  EXPECT_EQ(SeparatePosition(7, 3), 7);
}

TEST(ConfigRulesTest, AddressTexts) {
  EXPECT_EQ(FilterAddressText("4g0z", "40010000"), "40");
  EXPECT_EQ(FilterAddressText("c0zz31", "40010000"), "C031");
  EXPECT_EQ(FilterAddressText("", "60000000"), "60000000");
  EXPECT_EQ(RoundTrapAddress("1"), "00000000");
  EXPECT_EQ(RoundTrapAddress("4001000B"), "40010008");
  EXPECT_EQ(RoundTrapAddress("c0302903"), "C0302900");
  EXPECT_EQ(RoundTrapAddress(""), "00000000");
}

TEST(ConfigRulesTest, LnbAndSatelliteNames) {
  EXPECT_EQ(FilterLnbText("1a06", "10600"), "106");
  EXPECT_EQ(FilterLnbText("", "10600"), "10600");
  EXPECT_EQ(FilterLnbText("x", "9750"), "9750");
  EXPECT_EQ(FilterLnbText("1234567", "9750"), "12345");
  QString a = "Astra", b = "Astra";
  FixSatelliteNames(&a, &b);
  EXPECT_EQ(a, "A");
  EXPECT_EQ(b, "B");
  a = "";
  b = "Hispasat";
  FixSatelliteNames(&a, &b);
  EXPECT_EQ(a, "A");
  EXPECT_EQ(b, "Hispasat");
}

}  // namespace
}  // namespace tornavo
