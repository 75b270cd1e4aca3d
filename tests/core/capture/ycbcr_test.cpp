#include "core/capture/ycbcr.h"

#include <gtest/gtest.h>

#include <cmath>

#include "reference_capture.h"

namespace tornavo {
namespace {

using testing::ReferenceChannel;

TEST(YCbCrTest, BlackWhiteAndLimits) {
  const YCbCrConverter& fast = YCbCrConverter::Get();
  auto expect_rgb = [&](int y, int cb, int cr, int r, int g, int b) {
    SCOPED_TRACE(::testing::Message() << "Y=" << y << " Cb=" << cb << " Cr=" << cr);
    for (const Rgb rgb : {fast.Convert(y, cb, cr), YCbCrToRgbExact(y, cb, cr)}) {
      EXPECT_EQ(rgb.r, r);
      EXPECT_EQ(rgb.g, g);
      EXPECT_EQ(rgb.b, b);
    }
  };
  expect_rgb(16, 128, 128, 0, 0, 0);
  expect_rgb(235, 128, 128, 255, 255, 255);  // 254.916 rounds up
  expect_rgb(0, 128, 128, 0, 0, 0);          // -18.6 limited
  expect_rgb(255, 128, 128, 255, 255, 255);
  expect_rgb(255, 128, 255, 255, 175, 255);  // R 432.4 limited
  expect_rgb(16, 255, 128, 0, 0, 255);       // B 256.3 limited; G -49.7 limited
  expect_rgb(128, 128, 128, 130, 130, 130);  // 130.368
  expect_rgb(81, 90, 240, 254, 0, 0);        // a saturated red
}

// Values that come out of the double formula as exact halves go to the even neighbour; green
// halves on paper must round the way the double formula does.
TEST(YCbCrTest, HalvesFollowTheDoubleFormula) {
  const YCbCrConverter& fast = YCbCrConverter::Get();
  EXPECT_EQ(fast.Convert(4, 154, 128).b, 38);     // 38.5
  EXPECT_EQ(fast.Convert(24, 194, 128).b, 142);   // 142.5
  EXPECT_EQ(fast.Convert(12, 128, 239).r, 172);   // 172.5
  EXPECT_EQ(fast.Convert(141, 128, 128).b, 146);  // 145.5
  int halves = 0;
  for (int cb = 0; cb < 256; ++cb) {
    for (int cr = 0; cr < 256; ++cr) {
      for (int y = 0; y < 256; ++y) {
        const int thousandths = 1164 * (y - 16) - 813 * (cr - 128) - 391 * (cb - 128);
        if (((thousandths % 1000) + 1000) % 1000 != 500) continue;
        ++halves;
        const double g = 1.164 * (y - 16) - 0.813 * (cr - 128) - 0.391 * (cb - 128);
        ASSERT_EQ(fast.Convert(y, cb, cr).g, ReferenceChannel(g))
            << "Y=" << y << " Cb=" << cb << " Cr=" << cr;
      }
    }
  }
  EXPECT_GT(halves, 1000);
}

TEST(YCbCrTest, FastPathMatchesTheFormulasForEveryInput) {
  const YCbCrConverter& fast = YCbCrConverter::Get();
  for (int cb = 0; cb < 256; ++cb) {
    for (int cr = 0; cr < 256; ++cr) {
      for (int y = 0; y < 256; ++y) {
        const Rgb got = fast.Convert(y, cb, cr);
        const int r = ReferenceChannel(1.164 * (y - 16) + 1.596 * (cr - 128));
        const int g = ReferenceChannel(1.164 * (y - 16) - 0.813 * (cr - 128) - 0.391 * (cb - 128));
        const int b = ReferenceChannel(1.164 * (y - 16) + 2.018 * (cb - 128));
        if (got.r != r || got.g != g || got.b != b) {
          FAIL() << "Y=" << y << " Cb=" << cb << " Cr=" << cr << ": got " << int{got.r} << ","
                 << int{got.g} << "," << int{got.b} << " want " << r << "," << g << "," << b;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tornavo
