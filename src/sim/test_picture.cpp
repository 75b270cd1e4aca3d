#include "sim/test_picture.h"

#include <cstdint>

#include "core/capture/frame_layout.h"

namespace tornavo::sim {

namespace {

struct Bar {
  uint8_t y, cb, cr;
};
constexpr Bar kBars[8] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
                          {84, 184, 198},  {65, 100, 212}, {35, 212, 114}, {16, 128, 128}};
constexpr int kWidth = 720;
constexpr int kHeight = 576;

}  // namespace

QByteArray BuildTestPicture() {
  QByteArray frame(kFullFrameBytes, '\0');
  auto* bytes = reinterpret_cast<uint8_t*>(frame.data());
  const int bar_width = kWidth / 8;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) bytes[LumaOffset(kWidth, x, y)] = kBars[x / bar_width].y;
  for (int yc = 0; yc < kHeight / 2; ++yc) {
    for (int xc = 0; xc < kWidth / 2; ++xc) {
      const Bar& bar = kBars[(2 * xc) / bar_width];
      bytes[CbOffset(kWidth, xc, yc)] = bar.cb;
      bytes[CrOffset(kWidth, xc, yc)] = bar.cr;
    }
  }
  return frame;
}

}  // namespace tornavo::sim
