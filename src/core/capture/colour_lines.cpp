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
// (c - 128) for the four chroma samples of a block, each serving two pixels, in that order.
__attribute__((target("avx2"))) void CentredPairs(const uint8_t* samples, __m256d* first,
                                                  __m256d* second) {
  int32_t four;
  std::memcpy(&four, samples, 4);
  const __m128i spread =
      _mm_shuffle_epi8(_mm_cvtsi32_si128(four),
                       _mm_setr_epi8(0, 0, 2, 2, 1, 1, 3, 3, -1, -1, -1, -1, -1, -1, -1, -1));
  const __m128i centre = _mm_set1_epi32(128);
  *first = _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_cvtepu8_epi32(spread), centre));
  *second = _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_cvtepu8_epi32(_mm_srli_si128(spread, 4)), centre));
}

// Adding 1.5 × 2^52 rounds to an integer (a half to even, as std::nearbyint does in the
// default mode) and leaves it in the low 32 bits.
constexpr double kRounder = 6755399441055744.0;

// The low 32 bits of eight rounded doubles (first: pixels 0, 1, 4, 5; second: 2, 3, 6, 7),
// in pixel order within each 128-bit half.
__attribute__((target("avx2"))) __m256i RoundedInOrder(__m256d first, __m256d second) {
  const __m256d rounder = _mm256_set1_pd(kRounder);
  return _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castpd_ps(_mm256_add_pd(first, rounder)),
                                               _mm256_castpd_ps(_mm256_add_pd(second, rounder)),
                                               0x88));
}

uint8_t Limit(double value) {
  const double rounded = std::nearbyint(value);
  return static_cast<uint8_t>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
}

}  // namespace

__attribute__((target("avx2"))) void ChromaTermsAvx2(const uint8_t* cb, const uint8_t* cr,
                                                     int width, ChromaTerms* terms) {
  const __m256d k_red = _mm256_set1_pd(1.596), k_blue = _mm256_set1_pd(2.018);
  const __m256d k_green_cr = _mm256_set1_pd(0.813), k_green_cb = _mm256_set1_pd(0.391);
  for (int x = 0; x + 8 <= width; x += 8) {
    __m256d cr_first, cr_second, cb_first, cb_second;
    CentredPairs(cr + x / 2, &cr_first, &cr_second);
    CentredPairs(cb + x / 2, &cb_first, &cb_second);
    _mm256_storeu_pd(&terms->red[x], _mm256_mul_pd(k_red, cr_first));
    _mm256_storeu_pd(&terms->red[x + 4], _mm256_mul_pd(k_red, cr_second));
    _mm256_storeu_pd(&terms->green_cr[x], _mm256_mul_pd(k_green_cr, cr_first));
    _mm256_storeu_pd(&terms->green_cr[x + 4], _mm256_mul_pd(k_green_cr, cr_second));
    _mm256_storeu_pd(&terms->blue[x], _mm256_mul_pd(k_blue, cb_first));
    _mm256_storeu_pd(&terms->blue[x + 4], _mm256_mul_pd(k_blue, cb_second));
    _mm256_storeu_pd(&terms->green_cb[x], _mm256_mul_pd(k_green_cb, cb_first));
    _mm256_storeu_pd(&terms->green_cb[x + 4], _mm256_mul_pd(k_green_cb, cb_second));
  }
}

__attribute__((target("avx2"))) void ColourLineAvx2(const uint8_t* y, const uint8_t* cb,
                                                    const uint8_t* cr, const ChromaTerms& terms,
                                                    int width, uint8_t* out) {
  const __m256d k_luma = _mm256_set1_pd(1.164);
  const __m128i black = _mm_set1_epi32(16);
  const __m128i luma_order = _mm_setr_epi8(0, 1, 4, 5, 2, 3, 6, 7, -1, -1, -1, -1, -1, -1, -1, -1);
  // From R0-3 G0-3 B0-3 to R0 G0 B0 R1 ... in each half; the last four bytes are spare.
  const __m256i interleave = _mm256_setr_epi8(0, 4, 8, 1, 5, 9, 2, 6, 10, 3, 7, 11, 12, 13, 14, 15,
                                              0, 4, 8, 1, 5, 9, 2, 6, 10, 3, 7, 11, 12, 13, 14, 15);
  const double* red = terms.red.data();
  const double* blue = terms.blue.data();
  const double* green_cr = terms.green_cr.data();
  const double* green_cb = terms.green_cb.data();
  uint8_t* const end = out + 3 * width;
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const __m128i luma =
        _mm_shuffle_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + x)), luma_order);
    const __m256d a1 =
        _mm256_mul_pd(k_luma, _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_cvtepu8_epi32(luma), black)));
    const __m256d a2 = _mm256_mul_pd(
        k_luma,
        _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_cvtepu8_epi32(_mm_srli_si128(luma, 4)), black)));
    const __m256i r = RoundedInOrder(_mm256_add_pd(a1, _mm256_loadu_pd(red + x)),
                                     _mm256_add_pd(a2, _mm256_loadu_pd(red + x + 4)));
    const __m256i g =
        RoundedInOrder(_mm256_sub_pd(_mm256_sub_pd(a1, _mm256_loadu_pd(green_cr + x)),
                                     _mm256_loadu_pd(green_cb + x)),
                       _mm256_sub_pd(_mm256_sub_pd(a2, _mm256_loadu_pd(green_cr + x + 4)),
                                     _mm256_loadu_pd(green_cb + x + 4)));
    const __m256i b = RoundedInOrder(_mm256_add_pd(a1, _mm256_loadu_pd(blue + x)),
                                     _mm256_add_pd(a2, _mm256_loadu_pd(blue + x + 4)));
    // Saturating packs limit every value to 0...255.
    const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(r, g), _mm256_packs_epi32(b, b));
    const __m256i pixels = _mm256_shuffle_epi8(bytes, interleave);
    if (end - out >= 28) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(pixels));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(pixels, 1));
    } else {
      alignas(32) uint8_t last[32];
      _mm256_store_si256(reinterpret_cast<__m256i*>(last), pixels);
      std::memcpy(out, last, 12);
      std::memcpy(out + 12, last + 16, 12);
    }
    out += 24;
  }
  for (; x < width; ++x) {
    const double a = 1.164 * (y[x] - 16);
    out[0] = Limit(a + 1.596 * (cr[x / 2] - 128));
    out[1] = Limit(a - 0.813 * (cr[x / 2] - 128) - 0.391 * (cb[x / 2] - 128));
    out[2] = Limit(a + 2.018 * (cb[x / 2] - 128));
    out += 3;
  }
}

#else

bool Avx2Available() { return false; }
void ChromaTermsAvx2(const uint8_t*, const uint8_t*, int, ChromaTerms*) {}
void ColourLineAvx2(const uint8_t*, const uint8_t*, const uint8_t*, const ChromaTerms&, int,
                    uint8_t*) {}

#endif

}  // namespace tornavo::capture_lines
