#include "core/app/window_layout.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tornavo {
namespace {

TEST(WindowLayoutTest, ResizeLimitsHoldOnlyOnceShown) {
  EXPECT_TRUE(AllowResize(false, 740, 657));
  EXPECT_TRUE(AllowResize(false, 100, 100));
  EXPECT_FALSE(AllowResize(true, 740, 657));
  EXPECT_FALSE(AllowResize(true, 755, 900));
  EXPECT_FALSE(AllowResize(true, 900, 569));
  EXPECT_TRUE(AllowResize(true, 756, 570));
  EXPECT_TRUE(AllowResize(true, 1400, 950));
}

TEST(WindowLayoutTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(27.5), 28);
  EXPECT_EQ(RoundHalfEven(26.5), 26);
  EXPECT_EQ(RoundHalfEven(42.4999), 42);
  EXPECT_EQ(RoundHalfEven(42.5000017), 43);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(3.0), 3);
}

TEST(WindowLayoutTest, HexGridColumns) {
  const auto w = HexGridColumnWidths(566);
  for (int c = 0; c < 16; ++c) EXPECT_EQ(w[c], 30) << c;
  EXPECT_EQ(w[16], 60);
  // The last column takes what the others leave.
  const auto wide = HexGridColumnWidths(1200);
  EXPECT_EQ(std::accumulate(wide.begin(), wide.end(), 0), 1200 - 26);
}

TEST(WindowLayoutTest, ChannelColumnsJustAboveTheHalf) {
  // The quotients for 555 are 27.5000002, 117.500006 and 42.5000017: all round up.
  const std::array<int, 11> expected = {28, 118, 43, 43, 43, 43, 43, 43, 43, 31, 46};
  EXPECT_EQ(ChannelTableColumnWidths(555), expected);
}

TEST(WindowLayoutTest, TransponderColumns) {
  const std::array<int, 11> expected = {25, 56, 49, 49, 49, 49, 49, 49, 45, 49, 55};
  EXPECT_EQ(TransponderTableColumnWidths(555), expected);
  const auto wide = TransponderTableColumnWidths(1000);
  EXPECT_EQ(std::accumulate(wide.begin(), wide.end(), 0), 1000 - 31);
}

}  // namespace
}  // namespace tornavo
