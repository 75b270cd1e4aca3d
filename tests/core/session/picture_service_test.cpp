#include "core/session/picture_service.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/capture/jpeg_encoder.h"
#include "core/capture/reference_capture.h"
#include "core/settings/file_bytes.h"

namespace tornavo {
namespace {

// A failed take or open leaves the held picture as it was; a save writes it as the encoder
// makes it, at the options' quality.
TEST(PictureServiceTest, KeepsThePictureOnFailureAndSavesItAtTheOptionsQuality) {
  QTemporaryDir dir;
  PictureService pictures;
  QString error;
  // Colour bars under a black band, so that neither flip nor mirror gives the same picture.
  const QByteArray bars = testing::BarsFrame(720).replace(0, 23040, QByteArray(23040, '\0'));
  pictures.options().jpeg_quality = 40;
  ASSERT_TRUE(pictures.TakeCapture(bars, &error));
  const QImage held = pictures.picture();
  EXPECT_FALSE(pictures.OpenCaptureFile(dir.path(), &error));  // a folder
  pictures.options().capture_width = 0;
  EXPECT_FALSE(pictures.TakeCapture(bars, &error));
  EXPECT_EQ(pictures.picture(), held);

  QByteArray jpeg;
  ASSERT_TRUE(EncodeJpeg(held, 40, &jpeg, &error));
  ASSERT_TRUE(pictures.SavePicture(dir.filePath("picture.bmp"), PictureFileType::kJpeg, &error));
  EXPECT_TRUE(ReadBytes(dir.filePath("picture.bmp")) == jpeg);
}

}  // namespace
}  // namespace tornavo
