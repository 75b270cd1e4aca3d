#include "core/capture/convert_capture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/capture/colour_lines.h"
#include "core/capture/frame_layout.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tornavo {

namespace {

constexpr uint8_t kMissingLuma = 16;
constexpr uint8_t kMissingChroma = 128;
// How far ahead, in lines, samples are asked for.
constexpr int kPrefetchLines = 4;

// Runs of a band are stretches of its first line.
using capture_lines::LumaRun;

// Where one 32-line band keeps its samples, at its first luma and chroma line.
struct Band {
  std::vector<LumaRun> luma_runs;
  std::vector<int64_t> cb;  // per chroma column
  int64_t luma_last = 0;    // highest luma offset
  int64_t cb_last = 0;      // highest Cb offset
  int phase = 0;            // the band's first chroma column within a group of eight
  bool even_runs = true;    // whether every run starts at an even column
};

void FillBand(int width, int chroma_columns, int band, Band* layout) {
  layout->luma_runs.clear();
  layout->even_runs = true;
  for (int x = 0; x < width;) {
    const int64_t r = int64_t{width} * band + x;
    const int length = std::min<int>(kTileSide - static_cast<int>(r % kTileSide), width - x);
    layout->luma_runs.push_back({x, length, LumaOffset(width, x, band * kTileSide)});
    layout->even_runs = layout->even_runs && x % 2 == 0;
    x += length;
  }
  const LumaRun& last = layout->luma_runs.back();
  layout->luma_last = last.offset + last.length - 1;
  layout->cb_last = 0;
  layout->phase = static_cast<int>((int64_t{width / 2} * band) % 8);
  for (int xc = 0; xc < chroma_columns; ++xc) {
    layout->cb[xc] = CbOffset(width, xc, band * 16);
    layout->cb_last = std::max(layout->cb_last, layout->cb[xc]);
  }
}

// Within a band, the line's share of the offsets (the band's first line has 0).
int64_t LumaLinePart(int y) { return kTileSide * (y % kTileSide); }
int64_t ChromaLinePart(int y) {
  const int yi = (y / 2) % 16;
  return kTileSide * (16 * (yi / 8) + yi % 8);
}

// Gathers one line's luma; bytes at or beyond `end` read as missing.
void GatherLuma(const uint8_t* bytes, int64_t end, const Band& band, int64_t line, uint8_t* luma) {
  const bool whole = band.luma_last + line < end;
  for (const LumaRun& run : band.luma_runs) {
    const int64_t from = run.offset + line;
    if (whole) {
      // Whole tile lines are the common case: a fixed-size copy the compiler inlines.
      if (run.length == kTileSide)
        std::memcpy(luma + run.x, bytes + from, kTileSide);
      else
        std::memcpy(luma + run.x, bytes + from, run.length);
      continue;
    }
    for (int i = 0; i < run.length; ++i)
      luma[run.x + i] = from + i < end ? bytes[from + i] : kMissingLuma;
  }
}

void GatherChroma(const uint8_t* bytes, int64_t end, const Band& band, int64_t line, int columns,
                  uint8_t* cb, uint8_t* cr) {
  const int64_t* offsets = band.cb.data();
  if (band.cb_last + line + kCrAfterCb < end) {
    const uint8_t* cb_base = bytes + line;
    // Up to the first whole group of eight, then eight at a time: four Cb, four Cr, four Cb,
    // four Cr side by side, parted by one shuffle.
    int xc = std::min((8 - band.phase) % 8, columns);
    for (int i = 0; i < xc; ++i) {
      cb[i] = cb_base[offsets[i]];
      cr[i] = cb_base[offsets[i] + kCrAfterCb];
    }
#ifdef __SSE2__
    for (; xc + 8 <= columns; xc += 8) {
      const __m128i both = _mm_shuffle_epi32(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(cb_base + offsets[xc])),
          _MM_SHUFFLE(3, 1, 2, 0));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(cb + xc), both);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(cr + xc), _mm_unpackhi_epi64(both, both));
    }
#endif
    for (; xc < columns; ++xc) {
      cb[xc] = cb_base[offsets[xc]];
      cr[xc] = cb_base[offsets[xc] + kCrAfterCb];
    }
    return;
  }
  for (int xc = 0; xc < columns; ++xc) {
    const int64_t at = offsets[xc] + line;
    cb[xc] = at < end ? bytes[at] : kMissingChroma;
    cr[xc] = at + kCrAfterCb < end ? bytes[at + kCrAfterCb] : kMissingChroma;
  }
}

// Asks for the samples of a later line pair of the same band while this one is converted:
// each pair reads a little from every tile across the frame, a pattern the processor does not
// foresee on its own.
void PrefetchLinePair(const uint8_t* bytes, int64_t end, const Band& band, int y) {
  const int64_t luma_line = LumaLinePart(y);
  if (band.luma_last + luma_line + kTileSide < end) {
    // Both lines of the pair lie side by side: 64 bytes per run.
    for (const LumaRun& run : band.luma_runs) {
      const uint8_t* at = bytes + run.offset + luma_line;
      __builtin_prefetch(at);
      __builtin_prefetch(at + 2 * kTileSide - 1);
    }
  }
  const int64_t chroma_line = ChromaLinePart(y);
  if (band.cb_last + chroma_line + kCrAfterCb < end) {
    // A tile line holds sixteen columns of Cb and Cr.
    for (size_t xc = 0; xc < band.cb.size(); xc += 16) {
      const uint8_t* at = bytes + band.cb[xc] + chroma_line;
      __builtin_prefetch(at);
      __builtin_prefetch(at + kTileSide - 1);
    }
  }
}

}  // namespace

QImage ConvertCapture(const uint8_t* bytes, qsizetype length, int width, int height,
                      ColourPath path) {
  if (width < 1 || height < 1 || width > kMaxCaptureSide || height > kMaxCaptureSide) return {};
  QImage picture(width, height, QImage::Format_RGB888);
  if (picture.isNull()) return {};
  const int64_t end = bytes ? std::clamp<int64_t>(length, 0, kMaxCaptureBytes) : 0;
  const bool vector = path == ColourPath::kFastest && capture_lines::Avx2Available();

  // An odd width lets the last pixel reach one chroma column past width / 2.
  const int chroma_columns = (width + 1) / 2;
  Band band;
  band.cb.resize(chroma_columns);
  std::vector<uint8_t> luma0(width + capture_lines::kPadding);
  std::vector<uint8_t> luma1(width + capture_lines::kPadding);
  std::vector<uint8_t> cb(chroma_columns + capture_lines::kPadding, kMissingChroma);
  std::vector<uint8_t> cr(chroma_columns + capture_lines::kPadding, kMissingChroma);

  // Each chroma line serves two picture lines, which always lie in the same band.
  for (int y = 0; y < height; y += 2) {
    if (y % kTileSide == 0) FillBand(width, chroma_columns, y / kTileSide, &band);
    if (y + kPrefetchLines < height && (y + kPrefetchLines) / kTileSide == y / kTileSide)
      PrefetchLinePair(bytes, end, band, y + kPrefetchLines);
    GatherChroma(bytes, end, band, ChromaLinePart(y), chroma_columns, cb.data(), cr.data());
    const bool second = y + 1 < height;
    uint8_t* out0 = picture.scanLine(y);
    uint8_t* out1 = second ? picture.scanLine(y + 1) : nullptr;
    const int64_t line0 = LumaLinePart(y);
    const int64_t line1 = second ? LumaLinePart(y + 1) : line0;
    if (vector && band.even_runs && band.luma_last + line1 < end) {
      // Luma straight from its tile runs, each run a stretch of both lines.
      capture_lines::ColourRunPairAvx2(
          bytes + line0, second ? bytes + line1 : nullptr, band.luma_runs.data(),
          static_cast<int>(band.luma_runs.size()), cb.data(), cr.data(), out0, out1);
      continue;
    }
    GatherLuma(bytes, end, band, line0, luma0.data());
    if (second) GatherLuma(bytes, end, band, line1, luma1.data());
    if (vector) {
      capture_lines::ColourLinePairAvx2(luma0.data(), second ? luma1.data() : nullptr, cb.data(),
                                        cr.data(), width, out0, out1);
      continue;
    }
    capture_lines::ColourLinePortable(luma0.data(), cb.data(), cr.data(), width, out0);
    if (second) capture_lines::ColourLinePortable(luma1.data(), cb.data(), cr.data(), width, out1);
  }
  return picture;
}

QImage ConvertCapture(const QByteArray& bytes, int width, int height) {
  return ConvertCapture(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(), width,
                        height);
}

QSize PictureAreaSize(PictureFormat format, QSize picture) {
  switch (format) {
    case PictureFormat::kWide16x9:
      return {1024, 576};
    case PictureFormat::kStandard4x3:
      return {720, 576};
    case PictureFormat::kOriginal:
      break;
  }
  return picture;
}

QImage ScaleForFormat(const QImage& picture, PictureFormat format) {
  if (picture.isNull()) return {};
  const QSize area = PictureAreaSize(format, picture.size());
  QImage shown = area == picture.size()
                     ? picture
                     : picture.scaled(area, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return shown.format() == QImage::Format_RGB888 ? shown
                                                 : shown.convertToFormat(QImage::Format_RGB888);
}

QImage MakeShownPicture(const QByteArray& bytes, const PictureOptions& options) {
  return ScaleForFormat(ConvertCapture(bytes, options.capture_width, options.capture_height),
                        options.format);
}

}  // namespace tornavo
