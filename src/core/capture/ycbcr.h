#pragma once

#include <array>
#include <cstdint>

namespace tornavo {

struct Rgb {
  uint8_t r;
  uint8_t g;
  uint8_t b;
};

// BT.601 studio-range YCbCr to RGB, evaluated in double, each value rounded to the nearest
// integer (a half to the even neighbour) and limited to 0...255. The formulas:
//   B = 1.164 (Y - 16) + 2.018 (Cb - 128)
//   G = 1.164 (Y - 16) - 0.813 (Cr - 128) - 0.391 (Cb - 128)
//   R = 1.164 (Y - 16) + 1.596 (Cr - 128)
Rgb YCbCrToRgbExact(int y, int cb, int cr);

// The same results, fast: blue and red come from tables filled with the exact formulas;
// green from integer arithmetic in thousandths, which rounds the same way as the double
// formula except at exact halves, where the double formula is evaluated instead.
class YCbCrConverter {
 public:
  // The one set of tables, built on first use and never changed afterwards.
  static const YCbCrConverter& Get();

  Rgb Convert(int y, int cb, int cr) const {
    const int n = kGreenBias + 1164 * (y - 16) - 813 * (cr - 128) - 391 * (cb - 128);
    const unsigned q = static_cast<unsigned>(n) / 1000u;
    const uint8_t g =
        static_cast<unsigned>(n) - q * 1000u == 0u ? ExactGreen(y, cb, cr) : green_limit_[q];
    return {red_[cr << 8 | y], g, blue_[cb << 8 | y]};
  }

 private:
  // 500 rounds to nearest; 200 000 keeps the sum positive over all inputs.
  static constexpr int kGreenBias = 500 + 200 * 1000;
  static constexpr int kGreenLimitSize = 640;

  YCbCrConverter();
  static uint8_t ExactGreen(int y, int cb, int cr);

  std::array<uint8_t, 65536> blue_;                   // [cb << 8 | y]
  std::array<uint8_t, 65536> red_;                    // [cr << 8 | y]
  std::array<uint8_t, kGreenLimitSize> green_limit_;  // quotient - 200, limited
};

}  // namespace tornavo
