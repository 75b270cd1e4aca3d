#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <utility>

#include "sim/channel_tables.h"
#include "sim/default_eeprom.h"
#include "sim/trap_stand_in.h"
#include "tornavo_process.h"

namespace {

// The 0x7600 bytes a RAM dump reads: the table, then the zeroed RAM behind it.
QByteArray RamDump() {
  QByteArray bytes = tornavo::sim::BuildRamChannelTable();
  bytes.append(QByteArray(0x7600 - bytes.size(), '\0'));
  return bytes;
}

using tornavo::testing::Lines;
using tornavo::testing::ReadFile;
using tornavo::testing::RunTornavo;
using tornavo::testing::WriteFile;

TEST(JtagCommandTest, IdcodeNamesTheVirtualCpuAndExitsByWhatItFound) {
  QTemporaryDir ini;
  const auto named =
      RunTornavo({"jtag", "idcode", "--parallel", "virtual", "--ini-dir", ini.path()});
  ASSERT_EQ(named.exit_code, 0) << named.err.toStdString();
  EXPECT_TRUE(Lines(named.out).contains("Tipo de CPU : STi5510")) << named.out.toStdString();

  // A code that names no CPU is a failure: said on stderr as well as in the log.
  for (const auto& [fault, said] : {std::pair{"jtag-none", "¡Código de CPU erroneo!"},
                                    std::pair{"jtag-tdo-low", "¡Código de CPU desconocido!"}}) {
    const auto unnamed = RunTornavo(
        {"jtag", "idcode", "--parallel", "virtual", "--fault", fault, "--ini-dir", ini.path()});
    EXPECT_EQ(unnamed.exit_code, 4) << fault;
    EXPECT_TRUE(unnamed.out.contains(QString::fromUtf8(said))) << unnamed.out.toStdString();
    EXPECT_TRUE(unnamed.err.contains(QString::fromUtf8(said))) << unnamed.err.toStdString();
  }
  // A value the fault does not take is named as such, not blamed on the port.
  const auto bad_value = RunTornavo({"jtag", "idcode", "--parallel", "virtual", "--fault",
                                     "jtag-short-read:6", "--ini-dir", ini.path()});
  EXPECT_EQ(bad_value.exit_code, 2);
  EXPECT_TRUE(bad_value.err.contains("'jtag-short-read:6'")) << bad_value.err.toStdString();
  EXPECT_FALSE(bad_value.err.contains("need --parallel virtual")) << bad_value.err.toStdString();

  const auto no_port = RunTornavo(
      {"jtag", "idcode", "--parallel", "ppdev:/nonexistent/parport9", "--ini-dir", ini.path()});
  EXPECT_EQ(no_port.exit_code, 5);
  EXPECT_TRUE(no_port.err.contains("/nonexistent/parport9")) << no_port.err.toStdString();

  EXPECT_EQ(RunTornavo({"jtag", "idcode", "--parallel", "lpt9"}).exit_code, 2);
  EXPECT_EQ(RunTornavo({"jtag", "reset"}).exit_code, 2);
}

// "jtag dump" on the virtual target into out, with dir as the settings folder.
tornavo::testing::RunResult Dump(const QTemporaryDir& dir, const QString& out,
                                 const QStringList& more) {
  return RunTornavo(
      QStringList{"jtag", "dump", "--parallel", "virtual", "-o", out, "--ini-dir", dir.path()} +
      more);
}
QStringList Range(const char* source, const QString& address, const QString& length) {
  return {"--source", source, "--address", address, "--length", length};
}

// A settings folder whose channel-list chip is 2 MiB at the given start.
void WriteFlashSettings(const QTemporaryDir& dir, const char* start) {
  WriteFile(
      dir.filePath("Tornavo.ini"),
      QByteArray("[TForm1]\r\nFlashIC0=Chip2M\r\nFlash2Type=0\r\nFlash2Start=") + start + "\r\n");
  WriteFile(dir.filePath("Chip2M.ini"), "[Chip2M]\r\nNumBlocks=1\r\nblock0=0\r\nblock1=200000\r\n");
}

// Each source lands in its file: an EEPROM range in a whole image, erased bytes around it;
// the channel tables as the loaders accept them; the screen as a picture.
TEST(JtagCommandTest, DumpsWriteWhatEachSourceHolds) {
  QTemporaryDir dir;
  WriteFlashSettings(dir, "7FE00000");
  const QString out = dir.filePath("out.bin");
  const auto eeprom = Dump(dir, out, Range("eeprom", "700", "100"));
  ASSERT_EQ(eeprom.exit_code, 0) << eeprom.err.toStdString();
  const auto chip = tornavo::sim::BuildDefaultEeprom();
  EXPECT_EQ(ReadFile(out),
            QByteArray(0x700, '\xFF') +
                QByteArray(reinterpret_cast<const char*>(chip.data()) + 0x700, 0x100));

  ASSERT_EQ(Dump(dir, out, Range("ram", "401289A0", "7600")).exit_code, 0);
  EXPECT_EQ(ReadFile(out), RamDump());
  ASSERT_EQ(Dump(dir, out, Range("file", "401289A0", "100")).exit_code, 0);
  EXPECT_EQ(ReadFile(out), RamDump().left(0x100));
  const auto flash = Dump(dir, out, Range("flash", "7FE00000", "50000"));
  ASSERT_EQ(flash.exit_code, 0) << flash.err.toStdString();
  // Said once: the success is its own log line.
  EXPECT_EQ(flash.out.count(QString::fromUtf8("¡ Firmware leído con éxito !")), 1);
  EXPECT_EQ(ReadFile(out), tornavo::sim::BuildFlashChannelImage());

  const QString screen = dir.filePath("screen.bmp");
  ASSERT_EQ(Dump(dir, screen, Range("image", "C00D0000", "98000")).exit_code, 0);
  const QImage picture(screen);
  // The default format is 4:3, 720 x 576: the first bar white to the bottom, the last black.
  EXPECT_EQ(picture.size(), QSize(720, 576));
  EXPECT_GT(qGray(picture.pixel(45, 288)), 170);
  EXPECT_GT(qGray(picture.pixel(45, 570)), 170);
  EXPECT_LT(qGray(picture.pixel(675, 288)), 20);
  EXPECT_EQ(Dump(dir, dir.filePath("screen.png"), Range("image", "C00D0000", "98000")).exit_code,
            2);
}

// The cable reads whole words: a range that is not is widened to them, and says so; one that
// cannot be read at all is refused with the nearest one that can, and nothing is written.
TEST(JtagCommandTest, DumpRangesAreReadAsAskedWidenedOrRefused) {
  QTemporaryDir dir;
  const QString out = dir.filePath("dump.bin");
  struct Widened {
    const char* address;
    const char* length;
    qint64 size;
    const char* note;  // "" when the range is read as asked
  };
  for (const Widened& c :
       {Widened{"40000003", "12", 0x18, "from 40000000"}, Widened{"40000000", "1", 4, "4 bytes"},
        Widened{"40000000", "100", 0x100, ""}}) {
    const auto result = Dump(dir, out, Range("file", c.address, c.length));
    ASSERT_EQ(result.exit_code, 0) << c.address << " " << c.length << result.err.toStdString();
    EXPECT_EQ(QFileInfo(out).size(), c.size) << c.address << " " << c.length;
    EXPECT_EQ(result.err.contains("whole words"), *c.note != 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(c.note)) << result.err.toStdString();
  }
  QFile::remove(out);
  struct Refused {
    const char* address;
    const char* length;
    const char* source;
    const char* nearest;  // "" when there is none
  };
  for (const Refused& c : {Refused{"40000000", "FFFFFFFF", "file", "--length FFFFFC"},
                           Refused{"40000000", "0", "file", "--length 4"},
                           Refused{"FFFFFFF0", "100", "file", "--address FFFFFFF0 --length 10"},
                           Refused{"-1", "100", "file", ""},
                           Refused{"700", "104", "eeprom", "--address 700 --length 100"}}) {
    const auto result = Dump(dir, out, Range(c.source, c.address, c.length));
    EXPECT_EQ(result.exit_code, 2) << c.address << " " << c.length;
    EXPECT_TRUE(result.err.contains(c.nearest)) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(out)) << c.address << " " << c.length;
  }
  // Fifteen blocks: the progress shows their end once.
  const auto progress = Dump(dir, out, Range("file", "40000000", "F00") << "--progress");
  ASSERT_EQ(progress.exit_code, 0);
  EXPECT_EQ(progress.err.count("3840/3840"), 1) << progress.err.toStdString();
}

// Refused ranges and sources exit 2, failures on the cable 4; the file held is kept. Which
// ranges each source takes, and a chip without tables, are the engine's and the hand-over's.
TEST(JtagCommandTest, DumpFailuresGiveTheirExitStatusAndWriteNothing) {
  QTemporaryDir dir;
  const QString out = dir.filePath("kept.bin");
  WriteFile(out, "held before");
  WriteFlashSettings(dir, "60000000");  // erased: read in full, but there are no tables in it
  struct Case {
    QStringList options;
    int exit_code;
    const char* said;
  };
  for (const Case& c :
       {Case{Range("eeprom", "0", "800") << "--fault"
                                         << "jtag-trap-silent",
             4, "error en la dirección :  00000000"},
        Case{Range("eeprom", "0", "800") << "--trap" << dir.filePath("nowhere/trap.bin"), 4,
             "nowhere/trap.bin"},
        Case{Range("rom", "401289A0", "7600"), 2, ""},
        Case{Range("flash", "5FFFFFFC", "50000"), 2, "¡ Dirección o longitud incorrecta !"},
        Case{Range("ram", "401289A0", "7600") << "--fault"
                                              << "jtag-no-ack",
             4, ""},
        Case{Range("flash", "60000000", "50000"), 4,
             "¡ No se ha encontrado ninguna tabla de canales !"}}) {
    const auto result = Dump(dir, out, c.options);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.options.join(' ').toStdString();
    EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.said))) << result.err.toStdString();
  }
  EXPECT_EQ(ReadFile(out), "held before");

  // An output that cannot be written is refused before the dump, not after its success line.
  const auto nowhere = Dump(dir, dir.filePath("nowhere/out.bin"), Range("eeprom", "0", "800"));
  EXPECT_EQ(nowhere.exit_code, 2);
  EXPECT_TRUE(nowhere.err.contains("nowhere/out.bin")) << nowhere.err.toStdString();
  EXPECT_FALSE((nowhere.out + nowhere.err).contains("éxito")) << nowhere.out.toStdString();
}

// The virtual receiver's socket serves one port with both cables behind it: the JTAG adapter
// reaches the CPU and the EEPROM the serial side serves, and the IEEE 1284 cable still takes
// an upgrade afterwards.
TEST(JtagCommandTest, ReachesTheVirtualReceiverThroughItsParallelSocket) {
  QTemporaryDir dir;
  const QString socket = dir.filePath("lpt");
  const QByteArray chip = tornavo::testing::Pattern(2048, 3);
  WriteFile(dir.filePath("chip.bin"), chip);
  WriteFile(dir.filePath("Tornavo.ini"),
            "[TForm1]\r\nRetardoComienzo=200\r\nRetardoVerificacion=200\r\n");
  // Over a socket the tool cannot know the receiver is virtual: it is handed the stand-in.
  WriteFile(dir.filePath("stand_in.bin"), tornavo::sim::TrapStandIn());
  WriteFile(dir.filePath("fw.bin"), QByteArray(2000, '\x5A'));
  const QStringList over = {"--parallel", "socket:" + socket, "--ini-dir", dir.path()};

  tornavo::testing::BackgroundReceiver receiver(
      {"--parallel-socket", socket, "--eeprom", dir.filePath("chip.bin")});
  ASSERT_FALSE(receiver.device().isEmpty());
  const auto named = RunTornavo(QStringList{"jtag", "idcode"} + over);
  ASSERT_EQ(named.exit_code, 0) << named.err.toStdString() << named.out.toStdString();
  EXPECT_TRUE(Lines(named.out).contains("Tipo de CPU : STi5510")) << named.out.toStdString();

  const QString image = dir.filePath("eeprom.bin");
  const auto dumped =
      RunTornavo(QStringList{"jtag", "dump", "--trap", dir.filePath("stand_in.bin"), "-o", image} +
                 Range("eeprom", "700", "100") + over);
  ASSERT_EQ(dumped.exit_code, 0) << dumped.err.toStdString();
  EXPECT_EQ(ReadFile(image).mid(0x700), chip.mid(0x700));

  const auto sent = RunTornavo(QStringList{"firmware", "send", dir.filePath("fw.bin"), "--port",
                                           receiver.device(), "--no-phase2"} +
                               over);
  EXPECT_EQ(sent.exit_code, 0) << sent.err.toStdString() << sent.out.toStdString();
}

}  // namespace
