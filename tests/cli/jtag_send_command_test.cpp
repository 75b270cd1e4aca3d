#include <gtest/gtest.h>
#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/channels/test_images.h"
#include "core/eeprom/eeprom_files.h"
#include "sim/default_eeprom.h"
#include "sim/trap_stand_in.h"
#include "tornavo_process.h"

namespace {

using tornavo::testing::RunTornavo;

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray Pattern(int size, int seed) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 5 + seed + (i >> 9)) & 0xFF);
  return bytes;
}

// A settings folder whose two chips are described by flash type files: the firmware chip at
// 60000000 in 64 KiB blocks, the channel-list chip at 7FE00000 in 128 KiB blocks.
class JtagSendCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write(Ini("Tornavo.ini"),
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
    Write(Ini(type + ".ini"), text);
  }
  tornavo::testing::RunResult Send(QStringList extra) {
    return RunTornavo(
        QStringList{"jtag", "send", "--parallel", "virtual", "--ini-dir", dir_.path()} + extra);
  }

  QTemporaryDir dir_;
};

// How blocks are erased, compared and verified is the engine's; here the answers to a failed
// block come from the options, and each ending has its exit status.
TEST_F(JtagSendCommandTest, FileIsProgrammedAndFailedBlocksFollowOnError) {
  Write(Ini("fw.bin"), Pattern(0x18000, 1));  // a block and a half
  const QStringList file = {"--source", "file", Ini("fw.bin"), "--address", "60000000"};
  const auto sent = Send(file);
  ASSERT_EQ(sent.exit_code, 0) << sent.err.toStdString();
  EXPECT_TRUE(sent.out.contains(QString::fromUtf8("¡ Datos enviados con éxito !")));
  EXPECT_TRUE(sent.out.endsWith("Cerrando LPT1\n"));

  const auto aborted = Send(file + QStringList{"--fault", "jtag-program-fail:1"});
  EXPECT_EQ(aborted.exit_code, 4);
  EXPECT_TRUE(aborted.err.contains(QString::fromUtf8("error en la dirección : 60000000")));
  const auto ignored =
      Send(file + QStringList{"--fault", "jtag-program-fail:1", "--on-error", "ignore"});
  EXPECT_EQ(ignored.exit_code, 4) << ignored.err.toStdString();
  EXPECT_TRUE(ignored.err.endsWith(QString::fromUtf8("60000000 : falló la programación\n")));
  const auto retried =
      Send(file + QStringList{"--fault", "jtag-verify-fail:2", "--on-error", "retry:1"});
  EXPECT_EQ(retried.exit_code, 4);
  EXPECT_EQ(retried.err.count(QString::fromUtf8("Error en la verificación.")), 2);
  const auto no_verify = Send(file + QStringList{"--fault", "jtag-verify-fail:2", "--no-verify"});
  EXPECT_EQ(no_verify.exit_code, 0) << no_verify.err.toStdString();

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

TEST_F(JtagSendCommandTest, BadFlashTypeFileStopsEveryFlashOperation) {
  WriteType("FW64", 0, 0x10000);
  Write(Ini("fw.bin"), Pattern(0x100, 2));
  const auto refused = Send({"--source", "file", Ini("fw.bin"), "--address", "60000000"});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_TRUE(refused.err.contains(QDir(dir_.path()).filePath("FW64.ini")))
      << refused.err.toStdString();
  EXPECT_FALSE(refused.out.contains("Abriendo LPT1"));
  const auto erase =
      RunTornavo({"jtag", "erase-chip", "--parallel", "virtual", "--ini-dir", dir_.path(),
                  "--address", "60000000", "--method", "blocks", "--yes"});
  EXPECT_EQ(erase.exit_code, 2);
  EXPECT_TRUE(erase.err.contains("FW64.ini"));
}

TEST_F(JtagSendCommandTest, EepromAndRamTablesAreSent) {
  Write(Ini("eeprom.bin"), Pattern(0x800, 3));
  const auto eeprom =
      Send({"--source", "eeprom", Ini("eeprom.bin"), "--address", "100", "--length", "80"});
  ASSERT_EQ(eeprom.exit_code, 0) << eeprom.err.toStdString();
  EXPECT_TRUE(eeprom.out.contains(QString::fromUtf8("¡ Eeprom escrita con éxito !")));
  const auto beyond =
      Send({"--source", "eeprom", Ini("eeprom.bin"), "--address", "7F0", "--length", "20"});
  EXPECT_EQ(beyond.exit_code, 2);
  EXPECT_TRUE(beyond.err.contains(QString::fromUtf8("¡ Dirección incorrecta !")));

  Write(Ini("table.ram"), QByteArray(0x7600, '\0'));
  const auto ram = Send({"--source", "ram", Ini("table.ram"), "--address", "401289A0"});
  EXPECT_EQ(ram.exit_code, 0) << ram.err.toStdString();
  EXPECT_TRUE(ram.out.contains(QString::fromUtf8("¡ Datos enviados con éxito !")));
  EXPECT_EQ(Send({"--source", "ram", Ini("table.ram"), "--address", "3FFFFFFC"}).exit_code, 2);
}

TEST_F(JtagSendCommandTest, FlashSourceNamesWhatIsMissingAndTakesSections) {
  using namespace tornavo;
  QByteArray two = test::FlashImage(test::NumberedChannels(3, 1), test::NumberedTransponders(1),
                                    0x30100, 0x50000, 0x80000);
  test::PutSection(two, 0x10000, kChannelTag, {}, kChannelRecordSize, 999);
  Write(Ini("two.bin"), two);
  const QStringList send = {"--source", "flash", Ini("two.bin"), "--address", "7FE00000"};
  const auto several = Send(send);
  EXPECT_EQ(several.exit_code, 2);
  EXPECT_TRUE(
      several.err.contains("several TCS sections (010000, 030100); choose one with "
                           "--section-tcs"))
      << several.err.toStdString();
  const auto chosen = Send(send + QStringList{"--section-tcs", "30100"});
  EXPECT_EQ(chosen.exit_code, 0) << chosen.err.toStdString();
  EXPECT_TRUE(chosen.out.contains(QString::fromUtf8("¡ Datos enviados con éxito !")));
}

// The values themselves are the CRC block's own test; here they reach the file and the output.
TEST_F(JtagSendCommandTest, AddCrcWritesTheBlockAndPrintsTheValues) {
  const QByteArray image = Pattern(0x13FC50, 4);
  Write(Ini("in.bin"), image);
  Write(Ini("short.bin"), image.left(0x13FC4F));
  const auto added = RunTornavo({"jtag", "add-crc", Ini("in.bin"), Ini("out.bin")});
  ASSERT_EQ(added.exit_code, 0) << added.err.toStdString();
  const QStringList lines = added.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 20);
  QFile out(Ini("out.bin"));
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  const QByteArray written = out.readAll();
  EXPECT_EQ(written.left(0x13FC00), image.left(0x13FC00));
  EXPECT_EQ(written.mid(0x13FC00).toHex().toUpper(), lines.join("").toLatin1());
  const auto* bytes = reinterpret_cast<const Bytef*>(image.constData());
  EXPECT_EQ(lines[0].toUInt(nullptr, 16), crc32(0L, bytes, 0x10000));
  EXPECT_EQ(RunTornavo({"jtag", "add-crc", Ini("short.bin"), Ini("out2.bin")}).exit_code, 2);
  EXPECT_FALSE(QFile::exists(Ini("out2.bin")));
}

TEST_F(JtagSendCommandTest, EraseChipNeedsYesAndAChipStart) {
  const QStringList base = {"jtag",      "erase-chip", "--parallel", "virtual",
                            "--ini-dir", dir_.path(),  "--method",   "blocks"};
  const auto warned = RunTornavo(base + QStringList{"--address", "7FE00000"});
  EXPECT_EQ(warned.exit_code, 2);
  EXPECT_TRUE(warned.err.contains(QString::fromUtf8("¡ A T E N C I Ó N !")));
  EXPECT_TRUE(warned.out.isEmpty());
  const auto wrong = RunTornavo(base + QStringList{"--address", "7FE10000", "--yes"});
  EXPECT_EQ(wrong.exit_code, 2);
  EXPECT_TRUE(wrong.err.contains("60000000") && wrong.err.contains("7FE00000"))
      << wrong.err.toStdString();
  EXPECT_FALSE(wrong.out.contains("Abriendo LPT1"));
  const auto erased = RunTornavo(base + QStringList{"--address", "7FE00000", "--yes"});
  ASSERT_EQ(erased.exit_code, 0) << erased.err.toStdString();
  EXPECT_TRUE(erased.out.contains("Borrando bloque : 7FFE0000"));  // the last of 16
  const auto single =
      RunTornavo({"jtag", "erase-chip", "--parallel", "virtual", "--ini-dir", dir_.path(),
                  "--method", "single", "--address", "60000000", "--yes"});
  EXPECT_EQ(single.exit_code, 0) << single.err.toStdString();
  EXPECT_TRUE(single.out.contains("Borrando chip : 60000000"));
  // A target that takes no byte: exit 4.
  const auto silent = RunTornavo({"jtag", "erase-chip", "--parallel", "virtual", "--ini-dir",
                                  dir_.path(), "--method", "single", "--address", "60000000",
                                  "--yes", "--fault", "jtag-no-ack"});
  EXPECT_EQ(silent.exit_code, 4);
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file the output's "Copia de seguridad : " line names, or empty.
QString BackupNamed(const QString& out) {
  const QString start = QString::fromUtf8("Copia de seguridad : ");
  for (const QString& line : out.split('\n'))
    if (line.startsWith(start)) return line.mid(start.size());
  return {};
}

// Each write that destroys something names on the output the copy it kept first, and the copy
// holds what the target held (the virtual chips start erased; its EEPROM holds its defaults).
// --no-backup or CopiaSeguridad=0 keeps none; a copy that cannot be kept writes nothing.
TEST_F(JtagSendCommandTest, WritesKeepACopyFirstUnlessTold) {
  QTemporaryDir data;
  const QByteArray data_home = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", data.path().toUtf8());
  const QString folder = data.filePath("tornavo/backups") + "/";
  Write(Ini("fw.bin"), Pattern(0x18000, 5));
  const QStringList file = {"--source", "file", Ini("fw.bin"), "--address", "60008000"};
  const auto sent = Send(file);
  ASSERT_EQ(sent.exit_code, 0) << sent.err.toStdString();
  const QString flash = BackupNamed(sent.out);
  EXPECT_TRUE(flash.startsWith(folder) && flash.endsWith("_flash-send_60000000.bin"))
      << flash.toStdString();
  EXPECT_EQ(ReadAll(flash), QByteArray(0x20000, '\xFF'));

  Write(Ini("eeprom.bin"), Pattern(0x800, 6));
  const QStringList eeprom = {"--source", "eeprom", Ini("eeprom.bin"), "--address", "48",
                              "--length", "10"};
  const auto written = Send(eeprom);
  ASSERT_EQ(written.exit_code, 0) << written.err.toStdString();
  const QString rows = BackupNamed(written.out);
  EXPECT_TRUE(rows.endsWith("_jtag-eeprom-send_00000048.txt")) << rows.toStdString();
  tornavo::EepromImage image;
  tornavo::EepromRows defined;
  QString error;
  ASSERT_TRUE(tornavo::DecodeEepromFile(tornavo::EepromFormat::kOwn, ReadAll(rows),
                                        tornavo::Texts(), image, &error, &defined));
  EXPECT_EQ(defined, tornavo::RowsBetween(4, 5));
  const tornavo::sim::EepromBytes defaults = tornavo::sim::BuildDefaultEeprom();
  for (int a = 0x40; a < 0x60; ++a) EXPECT_EQ(image.ByteAt(a), defaults[a]) << a;
  // The tool reads its copy back as it reads any own-format file.
  EXPECT_EQ(Send({"--source", "eeprom", rows, "--format", "own", "--address", "40", "--length",
                  "20", "--no-backup"})
                .exit_code,
            0);

  const QStringList erase = {"jtag",      "erase-chip", "--parallel", "virtual",
                             "--ini-dir", dir_.path(),  "--method",   "single",
                             "--yes",     "--address",  "7FE00000"};
  const auto erased = RunTornavo(erase, 120000);
  ASSERT_EQ(erased.exit_code, 0) << erased.err.toStdString();
  const QString chip = BackupNamed(erased.out);
  EXPECT_TRUE(chip.endsWith("_flash-erase_7FE00000.bin")) << chip.toStdString();
  EXPECT_EQ(ReadAll(chip), QByteArray(0x200000, '\xFF'));

  const int files = QDir(folder).entryList(QDir::Files).size();
  EXPECT_EQ(files, 3);
  const QString off = QString::fromUtf8("Sin copia de seguridad (desactivada)");
  for (const auto& result :
       {Send(file + QStringList{"--no-backup"}), RunTornavo(erase + QStringList{"--no-backup"})}) {
    EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(off)) << result.out.toStdString();
  }
  QFile ini(Ini("Tornavo.ini"));
  ASSERT_TRUE(ini.open(QIODevice::Append));
  ini.write("CopiaSeguridad=0\r\n");
  ini.close();
  EXPECT_TRUE(Send(eeprom).out.contains(off));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), files);

  // The data folder under a regular file.
  Write(data.filePath("plain"), "x");
  Write(Ini("Tornavo.ini"),
        "[TForm1]\r\nFlashIC0=FW64\r\nFlashIC1=CH128\r\nFlash1Type=0\r\nFlash2Type=1\r\n"
        "Flash1Start=60000000\r\nFlash2Start=7FE00000\r\n");
  qputenv("XDG_DATA_HOME", data.filePath("plain").toUtf8());
  const auto refused = Send(file);
  qputenv("XDG_DATA_HOME", data_home);
  EXPECT_EQ(refused.exit_code, 4);
  EXPECT_TRUE(refused.err.contains(QString::fromUtf8("No se ha escrito nada.")))
      << refused.err.toStdString();
  EXPECT_FALSE(refused.out.contains("Borrando bloque"));

  for (const char* verb : {"send", "erase-chip"})
    EXPECT_TRUE(RunTornavo({"jtag", verb, "--help"}).out.contains("--no-backup")) << verb;
}

// Over the virtual receiver's socket, whose flash outlives each run: the copy a send keeps,
// sent back to the address in its name, brings the old bytes back.
TEST_F(JtagSendCommandTest, CopySentBackRestoresTheFlash) {
  WriteType("FW4", 16, 0x1000);  // small blocks: every clock is a round trip on the socket
  Write(Ini("Tornavo.ini"),
        "[TForm1]\r\nFlashIC0=FW4\r\nFlashIC1=CH128\r\nFlash1Type=0\r\nFlash2Type=1\r\n"
        "Flash1Start=60000000\r\nFlash2Start=7FE00000\r\nVerificarJtag=1\r\nWStartBits=64\r\n");
  Write(Ini("stand_in.bin"), tornavo::sim::TrapStandIn());
  const QString socket = Ini("lpt");
  tornavo::testing::BackgroundReceiver receiver(
      {"--parallel-socket", socket, "--ini-dir", dir_.path()});
  ASSERT_FALSE(receiver.device().isEmpty());
  const QStringList over = {"--parallel", "socket:" + socket, "--ini-dir",
                            dir_.path(),  "--trap",           Ini("stand_in.bin")};
  auto send = [&](const QString& path, const QString& address, const QStringList& extra = {}) {
    return RunTornavo(
        QStringList{"jtag", "send", "--source", "file", path, "--address", address} + over + extra,
        120000);
  };
  const QByteArray old = Pattern(0x2000, 7);
  Write(Ini("old.bin"), old);
  ASSERT_EQ(send(Ini("old.bin"), "60000000", {"--no-backup"}).exit_code, 0);
  Write(Ini("new.bin"), Pattern(0x800, 8));
  const auto sent = send(Ini("new.bin"), "60000C00");
  ASSERT_EQ(sent.exit_code, 0) << sent.err.toStdString();
  const QString copy = BackupNamed(sent.out);
  ASSERT_TRUE(copy.endsWith("_flash-send_60000000.bin")) << copy.toStdString();
  EXPECT_EQ(ReadAll(copy), old);

  const auto restored = send(copy, "60000000", {"--no-backup"});
  ASSERT_EQ(restored.exit_code, 0) << restored.err.toStdString();
  const auto dumped =
      RunTornavo(QStringList{"jtag", "dump", "--source", "file", "--address", "60000000",
                             "--length", "2000", "-o", Ini("back.bin")} +
                     over,
                 120000);
  ASSERT_EQ(dumped.exit_code, 0) << dumped.err.toStdString();
  EXPECT_EQ(ReadAll(Ini("back.bin")), old);
}

}  // namespace
