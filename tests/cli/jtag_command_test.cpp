#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "sim/default_eeprom.h"
#include "tornavo_process.h"

namespace {

using tornavo::testing::RunTornavo;

QStringList Lines(const QString& text) { return text.split('\n', Qt::SkipEmptyParts); }

TEST(JtagCommandTest, IdcodeNamesTheVirtualCpuAndExitsByWhatItFound) {
  QTemporaryDir ini;
  const auto named =
      RunTornavo({"jtag", "idcode", "--parallel", "virtual", "--ini-dir", ini.path()});
  ASSERT_EQ(named.exit_code, 0) << named.err.toStdString();
  EXPECT_EQ(Lines(named.out),
            (QStringList{"Abriendo LPT1", "Reset DCU activado", "Estado de la DCU : Run-Test/Idle",
                         QString::fromUtf8("Código de la CPU (IDCODE) : 2D4CD041"),
                         "Tipo de CPU : STi5510", "Reset DCU desactivado", "Cerrando LPT1"}));

  const auto none = RunTornavo(
      {"jtag", "idcode", "--parallel", "virtual", "--fault", "jtag-none", "--ini-dir", ini.path()});
  EXPECT_EQ(none.exit_code, 4);
  EXPECT_TRUE(none.out.contains(QString::fromUtf8("¡Código de CPU erroneo!")));

  const auto no_port = RunTornavo(
      {"jtag", "idcode", "--parallel", "ppdev:/nonexistent/parport9", "--ini-dir", ini.path()});
  EXPECT_EQ(no_port.exit_code, 5);
  EXPECT_TRUE(no_port.err.contains("/nonexistent/parport9")) << no_port.err.toStdString();

  EXPECT_EQ(RunTornavo({"jtag", "idcode", "--parallel", "lpt9"}).exit_code, 2);
  EXPECT_EQ(RunTornavo({"jtag", "reset"}).exit_code, 2);
}

TEST(JtagCommandTest, DumpWritesTheFileOrTheEepromImage) {
  QTemporaryDir dir;
  const QString out = dir.filePath("dump.bin");
  // The fields' rewrites apply: 0x40000003 reads from 0x40000000, length 0x12 cut to 0x10.
  const auto file =
      RunTornavo({"jtag", "dump", "--parallel", "virtual", "--source", "file", "--address",
                  "40000003", "--length", "12", "-o", out, "--ini-dir", dir.path()});
  ASSERT_EQ(file.exit_code, 0) << file.err.toStdString();
  EXPECT_TRUE(file.out.contains(QString::fromUtf8("¡ Firmware leído con éxito !")));
  QFile dumped(out);
  ASSERT_TRUE(dumped.open(QIODevice::ReadOnly));
  EXPECT_EQ(dumped.readAll(), QByteArray(0x10, '\0'));
  dumped.close();

  const QString image = dir.filePath("eeprom.bin");
  const auto eeprom =
      RunTornavo({"jtag", "dump", "--parallel", "virtual", "--source", "eeprom", "--address", "700",
                  "--length", "100", "-o", image, "--ini-dir", dir.path()});
  ASSERT_EQ(eeprom.exit_code, 0) << eeprom.err.toStdString();
  QFile placed(image);
  ASSERT_TRUE(placed.open(QIODevice::ReadOnly));
  const QByteArray bytes = placed.readAll();
  ASSERT_EQ(bytes.size(), 2048);
  const auto chip = tornavo::sim::BuildDefaultEeprom();
  EXPECT_EQ(bytes.left(0x700), QByteArray(0x700, '\xFF'));
  EXPECT_EQ(bytes.mid(0x700),
            QByteArray(reinterpret_cast<const char*>(chip.data()) + 0x700, 0x100));
}

TEST(JtagCommandTest, ImageDumpSavesTheScreenAsAPicture) {
  QTemporaryDir dir;
  const QString out = dir.filePath("screen.bmp");
  const auto dumped =
      RunTornavo({"jtag", "dump", "--parallel", "virtual", "--source", "image", "--address",
                  "C00D0000", "--length", "98000", "-o", out, "--ini-dir", dir.path()});
  ASSERT_EQ(dumped.exit_code, 0) << dumped.err.toStdString();
  const QImage picture(out);
  ASSERT_FALSE(picture.isNull());
  // The default format is 4:3, 720 x 576: the first bar white, the last black.
  EXPECT_EQ(picture.size(), QSize(720, 576));
  EXPECT_GT(qGray(picture.pixel(45, 288)), 170);
  EXPECT_LT(qGray(picture.pixel(675, 288)), 20);

  EXPECT_EQ(RunTornavo({"jtag", "dump", "--parallel", "virtual", "--source", "image", "--address",
                        "C00D0000", "--length", "98000", "-o", dir.filePath("screen.png")})
                .exit_code,
            2);
}

TEST(JtagCommandTest, DumpFailuresGiveTheirExitStatus) {
  QTemporaryDir dir;
  const QString out = dir.filePath("never.bin");
  const QStringList base{"jtag", "dump", "--parallel", "virtual",
                         "-o",   out,    "--ini-dir",  dir.path()};

  const auto refused =
      RunTornavo(base + QStringList{"--source", "eeprom", "--address", "700", "--length", "104"});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_TRUE(refused.err.contains(QString::fromUtf8("¡ Dirección o longitud incorrecta !")));

  const auto silent =
      RunTornavo(base + QStringList{"--source", "eeprom", "--address", "0", "--length", "800",
                                    "--fault", "jtag-trap-silent"});
  EXPECT_EQ(silent.exit_code, 4);
  EXPECT_TRUE(silent.err.contains(QString::fromUtf8("error en la dirección :  00000000")));

  const auto missing =
      RunTornavo(base + QStringList{"--source", "eeprom", "--address", "0", "--length", "800",
                                    "--trap", dir.filePath("nowhere/trap.bin")});
  EXPECT_EQ(missing.exit_code, 4);
  EXPECT_TRUE(missing.err.contains("nowhere/trap.bin"));

  EXPECT_EQ(
      RunTornavo(base + QStringList{"--source", "ram", "--address", "401289A0", "--length", "7600"})
          .exit_code,
      2);
  EXPECT_FALSE(QFile::exists(out));
}

}  // namespace
