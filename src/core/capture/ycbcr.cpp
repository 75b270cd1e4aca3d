#include "core/capture/ycbcr.h"

#include <cmath>

namespace tornavo {

namespace {

// Round half to even (the default rounding mode), then limit.
uint8_t RoundAndLimit(double value) {
  const double rounded = std::nearbyint(value);
  if (rounded <= 0.0) return 0;
  if (rounded >= 255.0) return 255;
  return static_cast<uint8_t>(rounded);
}

double BlueValue(int y, int cb) { return 1.164 * (y - 16) + 2.018 * (cb - 128); }
double RedValue(int y, int cr) { return 1.164 * (y - 16) + 1.596 * (cr - 128); }
double GreenValue(int y, int cb, int cr) {
  return 1.164 * (y - 16) - 0.813 * (cr - 128) - 0.391 * (cb - 128);
}

}  // namespace

Rgb YCbCrToRgbExact(int y, int cb, int cr) {
  return {RoundAndLimit(RedValue(y, cr)), RoundAndLimit(GreenValue(y, cb, cr)),
          RoundAndLimit(BlueValue(y, cb))};
}

const YCbCrConverter& YCbCrConverter::Get() {
  static const YCbCrConverter converter;
  return converter;
}

YCbCrConverter::YCbCrConverter() {
  for (int c = 0; c < 256; ++c) {
    for (int y = 0; y < 256; ++y) {
      blue_[c << 8 | y] = RoundAndLimit(BlueValue(y, c));
      red_[c << 8 | y] = RoundAndLimit(RedValue(y, c));
    }
  }
  for (int q = 0; q < kGreenLimitSize; ++q)
    green_limit_[q] = static_cast<uint8_t>(q < 200 ? 0 : q > 455 ? 255 : q - 200);
}

uint8_t YCbCrConverter::ExactGreen(int y, int cb, int cr) {
  return RoundAndLimit(GreenValue(y, cb, cr));
}

}  // namespace tornavo
