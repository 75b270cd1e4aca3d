#include "core/capture/picture_file.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <cstdlib>

#include "core/app/text_file.h"
#include "core/capture/convert_capture.h"
#include "core/capture/jpeg_encoder.h"
#include "reference_capture.h"

namespace tornavo {
namespace {

// Eight vertical bars, so that a swap of red and blue or a wrong size shows.
QImage ColourBars(int width, int height) {
  const QRgb bars[] = {qRgb(255, 255, 255), qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(0, 255, 0),
                       qRgb(255, 0, 255),   qRgb(255, 0, 0),   qRgb(0, 0, 255),   qRgb(0, 0, 0)};
  QImage picture(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.setPixel(x, y, bars[x * 8 / width]);
  return picture;
}

// Largest difference of any channel between two pictures of one size.
int LargestDifference(const QImage& a, const QImage& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return largest;
}

QByteArray FileBytes(const QString& path) {
  QByteArray bytes;
  QString error;
  EXPECT_TRUE(ReadWholeFile(path, &bytes, &error)) << error.toStdString();
  return bytes;
}

class PictureFileTest : public ::testing::Test {
 protected:
  QString PathOf(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir_;
};

TEST_F(PictureFileTest, BitmapKeepsEveryPixelAt24Bits) {
  const QImage bars = ColourBars(1024, 576);
  const QString path = PathOf("bars.bmp");
  QString error;
  ASSERT_TRUE(WritePictureFile(path, bars, PictureFileType::kBmp, 100, &error))
      << error.toStdString();
  const QByteArray bytes = FileBytes(path);
  ASSERT_GE(bytes.size(), 54);
  EXPECT_TRUE(bytes.startsWith("BM"));
  EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 24);  // bits per pixel
  EXPECT_EQ(bytes.size(), 54 + 1024 * 576 * 3);

  QImageReader reader(path);
  EXPECT_EQ(reader.format(), "bmp");
  const QImage back = reader.read();
  ASSERT_EQ(back.size(), QSize(1024, 576));
  EXPECT_EQ(LargestDifference(back, bars), 0);
}

TEST_F(PictureFileTest, JpegIsColourAndSmallerAtLowQuality) {
  // A capture of noise has detail everywhere, so the quality shows in the size.
  const QImage noise = ConvertCapture(testing::RandomBytes(622592, 5), 720, 576);
  QString error;
  ASSERT_TRUE(WritePictureFile(PathOf("best.jpg"), noise, PictureFileType::kJpeg, 100, &error));
  ASSERT_TRUE(WritePictureFile(PathOf("worst.jpg"), noise, PictureFileType::kJpeg, 1, &error));
  const QByteArray best = FileBytes(PathOf("best.jpg"));
  const QByteArray worst = FileBytes(PathOf("worst.jpg"));
  EXPECT_TRUE(best.startsWith("\xFF\xD8\xFF"));
  EXPECT_LT(worst.size() * 10, best.size());

  const QImage bars = ColourBars(720, 576);
  ASSERT_TRUE(WritePictureFile(PathOf("bars.jpg"), bars, PictureFileType::kJpeg, 100, &error));

  QImageReader reader(PathOf("bars.jpg"));
  EXPECT_EQ(reader.format(), "jpeg");
  const QImage back = reader.read();
  ASSERT_EQ(back.size(), QSize(720, 576));
  EXPECT_FALSE(back.isGrayscale());
  // Away from the bar edges the colours survive; red and blue stay where they were.
  for (int bar = 0; bar < 8; ++bar) {
    const int x = bar * 90 + 45;
    EXPECT_LT(LargestDifference(back.copy(x - 8, 100, 16, 16), bars.copy(x - 8, 100, 16, 16)), 8)
        << "bar " << bar;
  }
  // Quality values outside the scale are brought to its ends.
  QByteArray below, above;
  ASSERT_TRUE(EncodeJpeg(noise, -5, &below, &error));
  ASSERT_TRUE(EncodeJpeg(noise, 1000, &above, &error));
  EXPECT_EQ(below, worst);
  EXPECT_EQ(above, best);
}

TEST_F(PictureFileTest, TheChosenTypeDecidesNotTheExtension) {
  const QImage bars = ColourBars(352, 576);
  QString error;
  ASSERT_TRUE(
      WritePictureFile(PathOf("really_bitmap.jpg"), bars, PictureFileType::kBmp, 100, &error));
  ASSERT_TRUE(
      WritePictureFile(PathOf("really_jpeg.bmp"), bars, PictureFileType::kJpeg, 100, &error));
  EXPECT_TRUE(FileBytes(PathOf("really_bitmap.jpg")).startsWith("BM"));
  EXPECT_TRUE(FileBytes(PathOf("really_jpeg.bmp")).startsWith("\xFF\xD8"));

  EXPECT_EQ(PictureFileTypeForFilter(1), PictureFileType::kBmp);
  EXPECT_EQ(PictureFileTypeForFilter(kPictureSaveJpegIndex), PictureFileType::kJpeg);
}

TEST_F(PictureFileTest, FailuresLeaveThePreviousFileWhole) {
  const QString path = PathOf("kept.bmp");
  QString error;
  ASSERT_TRUE(WriteFileAtomically(path, "previous", &error));
  EXPECT_FALSE(WritePictureFile(path, QImage(), PictureFileType::kJpeg, 100, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(WritePictureFile(path, QImage(), PictureFileType::kBmp, 100, &error));
  EXPECT_EQ(FileBytes(path), QByteArray("previous"));

  error.clear();
  EXPECT_FALSE(WritePictureFile(PathOf("no/such/folder/x.jpg"), ColourBars(16, 16),
                                PictureFileType::kJpeg, 100, &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(PictureFileTest, ConvertedCaptureSavesAtItsShownSize) {
  const QImage shown = ScaleForFormat(ConvertCapture(testing::RandomBytes(622592, 3), 720, 576),
                                      PictureFormat::kWide16x9);
  QString error;
  ASSERT_TRUE(WritePictureFile(PathOf("wide.bmp"), shown, PictureFileType::kBmp, 100, &error));
  ASSERT_TRUE(WritePictureFile(PathOf("wide.jpg"), shown, PictureFileType::kJpeg, 75, &error));
  EXPECT_EQ(QImageReader(PathOf("wide.bmp")).size(), QSize(1024, 576));
  EXPECT_EQ(QImageReader(PathOf("wide.jpg")).size(), QSize(1024, 576));
}

}  // namespace
}  // namespace tornavo
