#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <tuple>

#include "core/channels/test_images.h"
#include "tornavo_process.h"

namespace tornavo {
namespace {

using testing::RunTornavo;

class ChannelsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  QString Write(const QString& name, const QByteArray& bytes) {
    testing::WriteFile(Path(name), bytes);
    return Path(name);
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QByteArray Read(const QString& name) const { return testing::ReadFile(Path(name)); }
  testing::RunResult Run(QStringList arguments) {
    arguments << "--ini-dir" << dir_.path();
    return RunTornavo(arguments);
  }
  // Data rows of the channel table of a listing.
  static QStringList ChannelLines(const QString& listing) {
    return listing.left(listing.indexOf("\r\n\r\n")).split("\r\n").mid(1);
  }

  QTemporaryDir dir_;
};

TEST_F(ChannelsCommandTest, ListPrintsBothTablesInTheTextExportForm) {
  const QString image = Write(
      "list.bin", test::FlashImage(test::NumberedChannels(3, 2), test::NumberedTransponders(2)));
  const auto listed = Run({"channels", "list", image});
  ASSERT_EQ(listed.exit_code, 0) << listed.err.toStdString();
  EXPECT_TRUE(
      listed.out.startsWith("\tNOMBRE\tTRSP\tSID\tVPID\tAPID\tVECM\tAECM\tPCR\tSTA\tSAT\t\r\n"
                            "1\tCH1\t1\t1\t1001\t101\t0\t0\t100\t04\tA\t\r\n"));
  EXPECT_TRUE(
      listed.out.contains("\r\n\r\n\tFREC\tTRSP\tNET\tFEC\tPOL\tSR\t22KHz\tCAN\tBANDA\tSAT"
                          "\t\r\n1\t1951000\t1\t1\t3/4\tV\t00\tOff\t1\tKu\tA\t\r\n"));

  // Table sizes and satellite names come from the settings folder.
  Write("Tornavo.ini", "[TForm1]\r\nNumCanales=1\r\nNumTransp=1\r\nSat-A=Astra\r\n");
  const auto large = Run({"channels", "list", image});
  ASSERT_EQ(large.exit_code, 0) << large.err.toStdString();
  EXPECT_EQ(large.out.count("\r\n"), 2003 + 1 + 200);
  EXPECT_TRUE(large.out.contains("\tAstra\t\r\n2\tCH2\t"));

  const auto ram = Run({"channels", "list", "--ram",
                        Write("ram.bin", test::Channels(test::NumberedChannels(2, 1)))});
  ASSERT_EQ(ram.exit_code, 0);
  EXPECT_EQ(ChannelLines(ram.out)[1], "2\tCH2\t1\t2\t1002\t101\t0\t0\t100\t04\t\t");

  // The same table exported: text or HTML, never both.
  ASSERT_EQ(Run({"channels", "export", image, Path("t.txt"), "--txt", "--transponders"}).exit_code,
            0);
  EXPECT_TRUE(Read("t.txt").startsWith("\tFREC\t"));
  ASSERT_EQ(Run({"channels", "export", image, Path("c.htm"), "--html"}).exit_code, 0);
  EXPECT_TRUE(Read("c.htm").contains("<td align=left bgcolor=#F5E2AF>CH3</td>"));
  EXPECT_EQ(Run({"channels", "export", image, Path("x"), "--txt", "--html"}).exit_code, 2);
}

TEST_F(ChannelsCommandTest, SeveralSectionsNeedAChoice) {
  QByteArray bytes = test::FlashImage(test::NumberedChannels(3, 1), test::NumberedTransponders(1),
                                      0x30100, 0x50000, 0x80000);
  test::PutSection(bytes, 0x10000, kChannelTag, test::Channels(test::NumberedChannels(5, 1)),
                   kChannelRecordSize, 999);
  const QString image = Write("two.bin", bytes);
  const auto refused = Run({"channels", "list", image});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_TRUE(refused.out.isEmpty());
  EXPECT_TRUE(refused.err.contains("010000, 030100")) << refused.err.toStdString();
  const auto chosen = Run({"channels", "list", image, "--section-tcs", "30100"});
  ASSERT_EQ(chosen.exit_code, 0) << chosen.err.toStdString();
  EXPECT_TRUE(ChannelLines(chosen.out)[3].startsWith("4\t\t0\t"));
}

TEST_F(ChannelsCommandTest, EditAppliesOperationsInOrderAndSaves) {
  const QString image = Write(
      "list.bin", test::FlashImage(test::NumberedChannels(20, 10), test::NumberedTransponders(10)));
  const QString added =
      Write("add.bin", test::FlashImage(test::NumberedChannels(2, 2), test::NumberedTransponders(2),
                                        0x100, 0x10000, 0x20000));
  const auto edited = Run(QStringList{"channels", "edit", image, Path("out.bin")} +
                          QString("move-channels 5-7:2 delete-transponders 1 copy-channels 1-2 "
                                  "paste-channels 10 encrypt 1-1:40 move-transponders 9:1 add")
                              .split(' ') +
                          QStringList{added, "tcs-block", "1F0000"});
  ASSERT_EQ(edited.exit_code, 0) << edited.err.toStdString();
  const auto listed = Run({"channels", "list", Path("out.bin")});
  ASSERT_EQ(listed.exit_code, 0) << listed.err.toStdString();
  const QStringList lines = ChannelLines(listed.out);
  // Transponder 1 went with CH1 and CH11; the other references dropped by one, then rose by
  // one when the last transponder in use moved to row 1.
  EXPECT_TRUE(lines[0].startsWith("1\tCH5\t5\t5\t1005\t101\t0\t0\t100\t44\t"));
  EXPECT_TRUE(lines[8].startsWith("9\tCH10\t1\t"));
  // The copies pasted at row 10 keep their references.
  EXPECT_TRUE(lines[9].startsWith("10\tCH5\t5\t5\t1005\t101\t0\t0\t100\t04\t"));
  // The added file's channels follow on transponders 10 and 11.
  EXPECT_TRUE(lines[21].startsWith("22\tCH2\t11\t"));
  EXPECT_EQ(Read("out.bin").mid(0x1F0020, 3), "TCS");
}

// A save that would overwrite a live table, a paste that would push a named row off the end and
// bad operations write nothing and exit 2 (the save-safety tests hold the other refusals).
TEST_F(ChannelsCommandTest, RefusedEditsExitTwoAndWriteNothing) {
  Write("Tornavo.ini", "[TForm1]\r\nNumCanales=1\r\n");
  const auto channels = test::NumberedChannels(989, 5);
  const QByteArray good = test::FlashImage(channels, test::NumberedTransponders(5));
  auto dangling = test::NumberedChannels(3, 2);
  dangling[2].transponder = 99;  // an empty row, but named: a paste may not push it off
  const std::tuple<QByteArray, QString, const char*> cases[] = {
      {test::FlashImage(channels, test::NumberedTransponders(5), 0, 0x7556), "", "No se ha "},
      {test::FlashImage(dangling, test::NumberedTransponders(2)),
       "copy-transponders 1-2 paste-transponders 3", "No se ha "},
      {good, "move-channels 3-1:2", ""},
      {good, "move-channels 1-5:99999", "99999"},
      {good, "move-transponders 1:0", "target row 0"},
      {good, "delete-channels 2-99999", "rows '2-99999' of delete-channels go past the table"},
      {good, "copy-transponders 4-99999", "copy-transponders go past"},
      {good, "encrypt 3-99999:40", "encrypt go past"},
      {good, "paste-channels 99999", "paste-channels go past"},
      {good, "paste-channels 1", ""},
      {good, "frobnicate 1", ""},
      {good, "tpt-block 400000", "400000"}};
  for (const auto& [image, operations, said] : cases) {
    const auto refused =
        Run(QStringList{"channels", "edit", Write("in.bin", image), Path("out.bin")} +
            operations.split(' ', Qt::SkipEmptyParts));
    EXPECT_EQ(refused.exit_code, 2) << operations.toStdString();
    EXPECT_TRUE(refused.err.contains(said)) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.bin")));
  }
}

}  // namespace
}  // namespace tornavo
