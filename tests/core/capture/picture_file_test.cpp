#include "core/capture/picture_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include "core/capture/capture_file.h"
#include "core/capture/convert_capture.h"
#include "core/runtime/text_file.h"
#include "reference_capture.h"

namespace tornavo {
namespace {

class PictureFileTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QByteArray Bytes(const QString& name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void Write(const QString& name, const QImage& picture, PictureFileType type, int quality) {
    QString error;
    ASSERT_TRUE(WritePictureFile(Path(name), picture, type, quality, &error))
        << error.toStdString();
  }
  QTemporaryDir dir_;
  const QImage bars_ = ConvertCapture(testing::BarsFrame(720), 720, 576);
};

// The type decides, not the extension; the bitmap is 24-bit and exact, the JPEG colour.
TEST_F(PictureFileTest, WritesEachTypeReadableAtItsSize) {
  const QImage wide = ScaleForFormat(bars_, PictureFormat::kWide16x9);
  Write("wide.jpg", wide, PictureFileType::kBmp, 100);
  EXPECT_EQ(Bytes("wide.jpg").size(), 54 + 1024 * 576 * 3);  // 24 bits a pixel
  EXPECT_EQ(QImageReader(Path("wide.jpg")).read(), wide.convertToFormat(QImage::Format_RGB32));

  Write("bars.bmp", bars_, PictureFileType::kJpeg, 100);
  const QImage back = QImageReader(Path("bars.bmp")).read();
  ASSERT_EQ(back.size(), QSize(720, 576));
  for (int x = 45; x < 720; x += 90) {  // mid-bar colours survive, red and blue where they were
    const QRgb want = bars_.pixel(x, 100), got = back.pixel(x, 100);
    EXPECT_LT(std::abs(qRed(want) - qRed(got)) + std::abs(qGreen(want) - qGreen(got)) +
                  std::abs(qBlue(want) - qBlue(got)),
              12)
        << "column " << x;
  }
  // Noise has detail everywhere, so the quality shows in the size; -5 is brought to 1.
  const QImage noise = ConvertCapture(testing::RandomBytes(622592, 5), 720, 576);
  Write("best.jpg", noise, PictureFileType::kJpeg, 100);
  Write("worst.jpg", noise, PictureFileType::kJpeg, -5);
  EXPECT_LT(Bytes("worst.jpg").size() * 10, Bytes("best.jpg").size());
}

TEST_F(PictureFileTest, FailuresLeaveThePreviousFileWhole) {
  QString error;
  ASSERT_TRUE(WriteFileAtomically(Path("kept.bmp"), "previous", &error));
  for (PictureFileType type : {PictureFileType::kJpeg, PictureFileType::kBmp}) {
    error.clear();
    EXPECT_FALSE(WritePictureFile(Path("kept.bmp"), QImage(), type, 100, &error));
    EXPECT_FALSE(error.isEmpty());
  }
  EXPECT_EQ(Bytes("kept.bmp"), QByteArray("previous"));
  EXPECT_FALSE(
      WritePictureFile(Path("no/such/folder/x.jpg"), bars_, PictureFileType::kJpeg, 100, &error));
  EXPECT_TRUE(error.contains("x.jpg"));
}

TEST_F(PictureFileTest, CaptureFilesReadNoMoreThanAFrameUses) {
  QString error;
  const QByteArray big = testing::RandomBytes(700000, 11);
  ASSERT_TRUE(WriteFileAtomically(Path("big.bin"), big, &error));
  QByteArray read;
  ASSERT_TRUE(ReadCaptureFile(Path("big.bin"), &read, &error));
  EXPECT_EQ(read, big.left(640000));
  EXPECT_FALSE(ReadCaptureFile(Path("missing.bin"), &read, &error));
  EXPECT_TRUE(error.contains("missing.bin"));
  EXPECT_FALSE(ReadCaptureFile(dir_.path(), &read, &error));  // a folder
  EXPECT_EQ(read, big.left(640000));                          // left as it was
}

}  // namespace
}  // namespace tornavo
