#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tornavo_process.h"

namespace {

struct Result {
  int exit_code;
  QStringList lines;
  QString errors;
};

Result Tornavo(const QStringList& arguments) {
  QProcess process;
  process.start(tornavo::testing::TornavoPath(), QStringList{"eeprom"} + arguments);
  EXPECT_TRUE(process.waitForFinished(30000));
  const QString out = QString::fromUtf8(process.readAllStandardOutput());
  return {process.exitCode(), out.split('\n', Qt::SkipEmptyParts),
          QString::fromUtf8(process.readAllStandardError())};
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

QByteArray Pattern() {
  QByteArray bytes(2048, '\0');
  for (int i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 + i / 256);
  return bytes;
}

TEST(EepromCommandTest, ConvertChainsReadersAndWritersAndRefusesBadInput) {
  QTemporaryDir dir;
  const QString bin = dir.filePath("a.bin");
  WriteAll(bin, Pattern());
  ASSERT_EQ(
      Tornavo({"convert", bin, dir.filePath("a.txt"), "--from", "bin", "--to", "own"}).exit_code,
      0);
  EXPECT_TRUE(ReadAll(dir.filePath("a.txt")).startsWith("%EE=00010"));
  ASSERT_EQ(Tornavo({"convert", dir.filePath("a.txt"), dir.filePath("a.kvl"), "--from", "own",
                     "--to", "kvl"})
                .exit_code,
            0);
  ASSERT_EQ(Tornavo({"convert", dir.filePath("a.kvl"), dir.filePath("b.bin"), "--from", "kvl",
                     "--to", "bin"})
                .exit_code,
            0);
  EXPECT_EQ(ReadAll(dir.filePath("b.bin")), Pattern());

  WriteAll(dir.filePath("short.bin"), QByteArray(2047, '\0'));
  const Result refused = Tornavo({"convert", dir.filePath("short.bin"), dir.filePath("out.txt"),
                                  "--from", "bin", "--to", "own"});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_TRUE(refused.errors.contains(
      QString::fromUtf8("¡ Fichero de eeprom erróneo !\nLa longitud del fichero es incorrecto.")));
  EXPECT_FALSE(QFile::exists(dir.filePath("out.txt")));
  EXPECT_EQ(Tornavo({"convert", bin, dir.filePath("x"), "--from", "hex", "--to", "own"}).exit_code,
            1);
}

TEST(EepromCommandTest, ShowPrintsEveryFieldInPageOrder) {
  QTemporaryDir dir;
  QByteArray bytes(2048, '\xFF');
  bytes.replace(0x002, 3, "ESP");
  WriteAll(dir.filePath("e.bin"), bytes);
  const Result show = Tornavo({"show", dir.filePath("e.bin")});
  ASSERT_EQ(show.exit_code, 0) << show.errors.toStdString();
  ASSERT_EQ(show.lines.size(), 34);
  EXPECT_TRUE(show.lines[0].startsWith(QString::fromUtf8("Satélite 1 Nombre del satélite :\t")));
  EXPECT_EQ(show.lines[3], QString::fromUtf8("Satélite 1 Frecuencia :\t11970\t"));
  EXPECT_EQ(show.lines[10], QString::fromUtf8("Satélite 2 Banda :\tC\t"));
  EXPECT_EQ(show.lines[18], QString::fromUtf8("Pais :\tESP\t455350"));
  EXPECT_EQ(show.lines[33], QString::fromUtf8("EPG :\totro\tFFFFFFFFFFFFFFFF"));
}

TEST(EepromCommandTest, EditWritesThroughTheFieldsAndKeepsTheFileOnErrors) {
  QTemporaryDir dir;
  const QString own = dir.filePath("e.txt");
  ASSERT_EQ(Tornavo({"convert", "--from", "bin", "--to", "own", "/dev/null", own}).exit_code, 2);
  WriteAll(dir.filePath("e.bin"), QByteArray(2048, '\xFF'));
  ASSERT_EQ(
      Tornavo({"convert", dir.filePath("e.bin"), own, "--from", "bin", "--to", "own"}).exit_code,
      0);
  const Result edit =
      Tornavo({"edit", own, "--format", "own", QString::fromUtf8("Satélite 2 Frecuencia :=8500"),
               "Luminosidad :=5", "Secciones activas :=1 y 3 (BCT15xx)"});
  ASSERT_EQ(edit.exit_code, 0) << edit.errors.toStdString();
  const QByteArray text = ReadAll(own);
  EXPECT_TRUE(text.contains("%EE=04010FFFFFFFFFFFFFFFFFFFF2EC2"));  // 0x04A-0x04B
  EXPECT_TRUE(text.contains("%EE=40010FFFFFF85"));
  const Result show = Tornavo({"show", own, "--format", "own"});
  EXPECT_TRUE(
      show.lines.contains("Secciones activas :\t0 y 2 (BCT14xx)\t00800080000000000000000001A4"));

  for (const QString& bad :
       {QString("Nada :=1"), QString("Pais :=xx"), QString::fromUtf8("Satélite 1 FEC :=9/10")}) {
    const Result refused = Tornavo({"edit", own, "--format", "own", "Pais :=ITA", bad});
    EXPECT_EQ(refused.exit_code, 2) << bad.toStdString();
    EXPECT_FALSE(refused.errors.isEmpty());
  }
  EXPECT_EQ(ReadAll(own), text);
}

}  // namespace
