#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tornavo_process.h"

namespace {

using tornavo::testing::RunResult;

RunResult Eeprom(const QStringList& arguments) {
  return tornavo::testing::RunTornavo(QStringList{"eeprom"} + arguments);
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class EepromCommandTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return dir_.filePath(name); }
  int Convert(const char* in, const char* out, const char* from, const char* to) {
    return Eeprom({"convert", Path(in), Path(out), "--from", from, "--to", to}).exit_code;
  }

  QTemporaryDir dir_;
};

TEST_F(EepromCommandTest, ConvertChainsReadersAndWritersAndRefusesBadInput) {
  QByteArray pattern(2048, '\0');
  for (int i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<char>(i * 13 + i / 256);
  WriteAll(Path("a.bin"), pattern);
  ASSERT_EQ(Convert("a.bin", "a.txt", "bin", "own"), 0);
  EXPECT_TRUE(ReadAll(Path("a.txt")).startsWith("%EE=00010"));
  ASSERT_EQ(Convert("a.txt", "a.kvl", "own", "kvl"), 0);
  ASSERT_EQ(Convert("a.kvl", "b.bin", "kvl", "bin"), 0);
  EXPECT_EQ(ReadAll(Path("b.bin")), pattern);

  WriteAll(Path("short.bin"), QByteArray(2047, '\0'));
  const RunResult refused =
      Eeprom({"convert", Path("short.bin"), Path("out.txt"), "--from", "bin", "--to", "own"});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_TRUE(refused.err.contains(
      QString::fromUtf8("¡ Fichero de eeprom erróneo !\nLa longitud del fichero es incorrecto.")));
  EXPECT_FALSE(QFile::exists(Path("out.txt")));
  EXPECT_EQ(Convert("a.bin", "x", "hex", "own"), 1);
}

TEST_F(EepromCommandTest, ShowPrintsEveryFieldInPageOrder) {
  QByteArray bytes(2048, '\xFF');
  WriteAll(Path("e.bin"), bytes.replace(0x002, 3, "ESP"));
  const RunResult show = Eeprom({"show", Path("e.bin")});
  ASSERT_EQ(show.exit_code, 0) << show.err.toStdString();
  const QStringList lines = show.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 34);
  EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8("Satélite 1 Nombre del satélite :\t")));
  EXPECT_EQ(lines[3], QString::fromUtf8("Satélite 1 Frecuencia :\t11970\t"));
  EXPECT_EQ(lines[10], QString::fromUtf8("Satélite 2 Banda :\tC\t"));
  EXPECT_EQ(lines[18], QString::fromUtf8("Pais :\tESP\t455350"));
  EXPECT_EQ(lines[33], QString::fromUtf8("EPG :\totro\tFFFFFFFFFFFFFFFF"));
}

TEST_F(EepromCommandTest, EditWritesThroughTheFieldsAndKeepsTheFileOnErrors) {
  const QString own = Path("e.txt");
  ASSERT_EQ(Eeprom({"convert", "--from", "bin", "--to", "own", "/dev/null", own}).exit_code, 2);
  WriteAll(Path("e.bin"), QByteArray(2048, '\xFF'));
  ASSERT_EQ(Convert("e.bin", "e.txt", "bin", "own"), 0);
  const RunResult edit =
      Eeprom({"edit", own, "--format", "own", QString::fromUtf8("Satélite 2 Frecuencia :=8500"),
              "Luminosidad :=5", "Secciones activas :=1 y 3 (BCT15xx)"});
  ASSERT_EQ(edit.exit_code, 0) << edit.err.toStdString();
  const QByteArray text = ReadAll(own);
  EXPECT_TRUE(text.contains("%EE=04010FFFFFFFFFFFFFFFFFFFF2EC2"));  // 0x04A-0x04B
  EXPECT_TRUE(text.contains("%EE=40010FFFFFF85"));
  EXPECT_TRUE(
      Eeprom({"show", own, "--format", "own"})
          .out.contains("\nSecciones activas :\t0 y 2 (BCT14xx)\t00800080000000000000000001A4\n"));

  for (const QString& bad :
       {QString("Nada :=1"), QString("Pais :=xx"), QString::fromUtf8("Satélite 1 FEC :=9/10")}) {
    const RunResult refused = Eeprom({"edit", own, "--format", "own", "Pais :=ITA", bad});
    EXPECT_EQ(refused.exit_code, 2) << bad.toStdString();
    EXPECT_FALSE(refused.err.isEmpty());
  }
  EXPECT_EQ(ReadAll(own), text);
}

}  // namespace
