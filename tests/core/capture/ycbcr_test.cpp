#include "core/capture/ycbcr.h"

#include <gtest/gtest.h>

#include "reference_capture.h"

namespace tornavo {
namespace {

using testing::ReferenceChannel;

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
