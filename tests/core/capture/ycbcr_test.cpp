#include "core/capture/ycbcr.h"

#include <gtest/gtest.h>

#include "reference_capture.h"

namespace tornavo {
namespace {

using testing::ReferenceChannel;

// Anchors for the formulas below: limits, and an exact half going to the even neighbour.
TEST(YCbCrTest, BlackWhiteLimitsAndHalves) {
  const YCbCrConverter& fast = YCbCrConverter::Get();
  auto rgb = [&](int y, int cb, int cr) {
    const Rgb v = fast.Convert(y, cb, cr);
    return qRgb(v.r, v.g, v.b);
  };
  EXPECT_EQ(rgb(235, 128, 128), qRgb(255, 255, 255));  // 254.916 rounds up
  EXPECT_EQ(rgb(16, 255, 128), qRgb(0, 0, 255));       // B 256.3 and G -49.7 limited
  EXPECT_EQ(fast.Convert(4, 154, 128).b, 38);          // 38.5
}

// Green takes a shortcut in integer thousandths; every input, halves on paper included,
// must still give what the double formulas give.
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
