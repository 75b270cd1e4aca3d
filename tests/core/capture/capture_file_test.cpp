#include "core/capture/capture_file.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/app/text_file.h"
#include "core/capture/convert_capture.h"
#include "reference_capture.h"

namespace tornavo {
namespace {

TEST(CaptureFileTest, ReadsNoMoreThanCanBeUsed) {
  QTemporaryDir dir;
  const QString big = dir.filePath("big.bin");
  const QByteArray bytes = testing::RandomBytes(700000, 11);
  QString error;
  ASSERT_TRUE(WriteFileAtomically(big, bytes, &error));
  QByteArray read;
  ASSERT_TRUE(ReadCaptureFile(big, &read, &error));
  EXPECT_EQ(read, bytes.left(640000));

  const QString small = dir.filePath("small.bin");
  ASSERT_TRUE(WriteFileAtomically(small, "abc", &error));
  ASSERT_TRUE(ReadCaptureFile(small, &read, &error));
  EXPECT_EQ(read, QByteArray("abc"));

  error.clear();
  EXPECT_FALSE(ReadCaptureFile(dir.filePath("missing.bin"), &read, &error));
  EXPECT_TRUE(error.contains("missing.bin"));
  EXPECT_EQ(read, QByteArray("abc"));
  EXPECT_FALSE(ReadCaptureFile(dir.path(), &read, &error));  // a folder
  EXPECT_EQ(read, QByteArray("abc"));
}

TEST(CaptureFileTest, BarsFrameShowsItsBars) {
  const QImage picture = ConvertCapture(testing::BarsFrame(720), 720, 576);
  EXPECT_EQ(picture.pixel(45, 300), qRgb(255, 255, 255));
  EXPECT_EQ(picture.pixel(5 * 90 + 45, 300), qRgb(254, 0, 0));
  EXPECT_EQ(picture.pixel(7 * 90 + 45, 575), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace tornavo
