#pragma once

#include <cstdint>

namespace tornavo::capture_lines {

// Extra entries the vector paths may read past the width.
inline constexpr int kPadding = 16;

// One line from gathered samples: luma per pixel, chroma per pair of pixels (cb[x / 2]).
// Writes 3 bytes per pixel, red first.
void ColourLinePortable(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int width,
                        uint8_t* out);

// A stretch of a picture line whose luma lies side by side in one tile, at `offset` from
// the line's start in the frame.
struct LumaRun {
  int x;
  int length;
  int64_t offset;
};

// Whether this processor runs the AVX2 path.
bool Avx2Available();

// Two lines that share their chroma (y1 and out1 null when the second is missing), by the
// AVX2 path: exact integer arithmetic 32 pixels at a time (16 for a shorter stretch), with
// the rare exact halves rounded the formulas' way, so its results are the formulas' own. A
// width that is not a multiple of 16 ends pixel by pixel; no sample beyond the width is read.
void ColourLinePairAvx2(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                        int width, uint8_t* out0, uint8_t* out1);

// ColourLinePairAvx2 with the luma read in place: each run's samples start at line0 (line1)
// plus its offset. Runs start at even columns.
void ColourRunPairAvx2(const uint8_t* line0, const uint8_t* line1, const LumaRun* runs,
                       int run_count, const uint8_t* cb, const uint8_t* cr, uint8_t* out0,
                       uint8_t* out1);

}  // namespace tornavo::capture_lines
