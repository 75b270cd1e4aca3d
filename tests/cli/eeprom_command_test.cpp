#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <utility>

#include "core/serial/checksum.h"
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
  EXPECT_EQ(Convert("a.bin", "x", "hex", "own"), 2);
}

TEST_F(EepromCommandTest, ShowPrintsEveryFieldInPageOrder) {
  QByteArray bytes(2048, '\xFF');
  WriteAll(Path("e.bin"), bytes.replace(0x002, 3, "ESP"));
  const RunResult show = Eeprom({"show", Path("e.bin")});
  ASSERT_EQ(show.exit_code, 0) << show.err.toStdString();
  const QStringList lines = show.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 34);
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

TEST_F(EepromCommandTest, WriteRefusesAFileThatDefinesFewerRowsThanItSends) {
  WriteAll(Path("empty.txt"), "");
  WriteAll(Path("short.kvl"), "0123456789\r\n");
  QByteArray eleven;
  for (int row = 0; row < 11; ++row)
    eleven += tornavo::AppendChecksum(
                  "%EE=" + QByteArray::number(row, 16).toUpper().rightJustified(2, '0') + "010" +
                  QByteArray(32, '0')) +
              "\r\n";
  WriteAll(Path("eleven.txt"), eleven);
  const QString port = "/dev/no-such-port";
  auto write = [&](const char* file, const char* format, QStringList more = {}) {
    return Eeprom(QStringList{"write", "--port", port, "--format", format, Path(file)} + more);
  };
  // Refused before the port is opened: nothing can reach the receiver.
  for (auto [file, format] : {std::pair{"empty.txt", "own"}, std::pair{"short.kvl", "kvl"}}) {
    const RunResult refused = write(file, format);
    EXPECT_EQ(refused.exit_code, 2) << file;
    EXPECT_TRUE(refused.err.contains(Path(file))) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("lacks rows 000-7F0")) << refused.err.toStdString();
    EXPECT_FALSE(refused.err.contains(port)) << refused.err.toStdString();
  }
  const RunResult whole = write("eleven.txt", "own");
  EXPECT_TRUE(whole.err.contains("lacks rows 0B0-7F0")) << whole.err.toStdString();
  // Asked for, or a range the file covers: on to the port.
  for (const RunResult& sent : {write("eleven.txt", "own", {"--range", "first"}),
                                write("eleven.txt", "own", {"--range", "row:0A"}),
                                write("empty.txt", "own", {"--allow-partial"})}) {
    EXPECT_EQ(sent.exit_code, 2);
    EXPECT_TRUE(sent.err.contains(port)) << sent.err.toStdString();
  }
  // Converting such a file to a format that holds every row is refused the same way.
  EXPECT_EQ(Convert("eleven.txt", "e.bin", "own", "bin"), 2);
  EXPECT_FALSE(QFile::exists(Path("e.bin")));
  ASSERT_EQ(Convert("eleven.txt", "e.txt", "own", "own"), 0);
  EXPECT_EQ(ReadAll(Path("e.txt")) + "\r\n", eleven);
}

TEST_F(EepromCommandTest, PartialReadsWriteOnlyTheRowsReadOrTakeTheRestFromABase) {
  tornavo::testing::BackgroundReceiver receiver;
  ASSERT_FALSE(receiver.device().isEmpty());
  auto read = [&](QStringList more) {
    return Eeprom(QStringList{"read", "--port", receiver.device()} + more);
  };
  ASSERT_EQ(read({"-o", Path("all.bin")}).exit_code, 0);
  const QByteArray all = ReadAll(Path("all.bin"));
  ASSERT_EQ(all.size(), 2048);

  const RunResult refused = read({"--range", "first", "-o", Path("first.bin")});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_TRUE(refused.err.contains("--base")) << refused.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("first.bin")));

  ASSERT_EQ(read({"--range", "row:7F", "--format", "own", "-o", Path("row.txt")}).exit_code, 0);
  const QByteArray row = ReadAll(Path("row.txt"));
  EXPECT_TRUE(row.startsWith("%EE=7F010" + all.right(16).toHex().toUpper())) << row.data();
  EXPECT_EQ(row.size(), 43);

  WriteAll(Path("base.bin"), QByteArray(2048, '\x5A'));
  ASSERT_EQ(
      read({"--range", "first", "--base", Path("base.bin"), "-o", Path("first.bin")}).exit_code, 0);
  EXPECT_EQ(ReadAll(Path("first.bin")), all.left(176) + QByteArray(2048 - 176, '\x5A'));
}

TEST_F(EepromCommandTest, ReadsAreBoundedAndOutputCanGoToStandardOutput) {
  const RunResult endless = Eeprom({"show", "/dev/zero"});
  EXPECT_EQ(endless.exit_code, 2);
  EXPECT_TRUE(endless.err.contains("La longitud del fichero es incorrecto."));

  WriteAll(Path("a.bin"), QByteArray(2048, '\x12'));
  const RunResult piped = Eeprom({"convert", Path("a.bin"), "-", "--from", "bin", "--to", "kvl"});
  ASSERT_EQ(piped.exit_code, 0) << piped.err.toStdString();
  EXPECT_EQ(piped.out, QString("12").repeated(16).append("\r\n").repeated(128));
  EXPECT_FALSE(QFile::exists(Path("-")));

  // No name at all: the command's own message, no warning from the library beneath.
  const RunResult unnamed = Eeprom({"show", ""});
  EXPECT_EQ(unnamed.exit_code, 2);
  EXPECT_FALSE(unnamed.err.contains("QFSFileEngine")) << unnamed.err.toStdString();
  EXPECT_FALSE(unnamed.err.isEmpty());
}

}  // namespace
