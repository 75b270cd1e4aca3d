#pragma once

#include <cstdint>

namespace tornavo {

// The decoder's tiled frame memory: 1024-byte tiles of 32 lines × 32 bytes, luma from the
// start, chroma (Cb and Cr sharing tiles) from a fixed offset.
inline constexpr int kTileBytes = 1024;
inline constexpr int kTileSide = 32;
// Chroma always starts after the luma of a 720 × 576 frame, whatever the width in use.
inline constexpr int kChromaStart = 720 * 576;
// A whole 720 × 576 frame: 608 tiles, the last one half used.
inline constexpr int kFullFrameBytes = 622592;
// Bytes beyond this many are never read.
inline constexpr int kMaxCaptureBytes = 640000;
// Cr follows Cb in groups of four within a tile line.
inline constexpr int kCrAfterCb = 4;

// Offset of the luma sample of pixel (x, y) in a frame `width` pixels wide. The columns of
// all 32-line bands form one running count, so a tile can hold the end of one band and the
// start of the next.
constexpr int64_t LumaOffset(int width, int x, int y) {
  const int64_t r = int64_t{width} * (y / kTileSide) + x;
  return kTileBytes * (r / kTileSide) + kTileSide * (y % kTileSide) + r % kTileSide;
}

// Offset of the Cb sample of chroma column xc, chroma line yc (half resolution both ways);
// Cr is kCrAfterCb bytes further on.
constexpr int64_t CbOffset(int width, int xc, int yc) {
  const int64_t c = int64_t{width / 2} * (yc / 16) + xc;
  const int xi = static_cast<int>(c % kTileSide);
  const int yi = yc % 16;
  const int line = 16 * (yi / 8) + 8 * (xi / 16) + yi % 8;
  const int byte = 8 * ((xi % 16) / 4) + xi % 4;
  return kChromaStart + kTileBytes * (c / kTileSide) + kTileSide * line + byte;
}

constexpr int64_t CrOffset(int width, int xc, int yc) {
  return CbOffset(width, xc, yc) + kCrAfterCb;
}

}  // namespace tornavo
