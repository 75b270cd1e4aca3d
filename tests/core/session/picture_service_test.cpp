// The picture service: captures taken with the options as they stand, capture files opened,
// the held picture saved, and every failure leaving the held picture as it was.
#include "core/session/picture_service.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <tuple>

#include "core/capture/convert_capture.h"
#include "core/capture/jpeg_encoder.h"
#include "core/capture/reference_capture.h"
#include "core/runtime/text_file.h"

namespace tornavo {
namespace {

struct PictureServiceTest : ::testing::Test {
  QByteArray ReadAll(const QString& name) {
    QFile file(dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  bool Save(const QString& name, PictureFileType type) {
    return pictures.SavePicture(dir.filePath(name), type, &error);
  }

  QTemporaryDir dir;
  PictureService pictures;
  // Colour bars under a black band, so that neither flip nor mirror gives the same picture.
  const QByteArray bars = testing::BarsFrame(720).replace(0, 23040, QByteArray(23040, '\0'));
  QString error;
};

TEST_F(PictureServiceTest, TakesCapturesAndKeepsThePictureOnEveryFailure) {
  for (auto [width, format, size] : {std::tuple{720, PictureFormat::kStandard4x3, QSize(720, 576)},
                                     {352, PictureFormat::kOriginal, QSize(352, 576)},
                                     {352, PictureFormat::kWide16x9, QSize(1024, 576)}}) {
    pictures.options().capture_width = width;
    pictures.options().format = format;
    ASSERT_TRUE(pictures.TakeCapture(bars, &error));
    EXPECT_EQ(pictures.picture().size(), size);
    EXPECT_EQ(pictures.picture(), MakeShownPicture(bars, pictures.options()));
  }
  const QImage held = pictures.picture();
  pictures.options().capture_width = 0;
  EXPECT_FALSE(pictures.TakeCapture(bars, &error));
  EXPECT_EQ(error, "No picture can be made at a capture size of 0 x 576.");
  pictures.options().capture_width = 720;
  for (const QString& path : {dir.filePath("missing.bin"), dir.path()}) {
    error.clear();
    EXPECT_FALSE(pictures.OpenCaptureFile(path, &error));
    EXPECT_TRUE(error.startsWith(path + ": ")) << error.toStdString();
  }
  EXPECT_EQ(pictures.picture(), held);
}

// BMP holds the picture as it is; JPEG is encoded at the options' quality.
TEST_F(PictureServiceTest, SavesTheHeldPictureByTypeAndQuality) {
  EXPECT_FALSE(Save("nothing.bmp", PictureFileType::kBmp));
  ASSERT_TRUE(WriteFileAtomically(dir.filePath("bars.bin"), bars, &error));
  pictures.options().format = PictureFormat::kWide16x9;
  pictures.options().jpeg_quality = 40;
  ASSERT_TRUE(pictures.OpenCaptureFile(dir.filePath("bars.bin"), &error));
  ASSERT_TRUE(Save("picture.bmp", PictureFileType::kBmp));
  ASSERT_TRUE(Save("picture.bmp.jpg", PictureFileType::kJpeg));
  EXPECT_EQ(QImage(dir.filePath("picture.bmp")).convertToFormat(QImage::Format_RGB888),
            pictures.picture());
  QByteArray jpeg;
  ASSERT_TRUE(EncodeJpeg(pictures.picture(), 40, &jpeg, &error));
  EXPECT_EQ(ReadAll("picture.bmp.jpg"), jpeg);
  EXPECT_FALSE(Save("no/such/folder/x.jpg", PictureFileType::kJpeg));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace tornavo
