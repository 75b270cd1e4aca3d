#pragma once

#include <cstdint>
#include <vector>

namespace tornavo::capture_lines {

// The chroma terms of the colour formulas for one pair of lines, one entry per pixel:
// 1.596 (Cr - 128), 2.018 (Cb - 128), 0.813 (Cr - 128) and 0.391 (Cb - 128), in double.
struct ChromaTerms {
  std::vector<double> red;
  std::vector<double> blue;
  std::vector<double> green_cr;
  std::vector<double> green_cb;
};

// Extra entries the vector paths may read past the width.
inline constexpr int kPadding = 16;

// One line from gathered samples: luma per pixel, chroma per pair of pixels (cb[x / 2]).
// Writes 3 bytes per pixel, red first.
void ColourLinePortable(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int width,
                        uint8_t* out);

// Whether this processor runs the AVX2 path.
bool Avx2Available();

// The AVX2 path evaluates the double formulas eight pixels at a time, in the same order of
// operations and with the same rounding, so its results are the formulas' own. The terms
// are kept in the path's own order within each block of eight pixels; a width that is not
// a multiple of eight ends with pixels done one by one from cb and cr. Buffers carry
// kPadding spare entries.
void ChromaTermsAvx2(const uint8_t* cb, const uint8_t* cr, int width, ChromaTerms* terms);
void ColourLineAvx2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr,
                    const ChromaTerms& terms, int width, uint8_t* out);

}  // namespace tornavo::capture_lines
