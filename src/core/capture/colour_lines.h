#pragma once

#include <cstdint>

namespace tornavo::capture_lines {

// Extra entries the vector paths may read past the width.
inline constexpr int kPadding = 16;

// One line from gathered samples: luma per pixel, chroma per pair of pixels (cb[x / 2]).
// Writes 3 bytes per pixel, red first.
void ColourLinePortable(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int width,
                        uint8_t* out);

// Whether this processor runs the AVX2 path.
bool Avx2Available();

// Two lines that share their chroma (y1 and out1 null when the second is missing), by the
// AVX2 path: the double formulas eight pixels at a time, in the same order of operations and
// with the same rounding, so its results are the formulas' own. A width that is not a
// multiple of eight ends pixel by pixel. Sample buffers carry kPadding spare entries.
void ColourLinePairAvx2(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                        int width, uint8_t* out0, uint8_t* out1);

}  // namespace tornavo::capture_lines
