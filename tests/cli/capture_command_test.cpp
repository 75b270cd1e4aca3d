#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <tuple>

#include "core/capture/reference_capture.h"
#include "tornavo_process.h"

namespace tornavo {
namespace {

using testing::RunResult;
using testing::RunTornavo;

class CaptureCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::WriteFile(Path("bars.bin"), testing::BarsFrame(720)); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  // Converts the colour-bar capture into `out`.
  RunResult Convert(const QString& out, const QStringList& options = {}) const {
    return RunTornavo(QStringList{"capture", "convert", Path("bars.bin"), Path(out)} + options);
  }
  QTemporaryDir dir_;
};

TEST_F(CaptureCommandTest, WritesEachFormatAndType) {
  using Case = std::tuple<QStringList, const char*, QByteArray, QSize>;
  for (auto [options, name, format, size] : {
           Case{{}, "default.bmp", "jpeg", {720, 576}},  // the extension does not decide
           Case{{"--format", "16:9", "--type", "bmp"}, "wide.bmp", "bmp", {1024, 576}},
           Case{{"--size", "352", "--format", "original"}, "narrow.jpg", "jpeg", {352, 576}},
           Case{{"--size", "352", "--format", "4:3", "--type", "jpg"},
                "stretched.jpg",
                "jpeg",
                {720, 576}},
       }) {
    SCOPED_TRACE(name);
    const RunResult run = Convert(name, options);
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    QImageReader reader(Path(name));
    EXPECT_EQ(reader.format(), format);
    EXPECT_EQ(reader.read().size(), size);
  }
}

TEST_F(CaptureCommandTest, RefusesBadInputAndOptions) {
  const RunResult missing = RunTornavo({"capture", "convert", Path("missing.bin"), Path("x.jpg")});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_TRUE(missing.err.contains("No such file or directory")) << missing.err.toStdString();
  for (const QStringList& options :
       {QStringList{"--size", "600"}, QStringList{"--format", "5:4"}, QStringList{"--type", "png"},
        QStringList{"--quality", "0"}, QStringList{"--quality", "101"}, QStringList{"--bogus"}}) {
    SCOPED_TRACE(options.join(' ').toStdString());
    const RunResult run = Convert("x.jpg", options);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_FALSE(run.err.isEmpty());
  }
  EXPECT_FALSE(QFile::exists(Path("x.jpg")));
  EXPECT_EQ(RunTornavo({"capture", "convert", Path("bars.bin")}).exit_code, 2);
  EXPECT_EQ(RunTornavo({"capture", "show", Path("bars.bin"), Path("x.jpg")}).exit_code, 2);
  EXPECT_EQ(RunTornavo({"capture", "--help"}).exit_code, 0);
}

}  // namespace
}  // namespace tornavo
