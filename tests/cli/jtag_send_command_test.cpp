#include <gtest/gtest.h>
#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/channels/test_images.h"
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
  // Not a flash channel image.
  EXPECT_EQ(Send({"--source", "flash", Ini("table.ram"), "--address", "7FE00000"}).exit_code, 2);
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

  QByteArray no_tpt(0x20000, '\xFF');
  test::PutSection(no_tpt, 0, kChannelTag, {}, kChannelRecordSize, 999);
  Write(Ini("no_tpt.bin"), no_tpt);
  const auto missing = Send({"--source", "flash", Ini("no_tpt.bin"), "--address", "7FE00000"});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_TRUE(missing.err.contains(
      QString::fromUtf8("¡ No se ha encontrado ninguna tabla de transpondedores !")));
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

}  // namespace
