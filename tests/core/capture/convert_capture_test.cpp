#include "core/capture/convert_capture.h"

#include <gtest/gtest.h>

#include "core/capture/frame_layout.h"
#include "reference_capture.h"

namespace tornavo {
namespace {

using testing::RandomBytes;
using testing::ReferenceConversion;
using testing::UniformFrame;

// Counts the pixels that are not the given grey.
int PixelsOtherThan(const QImage& picture, int grey) {
  int count = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      count += picture.pixel(x, y) != qRgb(grey, grey, grey);
  return count;
}

// Which byte serves which pixel, and the colours, are the plain conversion's below.
TEST(ConvertCaptureTest, MatchesThePlainConversionForEveryWidthAndLength) {
  const QByteArray full = RandomBytes(660000, 7);
  // The receiver's widths, and odd and small ones that end their lines pixel by pixel.
  for (int width : {352, 528, 544, 704, 720, 1, 7, 13, 350, 719}) {
    for (int length : {622592, 640000, 660000, 500000, 414720, 100000, 1, 0}) {
      SCOPED_TRACE(::testing::Message() << "width " << width << ", length " << length);
      const QByteArray bytes = full.left(length);
      const QImage expected = ReferenceConversion(bytes, width, 576);
      const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
      ASSERT_EQ(ConvertCapture(data, length, width, 576, ColourPath::kFastest), expected);
      ASSERT_EQ(ConvertCapture(data, length, width, 576, ColourPath::kPortable), expected);
    }
  }
  // Taller than a frame, so that chroma reaches past 640 000 bytes: those bytes are unused.
  // The odd height leaves the last line without a partner.
  const QImage tall = ConvertCapture(full, 720, 701);
  EXPECT_EQ(tall, ReferenceConversion(full, 720, 701));
  EXPECT_EQ(tall, ConvertCapture(full.left(640000), 720, 701));
  EXPECT_NE(tall, ConvertCapture(full.left(600000), 720, 701));
  // No bytes at all read as black, whatever length is claimed.
  EXPECT_EQ(ConvertCapture(nullptr, 622592, 720, 576), ReferenceConversion({}, 720, 576));
}

// Every luma value beside every chroma value, Cb and Cr alike, through the whole road: block
// b of 2 x 2 pixels has chroma b mod 256 and lumas 4 (b / 256) + 0...3, so 64 blocks per
// chroma value hold every luma.
TEST(ConvertCaptureTest, MatchesThePlainConversionForEverySamplePair) {
  for (int width : {720, 704}) {
    for (bool mirrored_cr : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "width " << width << ", mirrored Cr " << mirrored_cr);
      QByteArray frame(kFullFrameBytes, '\0');
      for (int y = 0; y < 576; ++y) {
        for (int x = 0; x < width; ++x) {
          const int block = (y / 2) * (width / 2) + x / 2;
          const int chroma = block % 256;
          frame[static_cast<qsizetype>(testing::ReferenceLumaOffset(width, x, y))] =
              static_cast<char>(4 * (block / 256) + x % 2 + 2 * (y % 2));
          const auto cb = static_cast<qsizetype>(testing::ReferenceCbOffset(width, x, y));
          frame[cb] = static_cast<char>(chroma);
          frame[cb + 4] = static_cast<char>(mirrored_cr ? 255 - chroma : chroma);
        }
      }
      ASSERT_EQ(ConvertCapture(frame, width, 576), ReferenceConversion(frame, width, 576));
    }
  }
}

TEST(ConvertCaptureTest, FormatsGiveTheirAreaSizes) {
  const QImage narrow = ConvertCapture(UniformFrame(235, 128), 352, 576);
  for (auto [format, size] : {std::pair{PictureFormat::kWide16x9, QSize(1024, 576)},
                              std::pair{PictureFormat::kStandard4x3, QSize(720, 576)},
                              std::pair{PictureFormat::kOriginal, QSize(352, 576)}}) {
    const QImage shown = ScaleForFormat(narrow, format);
    EXPECT_EQ(shown.size(), size);
    EXPECT_EQ(shown.format(), QImage::Format_RGB888);
    EXPECT_EQ(PictureAreaSize(format, narrow.size()), size);
    // A uniform picture stays uniform through the smooth filter.
    EXPECT_EQ(PixelsOtherThan(shown, 255), 0);
  }
  // Sizes no frame can have give no picture.
  for (QSize bad : {QSize(0, 576), QSize(-720, 576), QSize(720, 0), QSize(kMaxCaptureSide + 1, 1)})
    EXPECT_TRUE(ConvertCapture(UniformFrame(16, 128), bad.width(), bad.height()).isNull());
  EXPECT_TRUE(ScaleForFormat(QImage(), PictureFormat::kWide16x9).isNull());
}

}  // namespace
}  // namespace tornavo
