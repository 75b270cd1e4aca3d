#include "core/capture/colour_lines.h"

#include <algorithm>
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

// Each channel is an exact sum in thousandths, n = 1164 (Y - 16) + k1 (C1 - 128) [+ k2 (C2 - 128)],
// rounded to the nearest integer as floor((n + 500) / 1000). An exact half (n + 500 a multiple
// of 1000) is the only case in which the double formulas can round otherwise. Division by 125
// is (t × 33555) >> 22, exact for every t below 32768.
//
// Red and blue split off the whole thousands, so that the rest fits 16-bit lanes (a = Y - 16,
// c = C - 128):
//   red:  n + 500 = 1000 (a + 2c) + 4 (41a - 101c + 125)
//   blue: n + 500 = 1000 (a + 2c) + 2 (82a + 9c + 250)
// and the remainders, made positive by whole multiples, are divided by 250 and 500. For one
// chroma value only one luma value gives red (blue) an exact half whose result is not limited
// anyway, so where the double formula rounds that half down, one less in the chroma's term of
// the remainder rounds it down too and changes nothing else: red and blue need no patching.
// Green keeps its three terms in 32-bit lanes, from 16-bit multiply-adds; its exact halves
// (luma and both chroma values) are marked and computed again from the formulas.
constexpr int kRedOffset = 54;  // × 250 keeps the red remainder positive
constexpr int kBlueOffset = 5;  // × 500 keeps the blue remainder positive
// Chroma samples per line the vector path handles; any captured frame's lines fit.
constexpr int kMaxChromaColumns = 1024;

// The chroma terms of the red and blue remainders, each in both 16-bit halves (one chroma
// sample serves two pixels), rounding the formulas' exact halves their way.
struct RemainderTables {
  uint32_t red[256];
  uint32_t blue[256];
};

const RemainderTables& Remainders() {
  static const RemainderTables tables = [] {
    RemainderTables t;
    for (int c = 0; c < 256; ++c) {
      int red = -101 * (c - 128) + 125 + 250 * kRedOffset;
      int blue = 9 * (c - 128) + 250 + 500 * kBlueOffset;
      for (int y = 0; y < 256; ++y) {
        const Rgb exact = YCbCrToRgbExact(y, c, c);
        const int red_sum = 1164 * (y - 16) + 1596 * (c - 128) + 500;
        const int blue_sum = 1164 * (y - 16) + 2018 * (c - 128) + 500;
        if (red_sum % 1000 == 0 && red_sum > 0 && red_sum < 256000 && exact.r != red_sum / 1000)
          red -= 1;
        if (blue_sum % 1000 == 0 && blue_sum > 0 && blue_sum < 256000 && exact.b != blue_sum / 1000)
          blue -= 1;
      }
      t.red[c] = static_cast<uint16_t>(red) * 0x10001u;
      t.blue[c] = static_cast<uint16_t>(blue) * 0x10001u;
    }
    return t;
  }();
  return tables;
}

struct Channel {
  __m256i value;  // 16 results, limited to 0...255 by the byte pack
  __m256i half;   // all ones where the sum was an exact half
};

__attribute__((target("avx2"), always_inline)) inline __m256i DivideBy125(__m256i t) {
  return _mm256_srli_epi16(_mm256_mulhi_epu16(t, _mm256_set1_epi16(static_cast<short>(33555))), 6);
}

// u: the remainder made positive, below 65536; divisor 250 (shift 1) or 500 (shift 2).
template <int kShift>
__attribute__((target("avx2"), always_inline)) inline __m256i SplitChannel(__m256i u,
                                                                           __m256i whole) {
  return _mm256_add_epi16(DivideBy125(_mm256_srli_epi16(u, kShift)), whole);
}

// m: 32-bit (n + 500) of pixels 0-3 and 8-11 (low) and 4-7 and 12-15 (high). Dividing by 8
// first brings every value that is not limited anyway into 16 bits. Below 32768 × 8 the
// remainder lies in 0...999, so it is zero exactly when the low 16 bits of the sum equal those
// of 1000 × quotient; a limited value may be marked needlessly, never missed.
__attribute__((target("avx2"), always_inline)) inline Channel Round(__m256i low, __m256i high) {
  const __m256i t = _mm256_packs_epi32(_mm256_srai_epi32(low, 3), _mm256_srai_epi32(high, 3));
  const __m256i q = DivideBy125(_mm256_max_epi16(t, _mm256_setzero_si256()));
  const __m256i low_bits = _mm256_set1_epi32(0xFFFF);
  const __m256i sum =
      _mm256_packus_epi32(_mm256_and_si256(low, low_bits), _mm256_and_si256(high, low_bits));
  return {q, _mm256_cmpeq_epi16(sum, _mm256_mullo_epi16(q, _mm256_set1_epi16(1000)))};
}

// The terms that two lines sharing their chroma have in common, for 16 pixels.
struct ChromaTerms {
  __m256i cr;          // centred Cr, one per pixel
  __m256i red_rest;    // -101 c + 125 + 250 kRedOffset, less the halves rounded down
  __m256i red_whole;   // 2 c - kRedOffset
  __m256i blue_rest;   // 9 c + 250 + 500 kBlueOffset, likewise
  __m256i blue_whole;  // 2 c - kBlueOffset
  __m256i green_low;   // -391 (Cb - 128) + 500, pixels 0-3 and 8-11
  __m256i green_high;  // pixels 4-7 and 12-15
};

// Eight chroma samples, each repeated for the two pixels it serves, centred.
__attribute__((target("avx2"), always_inline)) inline __m256i CentredPairs(const uint8_t* samples) {
  const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples));
  return _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(eight, eight)),
                          _mm256_set1_epi16(128));
}

// red_rest and blue_rest: the remainder terms of the same eight samples, from the tables.
__attribute__((target("avx2"), always_inline)) inline ChromaTerms MakeChromaTerms(
    const uint8_t* cb_samples, const uint8_t* cr_samples, const uint32_t* red_rest,
    const uint32_t* blue_rest) {
  ChromaTerms terms;
  terms.cr = CentredPairs(cr_samples);
  const __m256i cb = CentredPairs(cb_samples);
  terms.red_rest = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(red_rest));
  terms.red_whole =
      _mm256_sub_epi16(_mm256_add_epi16(terms.cr, terms.cr), _mm256_set1_epi16(kRedOffset));
  terms.blue_rest = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(blue_rest));
  terms.blue_whole = _mm256_sub_epi16(_mm256_add_epi16(cb, cb), _mm256_set1_epi16(kBlueOffset));
  const __m256i one = _mm256_set1_epi16(1);
  const __m256i k = _mm256_set1_epi32((500 << 16) | (-391 & 0xFFFF));
  terms.green_low = _mm256_madd_epi16(_mm256_unpacklo_epi16(cb, one), k);
  terms.green_high = _mm256_madd_epi16(_mm256_unpackhi_epi16(cb, one), k);
  return terms;
}

// 16 pixels of one line: 48 bytes, red first. Returns a bit pair per pixel whose green needs
// the exact formula (bits 2i and 2i + 1 for pixel i).
__attribute__((target("avx2"), always_inline)) inline uint32_t ColourBlock(const uint8_t* y,
                                                                           const ChromaTerms& c,
                                                                           uint8_t* out) {
  const __m256i a =
      _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y))),
                       _mm256_set1_epi16(16));
  const __m256i a41 = _mm256_mullo_epi16(a, _mm256_set1_epi16(41));
  const __m256i r =
      SplitChannel<1>(_mm256_add_epi16(a41, c.red_rest), _mm256_add_epi16(a, c.red_whole));
  const __m256i b = SplitChannel<2>(_mm256_add_epi16(_mm256_add_epi16(a41, a41), c.blue_rest),
                                    _mm256_add_epi16(a, c.blue_whole));
  const __m256i green_coefficients = _mm256_set1_epi32(
      static_cast<int>((static_cast<uint32_t>(-813) << 16) | static_cast<uint32_t>(1164)));
  const Channel g =
      Round(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(a, c.cr), green_coefficients),
                             c.green_low),
            _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(a, c.cr), green_coefficients),
                             c.green_high));

  // Per 128-bit half: rg = R0-7 G0-7, bb = B0-7 twice; shuffled into R G B order, 24 bytes
  // per half: 16 from `front`, 8 from `back`.
  const __m256i rg = _mm256_packus_epi16(r, g.value);
  const __m256i bb = _mm256_packus_epi16(b, b);
  const __m256i front = _mm256_or_si256(
      _mm256_shuffle_epi8(
          rg, _mm256_setr_epi8(0, 8, -1, 1, 9, -1, 2, 10, -1, 3, 11, -1, 4, 12, -1, 5, 0, 8, -1, 1,
                               9, -1, 2, 10, -1, 3, 11, -1, 4, 12, -1, 5)),
      _mm256_shuffle_epi8(
          bb, _mm256_setr_epi8(-1, -1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1, -1, -1, 0,
                               -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1)));
  const __m256i back = _mm256_or_si256(
      _mm256_shuffle_epi8(
          rg, _mm256_setr_epi8(13, -1, 6, 14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, 13, -1,
                               6, 14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1)),
      _mm256_shuffle_epi8(
          bb, _mm256_setr_epi8(-1, 5, -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1, -1, 5,
                               -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(front));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_castsi256_si128(back));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 24), _mm256_extracti128_si256(front, 1));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 40), _mm256_extracti128_si256(back, 1));
  return static_cast<uint32_t>(_mm256_movemask_epi8(g.half));
}

void ColourPixel(int y, int cb, int cr, uint8_t* out) {
  const Rgb rgb = YCbCrToRgbExact(y, cb, cr);
  out[0] = rgb.r;
  out[1] = rgb.g;
  out[2] = rgb.b;
}

// Nearest integer, a half to the even neighbour (as std::nearbyint in the default mode, for
// any value this small), then limited: adding and taking away 1.5 × 2^52 leaves no fraction.
__attribute__((target("avx2"), always_inline)) inline uint8_t RoundAndLimit(double value) {
  constexpr double kRounder = 6755399441055744.0;
  const double rounded = (value + kRounder) - kRounder;
  return static_cast<uint8_t>(rounded <= 0.0 ? 0.0 : rounded >= 255.0 ? 255.0 : rounded);
}

// The marked pixels of a block again, by the double formulas in their own order of
// operations. Inline arithmetic: tables would mostly miss the cache this rarely; AVX
// encoding, as mixing in the older encoding would stall on the vector registers' state.
__attribute__((target("avx2"))) void PatchHalves(uint32_t marks, const uint8_t* y,
                                                 const uint8_t* cb, const uint8_t* cr,
                                                 uint8_t* out) {
  // Two bits per pixel: keep one.
  for (marks &= 0x55555555u; marks != 0; marks &= marks - 1) {
    const int x = __builtin_ctz(marks) / 2;
    const double a = 1.164 * (y[x] - 16);
    const int blue_difference = cb[x / 2] - 128;
    const int red_difference = cr[x / 2] - 128;
    out[3 * x] = RoundAndLimit(a + 1.596 * red_difference);
    out[3 * x + 1] = RoundAndLimit(a - 0.813 * red_difference - 0.391 * blue_difference);
    out[3 * x + 2] = RoundAndLimit(a + 2.018 * blue_difference);
  }
}

// Blocks with marked pixels, patched after their line pair: a call in the middle of the
// vector loop would cost it its registers (and a mispredicted branch) every tenth block.
struct PendingBlocks {
  struct Block {
    const uint8_t* y;
    const uint8_t* cb;
    const uint8_t* cr;
    uint8_t* out;
    uint32_t marks;
  };
  static constexpr int kCapacity = 64;
  Block blocks[kCapacity];
  int count = 0;

  // Keeps the block only when it has marks, without a branch.
  void Add(const Block& block) {
    blocks[count] = block;
    count += block.marks != 0;
    if (count == kCapacity) Patch();
  }
  __attribute__((target("avx2"))) void Patch() {
    for (int i = 0; i < count; ++i)
      PatchHalves(blocks[i].marks, blocks[i].y, blocks[i].cb, blocks[i].cr, blocks[i].out);
    count = 0;
  }
};

// The body shared by whole lines and tile runs, inlined so that each caller sets up its
// constants once.
__attribute__((target("avx2"), always_inline)) inline void ColourPair(
    const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
    const uint32_t* red_rest, const uint32_t* blue_rest, int width, uint8_t* out0, uint8_t* out1,
    PendingBlocks* pending) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    const ChromaTerms terms =
        MakeChromaTerms(cb + x / 2, cr + x / 2, red_rest + x / 2, blue_rest + x / 2);
    const uint32_t marks0 = ColourBlock(y0 + x, terms, out0 + 3 * x);
    pending->Add({y0 + x, cb + x / 2, cr + x / 2, out0 + 3 * x, marks0});
    if (!y1) continue;
    const uint32_t marks1 = ColourBlock(y1 + x, terms, out1 + 3 * x);
    pending->Add({y1 + x, cb + x / 2, cr + x / 2, out1 + 3 * x, marks1});
  }
  for (; x < width; ++x) {
    ColourPixel(y0[x], cb[x / 2], cr[x / 2], out0 + 3 * x);
    if (y1) ColourPixel(y1[x], cb[x / 2], cr[x / 2], out1 + 3 * x);
  }
}

// The remainder terms of a chroma line, looked up once for its two lines (scalar loads, which
// leave the vector units to the pixels).
struct RemainderLine {
  uint32_t red[kMaxChromaColumns];
  uint32_t blue[kMaxChromaColumns];

  void Fill(const uint8_t* cb, const uint8_t* cr, int count) {
    const RemainderTables& tables = Remainders();
    for (int j = 0; j < count; ++j) {
      red[j] = tables.red[cr[j]];
      blue[j] = tables.blue[cb[j]];
    }
  }
};

}  // namespace

__attribute__((target("avx2"))) void ColourLinePairAvx2(const uint8_t* y0, const uint8_t* y1,
                                                        const uint8_t* cb, const uint8_t* cr,
                                                        int width, uint8_t* out0, uint8_t* out1) {
  RemainderLine remainders;
  const int vector_width = std::min(width, 2 * kMaxChromaColumns) / 16 * 16;
  remainders.Fill(cb, cr, vector_width / 2);
  PendingBlocks pending;
  ColourPair(y0, y1, cb, cr, remainders.red, remainders.blue, vector_width, out0, out1, &pending);
  for (int x = vector_width; x < width; ++x) {
    ColourPixel(y0[x], cb[x / 2], cr[x / 2], out0 + 3 * x);
    if (y1) ColourPixel(y1[x], cb[x / 2], cr[x / 2], out1 + 3 * x);
  }
  pending.Patch();
}

__attribute__((target("avx2"))) void ColourRunPairAvx2(const uint8_t* line0, const uint8_t* line1,
                                                       const LumaRun* runs, int run_count,
                                                       const uint8_t* cb, const uint8_t* cr,
                                                       uint8_t* out0, uint8_t* out1) {
  if (run_count == 0) return;
  const LumaRun& last = runs[run_count - 1];
  RemainderLine remainders;
  remainders.Fill(cb, cr, std::min((last.x + last.length) / 2, kMaxChromaColumns));
  PendingBlocks pending;
  for (const LumaRun* run = runs; run != runs + run_count; ++run) {
    if (run->x + run->length > 2 * kMaxChromaColumns) {
      // Wider than any captured frame: pixel by pixel.
      for (int i = 0; i < run->length; ++i) {
        const int x = run->x + i;
        ColourPixel(line0[run->offset + i], cb[x / 2], cr[x / 2], out0 + 3 * x);
        if (line1) ColourPixel(line1[run->offset + i], cb[x / 2], cr[x / 2], out1 + 3 * x);
      }
      continue;
    }
    ColourPair(line0 + run->offset, line1 ? line1 + run->offset : nullptr, cb + run->x / 2,
               cr + run->x / 2, remainders.red + run->x / 2, remainders.blue + run->x / 2,
               run->length, out0 + 3 * run->x, out1 ? out1 + 3 * run->x : nullptr, &pending);
  }
  pending.Patch();
}

#else

bool Avx2Available() { return false; }
void ColourLinePairAvx2(const uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, int,
                        uint8_t*, uint8_t*) {}
void ColourRunPairAvx2(const uint8_t*, const uint8_t*, const LumaRun*, int, const uint8_t*,
                       const uint8_t*, uint8_t*, uint8_t*) {}

#endif

}  // namespace tornavo::capture_lines
