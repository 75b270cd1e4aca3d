#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include "core/app/text_file.h"
#include "core/capture/reference_capture.h"
#include "tornavo_process.h"

namespace tornavo {
namespace {

using testing::RunResult;
using testing::RunTornavo;

class CaptureCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QString error;
    ASSERT_TRUE(WriteFileAtomically(Path("bars.bin"), testing::BarsFrame(720), &error));
  }
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir_;
};

TEST_F(CaptureCommandTest, WritesEachFormatAndType) {
  struct Case {
    QStringList options;
    const char* name;
    QByteArray format;
    QSize size;
  };
  const Case cases[] = {
      {{}, "default.bmp", "jpeg", {720, 576}},  // the extension does not decide
      {{"--format", "16:9", "--type", "bmp"}, "wide.bmp", "bmp", {1024, 576}},
      {{"--size", "352", "--format", "original"}, "narrow.jpg", "jpeg", {352, 576}},
      {{"--size", "352", "--format", "4:3", "--type", "jpg"}, "stretched.jpg", "jpeg", {720, 576}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RunResult run =
        RunTornavo(QStringList{"capture", "convert", Path("bars.bin"), Path(c.name)} + c.options);
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("%1 x %2").arg(c.size.width()).arg(c.size.height())));
    QImageReader reader(Path(c.name));
    EXPECT_EQ(reader.format(), c.format);
    const QImage picture = reader.read();
    EXPECT_EQ(picture.size(), c.size);
    // The red bar is the sixth of eight.
    const QRgb red = picture.pixel(picture.width() * 11 / 16, 300);
    EXPECT_GT(qRed(red), 230);
    EXPECT_LT(qGreen(red), 25);
    EXPECT_LT(qBlue(red), 25);
  }
}

TEST_F(CaptureCommandTest, RefusesBadInputAndOptions) {
  const RunResult missing = RunTornavo({"capture", "convert", Path("missing.bin"), Path("x.jpg")});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_TRUE(missing.err.contains("No such file or directory")) << missing.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("x.jpg")));

  for (const QStringList& options :
       {QStringList{"--size", "600"}, QStringList{"--format", "5:4"}, QStringList{"--type", "png"},
        QStringList{"--quality", "0"}, QStringList{"--quality", "101"}, QStringList{"--bogus"}}) {
    SCOPED_TRACE(options.join(' ').toStdString());
    const RunResult run =
        RunTornavo(QStringList{"capture", "convert", Path("bars.bin"), Path("x.jpg")} + options);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_FALSE(QFile::exists(Path("x.jpg")));
  }
  EXPECT_EQ(RunTornavo({"capture", "convert", Path("bars.bin")}).exit_code, 1);
  EXPECT_EQ(RunTornavo({"capture", "show", Path("bars.bin"), Path("x.jpg")}).exit_code, 1);
  EXPECT_EQ(RunTornavo({"capture", "--help"}).exit_code, 0);
}

}  // namespace
}  // namespace tornavo
