#include "core/capture/convert_capture.h"

#include <algorithm>
#include <vector>

#include "core/capture/frame_layout.h"
#include "core/capture/ycbcr.h"

namespace tornavo {

namespace {

constexpr uint8_t kMissingLuma = 16;
constexpr uint8_t kMissingChroma = 128;

// Offsets of one 32-line band, per pixel column; a line adds its own part.
struct BandOffsets {
  std::vector<int64_t> luma;  // luma sample of column x, line 0 of the band
  std::vector<int64_t> cb;    // Cb sample of column x div 2, chroma line 0 of the band
  int64_t luma_max = 0;
  int64_t cb_max = 0;
};

void FillBand(int width, int band, BandOffsets* offsets) {
  offsets->luma_max = 0;
  offsets->cb_max = 0;
  for (int x = 0; x < width; ++x) {
    const int64_t luma = LumaOffset(width, x, band * kTileSide);
    const int64_t cb = CbOffset(width, x / 2, band * 16);
    offsets->luma[x] = luma;
    offsets->cb[x] = cb;
    offsets->luma_max = std::max(offsets->luma_max, luma);
    offsets->cb_max = std::max(offsets->cb_max, cb);
  }
}

// Within a band, the line's share of the offsets (the band's first line has 0).
int64_t LumaLinePart(int y) { return kTileSide * (y % kTileSide); }
int64_t ChromaLinePart(int y) {
  const int yi = (y / 2) % 16;
  return kTileSide * (16 * (yi / 8) + yi % 8);
}

// A line whose samples all lie below the end of the input needs no checks.
void ConvertLineUnchecked(const uint8_t* bytes, const BandOffsets& band, int64_t luma_line,
                          int64_t chroma_line, int width, const YCbCrConverter& converter,
                          uint8_t* out) {
  const int64_t* luma = band.luma.data();
  const int64_t* cb = band.cb.data();
  const uint8_t* luma_base = bytes + luma_line;
  const uint8_t* cb_base = bytes + chroma_line;
  const uint8_t* cr_base = cb_base + kCrAfterCb;
  for (int x = 0; x < width; ++x) {
    const Rgb rgb = converter.Convert(luma_base[luma[x]], cb_base[cb[x]], cr_base[cb[x]]);
    out[0] = rgb.r;
    out[1] = rgb.g;
    out[2] = rgb.b;
    out += 3;
  }
}

void ConvertLineChecked(const uint8_t* bytes, int64_t end, const BandOffsets& band,
                        int64_t luma_line, int64_t chroma_line, int width,
                        const YCbCrConverter& converter, uint8_t* out) {
  auto sample = [bytes, end](int64_t offset, uint8_t missing) {
    return offset < end ? bytes[offset] : missing;
  };
  for (int x = 0; x < width; ++x) {
    const int64_t cb = band.cb[x] + chroma_line;
    const Rgb rgb =
        converter.Convert(sample(band.luma[x] + luma_line, kMissingLuma),
                          sample(cb, kMissingChroma), sample(cb + kCrAfterCb, kMissingChroma));
    out[0] = rgb.r;
    out[1] = rgb.g;
    out[2] = rgb.b;
    out += 3;
  }
}

}  // namespace

QImage ConvertCapture(const uint8_t* bytes, qsizetype length, int width, int height) {
  if (width < 1 || height < 1 || width > kMaxCaptureSide || height > kMaxCaptureSide) return {};
  QImage picture(width, height, QImage::Format_RGB888);
  if (picture.isNull()) return {};
  const int64_t end = bytes ? std::clamp<int64_t>(length, 0, kMaxCaptureBytes) : 0;
  const YCbCrConverter& converter = YCbCrConverter::Get();

  BandOffsets band;
  band.luma.resize(width);
  band.cb.resize(width);
  for (int y = 0; y < height; ++y) {
    if (y % kTileSide == 0) FillBand(width, y / kTileSide, &band);
    const int64_t luma_line = LumaLinePart(y);
    const int64_t chroma_line = ChromaLinePart(y);
    uint8_t* out = picture.scanLine(y);
    if (band.luma_max + luma_line < end && band.cb_max + chroma_line + kCrAfterCb < end)
      ConvertLineUnchecked(bytes, band, luma_line, chroma_line, width, converter, out);
    else
      ConvertLineChecked(bytes, end, band, luma_line, chroma_line, width, converter, out);
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
