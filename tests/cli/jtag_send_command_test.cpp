#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/channels/test_images.h"
#include "core/serial/checksum.h"
#include "support/scoped_env.h"
#include "tornavo_process.h"

namespace {

using tornavo::testing::Pattern;
using tornavo::testing::ReadFile;
using tornavo::testing::RunTornavo;
using tornavo::testing::WriteFile;

// A settings folder whose two chips are described by flash type files: the firmware chip at
// 60000000 in 64 KiB blocks, the channel-list chip at 7FE00000 in 128 KiB blocks.
class JtagSendCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(Ini("Tornavo.ini"),
              "[TForm1]\r\nFlashIC0=FW64\r\nFlashIC1=CH128\r\nFlash1Type=0\r\nFlash2Type=1\r\n"
              "Flash1Start=60000000\r\nFlash2Start=7FE00000\r\nVerificarJtag=1\r\n");
    WriteType("FW64", 32, 0x10000);
    WriteType("CH128", 16, 0x20000);
  }
  QString Ini(const QString& name) const { return dir_.filePath(name); }
  void WriteType(const QString& type, int blocks, int size) {
    QByteArray text = "[" + type.toUtf8() + "]\r\nNumBlocks=" + QByteArray::number(blocks) +
                      "\r\nErasureMode=48\r\n";
    for (int k = 0; k <= blocks; ++k)
      text += "block" + QByteArray::number(k) + "=" + QByteArray::number(k * size, 16) + "\r\n";
    WriteFile(Ini(type + ".ini"), text);
  }
  // "jtag VERB" on the virtual target, with this settings folder.
  tornavo::testing::RunResult Jtag(const char* verb, const QStringList& extra) {
    return RunTornavo(QStringList{"jtag", verb, "--parallel", "virtual", "--ini-dir", dir_.path()} +
                      extra);
  }
  tornavo::testing::RunResult Send(const QStringList& extra) { return Jtag("send", extra); }
  tornavo::testing::RunResult EraseChip(const QStringList& extra) {
    return Jtag("erase-chip", extra);
  }

  QTemporaryDir dir_;
};

// How blocks are erased, compared and verified is the engine's; here the answers to a failed
// block come from the options, and each ending has its exit status.
TEST_F(JtagSendCommandTest, FileIsProgrammedAndFailedBlocksFollowOnError) {
  WriteFile(Ini("fw.bin"), Pattern(0x18000, 1));  // a block and a half
  const QStringList file = {"--source", "file", Ini("fw.bin"), "--address", "60000000"};
  const auto sent = Send(file);
  ASSERT_EQ(sent.exit_code, 0) << sent.err.toStdString();
  EXPECT_TRUE(sent.out.contains(QString::fromUtf8("¡ Datos enviados con éxito !")));
  EXPECT_TRUE(sent.out.endsWith("Cerrando LPT1\n"));

  struct Case {
    QStringList options;
    int exit_code;
    const char* said;  // on the error output, `times` times
    int times;
  };
  for (const Case& c :
       {Case{{"--fault", "jtag-program-fail:1"}, 4, "error en la dirección : 60000000", 1},
        Case{{"--fault", "jtag-program-fail:1", "--on-error", "ignore"},
             4,
             "60000000 : falló la programación\n",
             1},
        Case{{"--fault", "jtag-verify-fail:2", "--on-error", "retry:1"},
             4,
             "Error en la verificación.",
             2},
        Case{
            {"--fault", "jtag-verify-fail:2", "--no-verify"}, 0, "Error en la verificación.", 0}}) {
    const auto result = Send(file + c.options);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.options.join(' ').toStdString();
    EXPECT_EQ(result.err.count(QString::fromUtf8(c.said)), c.times) << result.err.toStdString();
  }

  for (const QStringList& bad :
       {QStringList{"--source", "file", Ini("absent.bin"), "--address", "60000000"},
        QStringList{"--source", "file", Ini("fw.bin"), "--address", "6000000G"},
        QStringList{"--source", "disk", Ini("fw.bin"), "--address", "60000000"},
        file + QStringList{"--on-error", "retry:x"}})
    EXPECT_EQ(Send(bad).exit_code, 2) << bad.join(' ').toStdString();
  const auto no_port =
      RunTornavo(QStringList{"jtag", "send", "--parallel", "ppdev:/nonexistent/parport9",
                             "--ini-dir", dir_.path()} +
                 file);
  EXPECT_EQ(no_port.exit_code, 5);
}

// Each source is read from its file and sent, or refused with what is wrong with it.
TEST_F(JtagSendCommandTest, EachSourceIsSentOrRefused) {
  using namespace tornavo;
  WriteFile(Ini("eeprom.bin"), Pattern(0x800, 3));
  WriteFile(Ini("row02.txt"), AppendChecksum("%EE=02010" + QByteArray(32, '0')));  // row 02 alone
  WriteFile(Ini("empty.txt"), "");
  WriteFile(Ini("table.ram"), QByteArray(0x7600, '\0'));
  QByteArray two = test::FlashImage(test::NumberedChannels(3, 1), test::NumberedTransponders(1),
                                    0x30100, 0x50000, 0x80000);
  test::PutSection(two, 0x10000, kChannelTag, {}, kChannelRecordSize, 999);
  WriteFile(Ini("two.bin"), two);
  struct Case {
    QStringList options;
    int exit_code;
    const char* said;  // on the output when sent, on the error output when not
  };
  const QString flash = "7FE00000";
  const char* written = "¡ Eeprom escrita con éxito !";
  const char* sent = "¡ Datos enviados con éxito !";
  for (const Case& c : {
           Case{{"eeprom", Ini("eeprom.bin"), "100", "--length", "80"}, 0, written},
           Case{{"eeprom", Ini("eeprom.bin"), "7F0", "--length", "20"},
                2,
                "¡ Dirección o longitud incorrecta !"},
           // Rows the file lacks are refused before the port, unless asked for.
           Case{{"eeprom", Ini("row02.txt"), "0", "--format", "own"},
                2,
                "defines 1 of the 128 rows to send; it lacks rows 000-010, 030-7F0. Nothing was "
                "sent"},
           Case{{"eeprom", Ini("row02.txt"), "24", "--length", "8", "--format", "own"}, 0, written},
           Case{{"eeprom", Ini("empty.txt"), "7F0", "--format", "own", "--allow-partial"},
                0,
                written},
           Case{{"ram", Ini("table.ram"), "401289A0"}, 0, sent},
           Case{{"ram", Ini("table.ram"), "3FFFFFFC"}, 2, ""},
           Case{{"flash", Ini("two.bin"), flash},
                2,
                "several TCS sections (010000, 030100); choose one with --section-tcs"},
           Case{{"flash", Ini("two.bin"), flash, "--section-tcs", "30100"}, 0, sent},
       }) {
    QStringList options = c.options;
    options.insert(0, "--source");
    options.insert(3, "--address");
    const auto result = Send(options);
    EXPECT_EQ(result.exit_code, c.exit_code) << options.join(' ').toStdString();
    EXPECT_TRUE((c.exit_code ? result.err : result.out).contains(QString::fromUtf8(c.said)))
        << result.out.toStdString() << result.err.toStdString();
  }
}

// The values themselves are the CRC block's own test; here they reach the file and the output.
TEST_F(JtagSendCommandTest, AddCrcWritesTheBlockAndPrintsTheValues) {
  const QByteArray image = Pattern(0x13FC50, 4);
  WriteFile(Ini("in.bin"), image);
  WriteFile(Ini("short.bin"), image.left(0x13FC4F));
  const auto added = RunTornavo({"jtag", "add-crc", Ini("in.bin"), Ini("out.bin")});
  ASSERT_EQ(added.exit_code, 0) << added.err.toStdString();
  const QStringList lines = tornavo::testing::Lines(added.out);
  ASSERT_EQ(lines.size(), 20);
  const QByteArray written = ReadFile(Ini("out.bin"));
  EXPECT_EQ(written.left(0x13FC00), image.left(0x13FC00));
  EXPECT_EQ(written.mid(0x13FC00).toHex().toUpper(), lines.join("").toLatin1());
  EXPECT_NE(written.mid(0x13FC00), image.mid(0x13FC00));
  EXPECT_EQ(RunTornavo({"jtag", "add-crc", Ini("short.bin"), Ini("out2.bin")}).exit_code, 2);
  EXPECT_FALSE(QFile::exists(Ini("out2.bin")));
}

// Refusing the wrong chip start and a bad flash type file is the engine's; here "--yes" and
// "--method" reach it, and the settings folder's type files describe the chips.
TEST_F(JtagSendCommandTest, EraseChipNeedsYesAndTakesItsMethod) {
  const auto warned = EraseChip({"--method", "blocks", "--address", "7FE00000"});
  EXPECT_EQ(warned.exit_code, 2);
  EXPECT_TRUE(warned.err.contains(QString::fromUtf8("¡ A T E N C I Ó N !")));
  EXPECT_TRUE(warned.out.isEmpty());
  const auto erased = EraseChip({"--method", "blocks", "--address", "7FE00000", "--yes"});
  ASSERT_EQ(erased.exit_code, 0) << erased.err.toStdString();
  EXPECT_TRUE(erased.out.contains("Borrando bloque : 7FFE0000"));  // the last of 16
  const QStringList single = {"--method", "single", "--address", "60000000", "--yes"};
  const auto one = EraseChip(single);
  EXPECT_EQ(one.exit_code, 0) << one.err.toStdString();
  EXPECT_TRUE(one.out.contains("Borrando chip : 60000000"));
  // A target that takes no byte: exit 4.
  EXPECT_EQ(EraseChip(single + QStringList{"--fault", "jtag-no-ack"}).exit_code, 4);

  // A bad flash type file stops every flash operation before the port, naming the file.
  WriteType("FW64", 0, 0x10000);
  WriteFile(Ini("fw.bin"), Pattern(0x100, 2));
  for (const auto& refused :
       {Send({"--source", "file", Ini("fw.bin"), "--address", "60000000"}),
        EraseChip({"--method", "blocks", "--address", "60000000", "--yes"})}) {
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_TRUE(refused.err.contains(QDir(dir_.path()).filePath("FW64.ini")))
        << refused.err.toStdString();
    EXPECT_FALSE(refused.out.contains("Abriendo LPT1"));
  }
}

// The file the output's "Copia de seguridad : " line names, or empty.
QString BackupNamed(const QString& out) {
  const QString start = QString::fromUtf8("Copia de seguridad : ");
  for (const QString& line : out.split('\n'))
    if (line.startsWith(start)) return line.mid(start.size());
  return {};
}

// What each copy holds, and that a copy that cannot be kept stops the write, is the engine's;
// here the copies land in the data folder and the output names them, and --no-backup or
// CopiaSeguridad=0 keeps none.
TEST_F(JtagSendCommandTest, WritesKeepACopyFirstUnlessTold) {
  QTemporaryDir data;
  tornavo::testing::ScopedEnv data_home("XDG_DATA_HOME", data.path().toUtf8());
  const QString folder = data.filePath("tornavo/backups") + "/";
  WriteFile(Ini("fw.bin"), Pattern(0x18000, 5));
  const QStringList file = {"--source", "file", Ini("fw.bin"), "--address", "60008000"};
  const auto sent = Send(file);
  ASSERT_EQ(sent.exit_code, 0) << sent.err.toStdString();
  const QString flash = BackupNamed(sent.out);
  EXPECT_TRUE(flash.startsWith(folder) && flash.endsWith("_flash-send_60000000.bin"))
      << flash.toStdString();
  EXPECT_EQ(ReadFile(flash), QByteArray(0x20000, '\xFF'));
  WriteFile(Ini("eeprom.bin"), Pattern(0x800, 6));
  const QStringList eeprom = {"--source", "eeprom", Ini("eeprom.bin"), "--address", "48",
                              "--length", "10"};
  const auto written = Send(eeprom);
  ASSERT_EQ(written.exit_code, 0) << written.err.toStdString();
  EXPECT_TRUE(BackupNamed(written.out).endsWith("_jtag-eeprom-send_00000048.txt"));

  const QString off = QString::fromUtf8("Sin copia de seguridad (desactivada)");
  for (const auto& result :
       {Send(file + QStringList{"--no-backup"}),
        EraseChip({"--method", "single", "--yes", "--address", "7FE00000", "--no-backup"})}) {
    EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(off)) << result.out.toStdString();
  }
  WriteFile(Ini("Tornavo.ini"), ReadFile(Ini("Tornavo.ini")) + "CopiaSeguridad=0\r\n");
  EXPECT_TRUE(Send(eeprom).out.contains(off));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

}  // namespace
