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
// of 1000) is the only case in which the double formulas can round otherwise.
//
// Each channel splits off whole thousands, so that the rest fits 16-bit lanes (a = Y - 16,
// c = C - 128; for green, cr = 16 hr + lr and cb = 16 hb + lb with 0 <= lr, lb < 16):
//   red:   n + 500 = 1000 (a + 2c) + 4 (41a - 101c + 125)
//   blue:  n + 500 = 1000 (a + 2c) + 2 (82a + 9c + 250)
//   green: n + 500 = 1000 (a - cr + 3hr - 6hb) + 164a + 187lr - 391lb - 8hr - 256hb + 500
// The rests, made positive by whole multiples, are divided by 250, 500 and 1000. Division by
// 125 is (t × 33555) >> 22, exact for every t below 32768.
//
// For one chroma value only one luma value gives red (blue) an exact half whose result is not
// limited anyway, so where the double formula rounds that half down, one less in the chroma's
// term of the rest rounds it down too and changes nothing else: red and blue need no patching.
// Green's halves depend on all three samples (about one pixel in a thousand): they are marked
// and computed again from the formulas.
constexpr int kRedOffset = 54;    // × 250 keeps the red rest positive
constexpr int kBlueOffset = 5;    // × 500 keeps the blue rest positive
constexpr int kGreenOffset = 10;  // × 1000 keeps the green rest positive

struct Channel {
  __m256i value;  // 16 results, limited to 0...255 by the byte pack
  __m256i half;   // all ones where the sum was an exact half
};

__attribute__((target("avx2"), always_inline)) inline __m256i DivideBy125(__m256i t) {
  return _mm256_srli_epi16(_mm256_mulhi_epu16(t, _mm256_set1_epi16(static_cast<short>(33555))), 6);
}

// A constant the compiler cannot see: it would otherwise turn each multiplication into three
// or four shifts and adds, which cost more here than the one multiplication.
__attribute__((target("avx2"), always_inline)) inline __m256i Opaque(int value) {
  __m256i v = _mm256_set1_epi16(static_cast<short>(value));
  asm("" : "+x"(v));
  return v;
}

__attribute__((target("avx2"), always_inline)) inline __m256i Times(__m256i v, int factor) {
  return _mm256_mullo_epi16(v, Opaque(factor));
}

// u: the rest made positive, below 65536; divisor 125 << kShift (250, 500 or 1000).
template <int kShift>
__attribute__((target("avx2"), always_inline)) inline __m256i SplitValue(__m256i u, __m256i whole) {
  return _mm256_add_epi16(DivideBy125(_mm256_srli_epi16(u, kShift)), whole);
}

// SplitValue, and whether the sum was an exact half: the rest a whole multiple of the divisor.
template <int kShift>
__attribute__((target("avx2"), always_inline)) inline Channel SplitChannel(__m256i u,
                                                                           __m256i whole) {
  const __m256i q = DivideBy125(_mm256_srli_epi16(u, kShift));
  return {_mm256_add_epi16(q, whole), _mm256_cmpeq_epi16(u, Times(q, 125 << kShift))};
}

// The terms that two lines sharing their chroma have in common, for 16 pixels, with the
// centring of luma and chroma (a = Y - 16, c = C - 128, hr = (Cr >> 4) - 8) folded into their
// constants.
struct ChromaTerms {
  __m256i red_rest;     // -101 c + 125 + 250 kRedOffset - 41 × 16, less the halves rounded down
  __m256i red_whole;    // 2 c - kRedOffset - 16
  __m256i blue_rest;    // 9 c + 250 + 500 kBlueOffset - 82 × 16, likewise
  __m256i blue_whole;   // 2 c - kBlueOffset - 16
  __m256i green_rest;   // 187 lr - 391 lb - 8 hr - 256 hb + 500 + 1000 kGreenOffset - 164 × 16
  __m256i green_whole;  // 3 hr - 6 hb - cr - kGreenOffset - 16
};

// Eight chroma samples, each repeated for the two pixels it serves.
__attribute__((target("avx2"), always_inline)) inline __m128i SamplePairs(const uint8_t* samples) {
  const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples));
  return _mm_unpacklo_epi8(eight, eight);
}

// Sixteen chroma samples.
__attribute__((target("avx2"), always_inline)) inline __m128i Samples(const uint8_t* samples) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples));
}

// The chroma values whose red (blue) exact half the double formula rounds down, one bit each.
struct RoundingDown {
  alignas(16) uint8_t red[32];
  alignas(16) uint8_t blue[32];
};

const RoundingDown& RoundingDowns() {
  static const RoundingDown table = [] {
    RoundingDown t{};
    for (int c = 0; c < 256; ++c) {
      for (int y = 0; y < 256; ++y) {
        const Rgb exact = YCbCrToRgbExact(y, c, c);
        const int red_sum = 1164 * (y - 16) + 1596 * (c - 128) + 500;
        const int blue_sum = 1164 * (y - 16) + 2018 * (c - 128) + 500;
        if (red_sum % 1000 == 0 && red_sum > 0 && red_sum < 256000 && exact.r != red_sum / 1000)
          t.red[c / 8] |= static_cast<uint8_t>(1 << (c % 8));
        if (blue_sum % 1000 == 0 && blue_sum > 0 && blue_sum < 256000 && exact.b != blue_sum / 1000)
          t.blue[c / 8] |= static_cast<uint8_t>(1 << (c % 8));
      }
    }
    return t;
  }();
  return table;
}

// All ones in the bytes whose value has its bit set in the 256-bit table, else zero.
__attribute__((target("avx2"), always_inline)) inline __m128i BitOf(__m128i values,
                                                                    const uint8_t* table) {
  const __m128i index = _mm_and_si128(_mm_srli_epi16(values, 3), _mm_set1_epi8(0x1F));
  // Indexes 0-15 pick from the first half, 16-31 from the second; the other half gives zero.
  const __m128i byte =
      _mm_or_si128(_mm_shuffle_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(table)),
                                    _mm_adds_epu8(index, _mm_set1_epi8(0x70))),
                   _mm_shuffle_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(table + 16)),
                                    _mm_sub_epi8(index, _mm_set1_epi8(16))));
  const __m128i bit =
      _mm_shuffle_epi8(_mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128),
                       _mm_and_si128(values, _mm_set1_epi8(7)));
  return _mm_cmpeq_epi8(_mm_and_si128(byte, bit), bit);
}

__attribute__((target("avx2"), always_inline)) inline __m256i Plus(__m256i v, int constant) {
  return _mm256_add_epi16(v, _mm256_set1_epi16(static_cast<short>(constant)));
}

// cb_bytes and cr_bytes: one chroma sample per lane, as the pixels' lanes need them.
__attribute__((target("avx2"), always_inline)) inline ChromaTerms MakeChromaTerms(
    __m128i cb_bytes, __m128i cr_bytes, const RoundingDown& rounding) {
  constexpr int kLuma = 16;
  constexpr int kChroma = 128;
  ChromaTerms terms;
  const __m256i cb = _mm256_cvtepu8_epi16(cb_bytes);
  const __m256i cr = _mm256_cvtepu8_epi16(cr_bytes);
  terms.red_rest = Plus(Times(cr, -101), 101 * kChroma + 125 + 250 * kRedOffset - 41 * kLuma);
  terms.red_whole = Plus(_mm256_add_epi16(cr, cr), -2 * kChroma - kRedOffset - kLuma);
  terms.blue_rest = Plus(Times(cb, 9), -9 * kChroma + 250 + 500 * kBlueOffset - 82 * kLuma);
  terms.blue_whole = Plus(_mm256_add_epi16(cb, cb), -2 * kChroma - kBlueOffset - kLuma);
  // All ones is -1: one less where the half rounds down.
  terms.red_rest =
      _mm256_add_epi16(terms.red_rest, _mm256_cvtepi8_epi16(BitOf(cr_bytes, rounding.red)));
  terms.blue_rest =
      _mm256_add_epi16(terms.blue_rest, _mm256_cvtepi8_epi16(BitOf(cb_bytes, rounding.blue)));
  // The high halves of the samples are hr + 8 and hb + 8; the low ones lr and lb.
  const __m256i low_bits = _mm256_set1_epi16(15);
  const __m256i cr_high = _mm256_srli_epi16(cr, 4);
  const __m256i cb_high = _mm256_srli_epi16(cb, 4);
  terms.green_rest = _mm256_sub_epi16(
      Plus(_mm256_add_epi16(Times(_mm256_and_si256(cr, low_bits), 187),
                            Times(_mm256_and_si256(cb, low_bits), -391)),
           8 * 8 + 256 * 8 + 500 + 1000 * kGreenOffset - 164 * kLuma),
      _mm256_add_epi16(_mm256_slli_epi16(cr_high, 3), _mm256_slli_epi16(cb_high, 8)));
  // 3 (hr - 2 hb) - cr - kGreenOffset - 16
  const __m256i highs = _mm256_sub_epi16(cr_high, _mm256_add_epi16(cb_high, cb_high));
  terms.green_whole = _mm256_sub_epi16(_mm256_add_epi16(highs, _mm256_add_epi16(highs, highs)),
                                       Plus(cr, 3 * 8 - 6 * 8 - kChroma + kGreenOffset + kLuma));
  return terms;
}

// Red, green and blue of 16 pixels whose chroma terms are in the same lanes.
struct Colours {
  __m256i r;
  Channel g;
  __m256i b;
};

__attribute__((target("avx2"), always_inline)) inline Colours ColourLanes(__m256i luma,
                                                                          const ChromaTerms& c) {
  // Luma as it is: the terms hold its centring.
  const __m256i luma41 = Times(luma, 41);
  return {SplitValue<1>(_mm256_add_epi16(luma41, c.red_rest), _mm256_add_epi16(luma, c.red_whole)),
          SplitChannel<3>(_mm256_add_epi16(_mm256_slli_epi16(luma41, 2), c.green_rest),
                          _mm256_add_epi16(luma, c.green_whole)),
          SplitValue<2>(_mm256_add_epi16(_mm256_add_epi16(luma41, luma41), c.blue_rest),
                        _mm256_add_epi16(luma, c.blue_whole))};
}

// 16 pixels of one line (chroma terms for pixel pairs): 48 bytes, red first. Returns a bit
// pair per pixel that needs the exact formulas (bits 2i and 2i + 1 for pixel i).
__attribute__((target("avx2"), always_inline)) inline uint32_t ColourBlock(const uint8_t* y,
                                                                           const ChromaTerms& c,
                                                                           uint8_t* out) {
  const Colours colours =
      ColourLanes(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y))), c);
  const __m256i r = colours.r;
  const Channel& g = colours.g;
  const __m256i b = colours.b;

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

// Where pixel p of 16 sits in a 128-bit half packed from its even pixels, then its odd ones.
constexpr int8_t EvenOddIndex(int p) { return static_cast<int8_t>(p % 2 == 0 ? p / 2 : 8 + p / 2); }

// Byte shuffles that take red, green and blue (each 16 pixels per 128-bit half, even pixels
// then odd) to the 48 bytes of those pixels, 16 at a time: [part][channel][byte].
struct InterleaveMasks {
  alignas(32) int8_t mask[3][3][32];
};

constexpr InterleaveMasks MakeInterleaveMasks() {
  InterleaveMasks masks{};
  for (int part = 0; part < 3; ++part)
    for (int channel = 0; channel < 3; ++channel)
      for (int i = 0; i < 16; ++i) {
        const int byte = 16 * part + i;
        const int8_t from = byte % 3 == channel ? EvenOddIndex(byte / 3) : int8_t{-128};
        masks.mask[part][channel][i] = from;
        masks.mask[part][channel][16 + i] = from;
      }
  return masks;
}

constexpr InterleaveMasks kInterleave = MakeInterleaveMasks();

__attribute__((target("avx2"), always_inline)) inline __m256i Mask(int part, int channel) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(kInterleave.mask[part][channel]));
}

// 32 pixels of one line, their chroma terms one per pixel pair and lane: the even pixels and
// the odd ones each fill the lanes once, so the terms need no repeating. 96 bytes, red first.
// Returns a bit per pixel that needs the exact formulas: bit j for pixel
// (j & 16) + 2 (j & 7) + ((j >> 3) & 1).
__attribute__((target("avx2"), always_inline)) inline uint32_t ColourWideBlock(const uint8_t* y,
                                                                               const ChromaTerms& c,
                                                                               uint8_t* out) {
  const __m256i luma = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y));
  const Colours even = ColourLanes(_mm256_and_si256(luma, _mm256_set1_epi16(0xFF)), c);
  const Colours odd = ColourLanes(_mm256_srli_epi16(luma, 8), c);
  const __m256i r = _mm256_packus_epi16(even.r, odd.r);
  const __m256i g = _mm256_packus_epi16(even.g.value, odd.g.value);
  const __m256i b = _mm256_packus_epi16(even.b, odd.b);
  for (int part = 0; part < 3; ++part) {
    const __m256i bytes = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(r, Mask(part, 0)),
                                                          _mm256_shuffle_epi8(g, Mask(part, 1))),
                                          _mm256_shuffle_epi8(b, Mask(part, 2)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * part), _mm256_castsi256_si128(bytes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 48 + 16 * part),
                     _mm256_extracti128_si256(bytes, 1));
  }
  return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_packs_epi16(even.g.half, odd.g.half)));
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

// A marked pixel again, by the double formulas in their own order of operations. Inline
// arithmetic: tables would mostly miss the cache this rarely; AVX encoding, as mixing in the
// older encoding would stall on the vector registers' state.
__attribute__((target("avx2"))) inline void PatchPixel(int x, const uint8_t* y, const uint8_t* cb,
                                                       const uint8_t* cr, uint8_t* out) {
  const double a = 1.164 * (y[x] - 16);
  const int blue_difference = cb[x / 2] - 128;
  const int red_difference = cr[x / 2] - 128;
  out[3 * x] = RoundAndLimit(a + 1.596 * red_difference);
  out[3 * x + 1] = RoundAndLimit(a - 0.813 * red_difference - 0.391 * blue_difference);
  out[3 * x + 2] = RoundAndLimit(a + 2.018 * blue_difference);
}

// The marked pixels of a block: of 32 pixels (ColourWideBlock's marks) or of 16 (ColourBlock's).
__attribute__((target("avx2"))) void PatchHalves(uint32_t marks, bool wide, const uint8_t* y,
                                                 const uint8_t* cb, const uint8_t* cr,
                                                 uint8_t* out) {
  if (wide) {
    for (; marks != 0; marks &= marks - 1) {
      const int j = __builtin_ctz(marks);
      PatchPixel((j & 16) + 2 * (j & 7) + ((j >> 3) & 1), y, cb, cr, out);
    }
    return;
  }
  // Two bits per pixel: keep one.
  for (marks &= 0x55555555u; marks != 0; marks &= marks - 1)
    PatchPixel(__builtin_ctz(marks) / 2, y, cb, cr, out);
}

// Blocks with marked pixels, patched after their line pair: a call in the middle of the
// vector loop would cost it its registers (and a mispredicted branch) every tenth block.
struct PendingBlocks {
  struct Block {
    const uint8_t* y;
    const uint8_t* cb;  // within cb_line; Cr at the same column of cr_line
    uint8_t* out;
    uint32_t marks;
    bool wide;  // of 32 pixels
  };
  static constexpr int kCapacity = 64;

  PendingBlocks(const uint8_t* cb, const uint8_t* cr) : cb_line(cb), cr_line(cr) {}

  __attribute__((target("avx2"), noinline)) void Patch() {
    for (int i = 0; i < count; ++i) {
      const Block& block = blocks[i];
      PatchHalves(block.marks, block.wide, block.y, block.cb, cr_line + (block.cb - cb_line),
                  block.out);
    }
    count = 0;
  }

  const uint8_t* cb_line;
  const uint8_t* cr_line;
  Block blocks[kCapacity];
  int count = 0;
};

// The body shared by whole lines and tile runs, inlined so that each caller sets up its
// constants once. cb and cr lie within the pending blocks' chroma lines.
__attribute__((target("avx2"), always_inline)) inline void ColourPair(
    const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr, int width,
    uint8_t* out0, uint8_t* out1, const RoundingDown& rounding, PendingBlocks* pending) {
  // The count kept locally stays in a register.
  int count = pending->count;
  // Keeps a block only when it has marks, without a branch.
  auto add = [&](const uint8_t* y, const uint8_t* chroma, uint8_t* out, uint32_t marks, bool wide) {
    pending->blocks[count] = {y, chroma, out, marks, wide};
    count += marks != 0;
    if (count == PendingBlocks::kCapacity) [[unlikely]] {
      pending->count = count;
      pending->Patch();
      count = 0;
    }
  };
  int x = 0;
  for (; x + 32 <= width; x += 32) {
    const ChromaTerms terms = MakeChromaTerms(Samples(cb + x / 2), Samples(cr + x / 2), rounding);
    add(y0 + x, cb + x / 2, out0 + 3 * x, ColourWideBlock(y0 + x, terms, out0 + 3 * x), true);
    if (y1)
      add(y1 + x, cb + x / 2, out1 + 3 * x, ColourWideBlock(y1 + x, terms, out1 + 3 * x), true);
  }
  for (; x + 16 <= width; x += 16) {
    const ChromaTerms terms =
        MakeChromaTerms(SamplePairs(cb + x / 2), SamplePairs(cr + x / 2), rounding);
    add(y0 + x, cb + x / 2, out0 + 3 * x, ColourBlock(y0 + x, terms, out0 + 3 * x), false);
    if (y1) add(y1 + x, cb + x / 2, out1 + 3 * x, ColourBlock(y1 + x, terms, out1 + 3 * x), false);
  }
  pending->count = count;
  for (; x < width; ++x) {
    ColourPixel(y0[x], cb[x / 2], cr[x / 2], out0 + 3 * x);
    if (y1) ColourPixel(y1[x], cb[x / 2], cr[x / 2], out1 + 3 * x);
  }
}

}  // namespace

__attribute__((target("avx2"))) void ColourLinePairAvx2(const uint8_t* y0, const uint8_t* y1,
                                                        const uint8_t* cb, const uint8_t* cr,
                                                        int width, uint8_t* out0, uint8_t* out1) {
  PendingBlocks pending(cb, cr);
  ColourPair(y0, y1, cb, cr, width, out0, out1, RoundingDowns(), &pending);
  pending.Patch();
}

__attribute__((target("avx2"))) void ColourRunPairAvx2(const uint8_t* line0, const uint8_t* line1,
                                                       const LumaRun* runs, int run_count,
                                                       const uint8_t* cb, const uint8_t* cr,
                                                       uint8_t* out0, uint8_t* out1) {
  const RoundingDown& rounding = RoundingDowns();
  PendingBlocks pending(cb, cr);
  for (const LumaRun* run = runs; run != runs + run_count; ++run)
    ColourPair(line0 + run->offset, line1 ? line1 + run->offset : nullptr, cb + run->x / 2,
               cr + run->x / 2, run->length, out0 + 3 * run->x, out1 ? out1 + 3 * run->x : nullptr,
               rounding, &pending);
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
