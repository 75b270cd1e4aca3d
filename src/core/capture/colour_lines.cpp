#include "core/capture/colour_lines.h"

#include <cmath>
#include <cstring>

#include "core/capture/ycbcr.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TORNAVO_CAPTURE_AVX2 1
#include <immintrin.h>
#endif

namespace tornavo::capture_lines {

void ColourLinePortable(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int width,
                        uint8_t* out) {
  const YCbCrConverter& converter = YCbCrConverter::Get();
  for (int x = 0; x < width; ++x) {
    const Rgb rgb = converter.Convert(y[x], cb[x / 2], cr[x / 2]);
    out[0] = rgb.r;
    out[1] = rgb.g;
    out[2] = rgb.b;
    out += 3;
  }
}

#ifdef TORNAVO_CAPTURE_AVX2

bool Avx2Available() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

namespace {

// Within each block of eight pixels the vector path keeps pixels 0, 1, 4, 5 in one register
// and 2, 3, 6, 7 in the other, so that one shuffle per channel brings them back in order.
// A chroma sample serves two neighbouring pixels: [c0 c1 | c2 c3] gives [c0 c0 | c2 c2] for
// the first register and [c1 c1 | c3 c3] for the second.
struct PixelPairs {
  __m256d first;
  __m256d second;
};

// (c - 128) × k for the four chroma samples of a block.
__attribute__((target("avx2"))) PixelPairs ChromaTerm(__m256d centred, double k) {
  const __m256d term = _mm256_mul_pd(_mm256_set1_pd(k), centred);
  return {_mm256_unpacklo_pd(term, term), _mm256_unpackhi_pd(term, term)};
}

__attribute__((target("avx2"))) __m256d Centred(const uint8_t* samples) {
  int32_t four;
  std::memcpy(&four, samples, 4);
  return _mm256_cvtepi32_pd(
      _mm_sub_epi32(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(four)), _mm_set1_epi32(128)));
}

// Adding 1.5 × 2^52 rounds to an integer (a half to even, as std::nearbyint does in the
// default mode) and leaves it in the low 32 bits.
constexpr double kRounder = 6755399441055744.0;

// The low 32 bits of eight rounded doubles, in pixel order within each 128-bit half.
__attribute__((target("avx2"))) __m256i RoundedInOrder(__m256d first, __m256d second) {
  const __m256d rounder = _mm256_set1_pd(kRounder);
  return _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castpd_ps(_mm256_add_pd(first, rounder)),
                                               _mm256_castpd_ps(_mm256_add_pd(second, rounder)),
                                               0x88));
}

struct BlockTerms {
  PixelPairs red, green_cr, green_cb, blue;
};

// Eight pixels of one line.
__attribute__((target("avx2"))) void ColourBlock(const uint8_t* y, const BlockTerms& t,
                                                 uint8_t* out, bool room_for_spare) {
  const __m128i luma =
      _mm_shuffle_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y)),
                       _mm_setr_epi8(0, 1, 4, 5, 2, 3, 6, 7, -1, -1, -1, -1, -1, -1, -1, -1));
  const __m128i black = _mm_set1_epi32(16);
  const __m256d k_luma = _mm256_set1_pd(1.164);
  const __m256d a1 =
      _mm256_mul_pd(k_luma, _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_cvtepu8_epi32(luma), black)));
  const __m256d a2 = _mm256_mul_pd(
      k_luma, _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_cvtepu8_epi32(_mm_srli_si128(luma, 4)), black)));
  const __m256i r = RoundedInOrder(_mm256_add_pd(a1, t.red.first), _mm256_add_pd(a2, t.red.second));
  const __m256i g =
      RoundedInOrder(_mm256_sub_pd(_mm256_sub_pd(a1, t.green_cr.first), t.green_cb.first),
                     _mm256_sub_pd(_mm256_sub_pd(a2, t.green_cr.second), t.green_cb.second));
  const __m256i b =
      RoundedInOrder(_mm256_add_pd(a1, t.blue.first), _mm256_add_pd(a2, t.blue.second));
  // Saturating packs limit every value to 0...255; then R0-3 G0-3 B0-3 becomes R0 G0 B0 R1 ...
  // in each half, the last four bytes spare.
  const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(r, g), _mm256_packs_epi32(b, b));
  const __m256i pixels = _mm256_shuffle_epi8(
      bytes, _mm256_setr_epi8(0, 4, 8, 1, 5, 9, 2, 6, 10, 3, 7, 11, 12, 13, 14, 15, 0, 4, 8, 1, 5,
                              9, 2, 6, 10, 3, 7, 11, 12, 13, 14, 15));
  if (room_for_spare) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(pixels));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(pixels, 1));
  } else {
    alignas(32) uint8_t last[32];
    _mm256_store_si256(reinterpret_cast<__m256i*>(last), pixels);
    std::memcpy(out, last, 12);
    std::memcpy(out + 12, last + 16, 12);
  }
}

uint8_t Limit(double value) {
  const double rounded = std::nearbyint(value);
  return static_cast<uint8_t>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
}

void ColourPixel(int y, int cb, int cr, uint8_t* out) {
  const double a = 1.164 * (y - 16);
  out[0] = Limit(a + 1.596 * (cr - 128));
  out[1] = Limit(a - 0.813 * (cr - 128) - 0.391 * (cb - 128));
  out[2] = Limit(a + 2.018 * (cb - 128));
}

}  // namespace

__attribute__((target("avx2"))) void ColourLinePairAvx2(const uint8_t* y0, const uint8_t* y1,
                                                        const uint8_t* cb, const uint8_t* cr,
                                                        int width, uint8_t* out0, uint8_t* out1) {
  const int line_bytes = 3 * width;
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const __m256d cr_centred = Centred(cr + x / 2);
    const __m256d cb_centred = Centred(cb + x / 2);
    const BlockTerms terms{ChromaTerm(cr_centred, 1.596), ChromaTerm(cr_centred, 0.813),
                           ChromaTerm(cb_centred, 0.391), ChromaTerm(cb_centred, 2.018)};
    const bool room_for_spare = line_bytes - 3 * x >= 28;
    ColourBlock(y0 + x, terms, out0 + 3 * x, room_for_spare);
    if (y1) ColourBlock(y1 + x, terms, out1 + 3 * x, room_for_spare);
  }
  for (; x < width; ++x) {
    ColourPixel(y0[x], cb[x / 2], cr[x / 2], out0 + 3 * x);
    if (y1) ColourPixel(y1[x], cb[x / 2], cr[x / 2], out1 + 3 * x);
  }
}

#else

bool Avx2Available() { return false; }
void ColourLinePairAvx2(const uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, int,
                        uint8_t*, uint8_t*) {}

#endif

}  // namespace tornavo::capture_lines
