#include "core/capture/frame_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tornavo {
namespace {

// Every sample of a frame has its own byte: luma below the chroma start, chroma within the
// tiles the frame needs (at 720 columns, the capture's 622 592 bytes).
TEST(FrameLayoutTest, EverySampleHasItsOwnByteForEachWidth) {
  for (int width : {352, 528, 544, 704, 720}) {
    SCOPED_TRACE(width);
    std::vector<uint8_t> uses(kFullFrameBytes + 2048, 0);
    int64_t luma_end = 0, chroma_end = 0;
    for (int y = 0; y < 576; ++y) {
      for (int x = 0; x < width; ++x) {
        ++uses.at(LumaOffset(width, x, y));
        luma_end = std::max(luma_end, LumaOffset(width, x, y) + 1);
      }
    }
    for (int yc = 0; yc < 288; ++yc) {
      for (int xc = 0; xc < width / 2; ++xc) {
        ASSERT_GE(CbOffset(width, xc, yc), kChromaStart);
        ++uses.at(CbOffset(width, xc, yc));
        ++uses.at(CrOffset(width, xc, yc));
        chroma_end = std::max(chroma_end, CrOffset(width, xc, yc) + 1);
      }
    }
    EXPECT_EQ(std::count(uses.begin(), uses.end(), 1), int64_t{width} * (576 + 288));
    EXPECT_LE(luma_end, kChromaStart);
    EXPECT_LT(chroma_end, kChromaStart + int64_t{width} * 288 + 1024);
    if (width == 720) {
      EXPECT_LE(chroma_end, kFullFrameBytes);
      EXPECT_GT(chroma_end, kFullFrameBytes - 1024);
    }
  }
}

}  // namespace
}  // namespace tornavo
