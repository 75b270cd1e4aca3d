#include "core/capture/colour_lines.h"

#include <gtest/gtest.h>

#include "core/capture/ycbcr.h"

namespace tornavo {
namespace {

using capture_lines::kPadding;

// Every (Y, Cb, Cr): a line of 512 pixels holds one Cb, all 256 Cr (one per pixel pair) and
// two of the luma values; 64 pairs of lines per Cb cover all luma values. Both block widths.
TEST(ColourLinesTest, VectorPathGivesTheFormulasResultForEveryInput) {
  if (!capture_lines::Avx2Available()) GTEST_SKIP() << "no AVX2 on this processor";
  constexpr int kWidth = 512;
  std::vector<uint8_t> luma0(kWidth + kPadding), luma1(kWidth + kPadding),
      cb(kWidth / 2 + kPadding), cr(kWidth / 2 + kPadding), out0(kWidth * 3), out1(kWidth * 3);
  for (int j = 0; j < kWidth / 2; ++j) cr[j] = static_cast<uint8_t>(j);
  auto check = [&](const std::vector<uint8_t>& luma, const std::vector<uint8_t>& out) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb want = YCbCrToRgbExact(luma[x], cb[x / 2], cr[x / 2]);
      const uint8_t* got = &out[3 * x];
      if (got[0] != want.r || got[1] != want.g || got[2] != want.b) {
        ADD_FAILURE() << "Y=" << int{luma[x]} << " Cb=" << int{cb[x / 2]}
                      << " Cr=" << int{cr[x / 2]} << ": got " << int{got[0]} << "," << int{got[1]}
                      << "," << int{got[2]};
        return false;
      }
    }
    return true;
  };

  for (int blue_difference = 0; blue_difference < 256; ++blue_difference) {
    std::fill_n(cb.begin(), kWidth / 2, static_cast<uint8_t>(blue_difference));
    for (int pair = 0; pair < 64; ++pair) {
      for (int x = 0; x < kWidth; ++x) {
        luma0[x] = static_cast<uint8_t>(4 * pair + x % 2);
        luma1[x] = static_cast<uint8_t>(4 * pair + 2 + x % 2);
      }
      capture_lines::ColourLinePairAvx2(luma0.data(), luma1.data(), cb.data(), cr.data(), kWidth,
                                        out0.data(), out1.data());
      if (!check(luma0, out0) || !check(luma1, out1)) return;
      // Lines of 16 pixels take the narrower blocks.
      std::fill(out0.begin(), out0.end(), 0xAA);
      std::fill(out1.begin(), out1.end(), 0xAA);
      for (int x = 0; x < kWidth; x += 16) {
        capture_lines::ColourLinePairAvx2(&luma0[x], &luma1[x], &cb[x / 2], &cr[x / 2], 16,
                                          &out0[3 * x], &out1[3 * x]);
      }
      if (!check(luma0, out0) || !check(luma1, out1)) return;
    }
  }

  // A last line without its partner.
  std::fill(out1.begin(), out1.end(), 0xAA);
  capture_lines::ColourLinePairAvx2(luma0.data(), nullptr, cb.data(), cr.data(), kWidth,
                                    out0.data(), nullptr);
  check(luma0, out0);
}

// Every pixel an exact half (green 16.5 at Y = 19, Cb = 128, Cr = 112, which the formula
// rounds down): far more blocks to patch than
// one line pair keeps aside at a time, on a line wider than any frame, ending in a block of 16
// pixels and a few pixels by themselves.
TEST(ColourLinesTest, LinesOfHalvesAreAllPatched) {
  if (!capture_lines::Avx2Available()) GTEST_SKIP() << "no AVX2 on this processor";
  constexpr int kWidth = 2072;
  const std::vector<uint8_t> luma(kWidth + kPadding, 19), cb(kWidth / 2 + kPadding, 128),
      cr(kWidth / 2 + kPadding, 112);
  std::vector<uint8_t> out0(kWidth * 3), out1(kWidth * 3);
  capture_lines::ColourLinePairAvx2(luma.data(), luma.data(), cb.data(), cr.data(), kWidth,
                                    out0.data(), out1.data());
  const Rgb want = YCbCrToRgbExact(19, 128, 112);
  ASSERT_EQ(want.g, 16);
  for (const std::vector<uint8_t>* out : {&out0, &out1}) {
    for (int x = 0; x < kWidth; ++x) {
      const uint8_t* got = &(*out)[3 * x];
      ASSERT_TRUE(got[0] == want.r && got[1] == want.g && got[2] == want.b)
          << "x=" << x << ": got " << int{got[0]} << "," << int{got[1]} << "," << int{got[2]};
    }
  }
}

}  // namespace
}  // namespace tornavo
