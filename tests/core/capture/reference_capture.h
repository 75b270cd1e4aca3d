#pragma once

// A deliberately plain conversion, written straight from the frame format's description,
// for checking the fast converter against.

#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace tornavo::testing {

inline int ReferenceChannel(double value) {
  return static_cast<int>(std::clamp(std::nearbyint(value), 0.0, 255.0));
}

// Where the luma of pixel (x, y) and the Cb of its 2 × 2 block lie; Cr is 4 bytes after Cb.
inline int64_t ReferenceLumaOffset(int w, int x, int y) {
  const int64_t r = int64_t{w} * (y / 32) + x;
  return 1024 * (r / 32) + 32 * (y % 32) + r % 32;
}
inline int64_t ReferenceCbOffset(int w, int x, int y) {
  const int64_t c = int64_t{w / 2} * (y / 2 / 16) + x / 2;
  const int xi = static_cast<int>(c % 32), yi = y / 2 % 16;
  const int line = 16 * (yi / 8) + 8 * (xi / 16) + yi % 8;
  return 414720 + 1024 * (c / 32) + 32 * line + 8 * ((xi % 16) / 4) + xi % 4;
}

inline QImage ReferenceConversion(const QByteArray& bytes, int w, int h) {
  const int64_t n = std::min<int64_t>(bytes.size(), 640000);
  auto at = [&](int64_t offset, int missing) {
    return offset < n ? static_cast<uint8_t>(bytes.constData()[offset]) : missing;
  };
  QImage picture(w, h, QImage::Format_RGB888);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int luma = at(ReferenceLumaOffset(w, x, y), 16);
      const int cb = at(ReferenceCbOffset(w, x, y), 128);
      const int cr = at(ReferenceCbOffset(w, x, y) + 4, 128);
      uint8_t* out = picture.scanLine(y) + 3 * x;
      out[0] = ReferenceChannel(1.164 * (luma - 16) + 1.596 * (cr - 128));
      out[1] = ReferenceChannel(1.164 * (luma - 16) - 0.813 * (cr - 128) - 0.391 * (cb - 128));
      out[2] = ReferenceChannel(1.164 * (luma - 16) + 2.018 * (cb - 128));
    }
  }
  return picture;
}

// A frame of the given size: luma `y` throughout the luma area, `chroma` beyond it.
inline QByteArray UniformFrame(int y, int chroma, int size = 622592) {
  QByteArray frame(size, static_cast<char>(chroma));
  std::fill_n(frame.data(), std::min(size, 414720), static_cast<char>(y));
  return frame;
}

// Eight vertical colour bars (white, yellow, cyan, green, magenta, red, blue, black) as
// the decoder would hold them, 622 592 bytes.
inline QByteArray BarsFrame(int w) {
  struct Sample {
    int y, cb, cr;
  };
  const Sample bars[] = {{235, 128, 128}, {210, 16, 146}, {170, 166, 16}, {145, 54, 34},
                         {106, 202, 222}, {81, 90, 240},  {41, 240, 110}, {16, 128, 128}};
  QByteArray frame(622592, '\0');
  char* data = frame.data();
  for (int y = 0; y < 576; ++y) {
    for (int x = 0; x < w; ++x) {
      const Sample& s = bars[x * 8 / w];
      data[ReferenceLumaOffset(w, x, y)] = static_cast<char>(s.y);
      if (x % 2 || y % 2) continue;  // one chroma pair per 2 × 2 block
      data[ReferenceCbOffset(w, x, y)] = static_cast<char>(s.cb);
      data[ReferenceCbOffset(w, x, y) + 4] = static_cast<char>(s.cr);
    }
  }
  return frame;
}

inline QByteArray RandomBytes(int size, unsigned seed) {
  std::mt19937 random(seed);
  QByteArray bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
  return bytes;
}

}  // namespace tornavo::testing
