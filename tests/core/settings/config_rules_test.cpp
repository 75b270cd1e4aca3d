#include "core/settings/config_rules.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tornavo {
namespace {

TEST(ConfigRulesTest, PositionsAddressesLnbAndSatelliteNames) {
  EXPECT_EQ(SeparatePosition(5, 5), 4);
  EXPECT_EQ(SeparatePosition(0, 0), 1);
  EXPECT_EQ(SeparatePosition(7, 3), 7);
  EXPECT_EQ(FilterAddressText("c0zz31", "40010000"), "C031");
  EXPECT_EQ(FilterAddressText("", "60000000"), "60000000");
  EXPECT_EQ(RoundTrapAddress("1"), "00000000");
  EXPECT_EQ(RoundTrapAddress("c0302903"), "C0302900");
  EXPECT_EQ(RoundTrapAddress(""), "00000000");
  EXPECT_EQ(FilterLnbText("1a06", "10600"), "106");
  EXPECT_EQ(FilterLnbText("x", "9750"), "9750");
  EXPECT_EQ(FilterLnbText("1234567", "9750"), "12345");
  for (auto [a, b, want_a, want_b] :
       {std::tuple{"Astra", "Astra", "A", "B"}, std::tuple{"", "Hispasat", "A", "Hispasat"}}) {
    QString first = a, second = b;
    FixSatelliteNames(&first, &second);
    EXPECT_EQ(first + "|" + second, QString(want_a) + "|" + want_b);
  }
}

}  // namespace
}  // namespace tornavo
