#include "core/eeprom/eeprom_files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <tuple>

#include "core/serial/checksum.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

// An image whose every address holds a different pattern, so that a misplaced row shows.
void FillPattern(EepromImage& image, int seed = 0) {
  for (int a = 0; a < kEepromBytes; ++a)
    image.SetCellAt(a, ByteText(static_cast<uint8_t>(a * 7 + a / 256 + seed)));
}

QByteArray OwnLine(int row, const QByteArray& data = QByteArray(32, '0')) {
  return AppendChecksum("%EE=" + ByteText(static_cast<uint8_t>(row)).toLatin1() + "010" + data);
}

QString Message(const char* second_line) {
  return QString::fromUtf8("¡ Fichero de eeprom erróneo !\n") + QString::fromUtf8(second_line);
}

class EepromFilesTest : public ::testing::Test {
 protected:
  bool Decode(EepromFormat format, const QByteArray& contents, EepromRows* rows = nullptr) {
    error_.clear();
    return DecodeEepromFile(format, contents, texts_, image_, &error_, rows);
  }
  // A refused file gives its message and leaves the image all FF, as it started.
  void ExpectRefused(EepromFormat format, const QByteArray& contents, const QString& message) {
    EXPECT_FALSE(Decode(format, contents)) << contents.toStdString();
    EXPECT_EQ(error_, message) << contents.toStdString();
    EXPECT_TRUE(image_.cells() == EepromImage().cells()) << contents.toStdString();
  }

  Texts texts_;
  EepromImage image_;
  QString error_;
};

TEST_F(EepromFilesTest, OwnReaderTakesRowsFromTheirFieldInAnyOrderAndLineBreak) {
  EepromImage source;
  FillPattern(source, 3);
  QList<QByteArray> lines = EncodeEepromFile(EepromFormat::kOwn, source).split('\n');
  for (QByteArray& line : lines) line = line.trimmed();
  std::reverse(lines.begin(), lines.end());
  ASSERT_TRUE(Decode(EepromFormat::kOwn, lines.join("\n") + "\n")) << error_.toStdString();
  EXPECT_TRUE(image_.cells() == source.cells());

  // Rows no line names keep their texts; a later line for the same row wins.
  image_.ClearImage();
  ASSERT_TRUE(Decode(EepromFormat::kOwn,
                     OwnLine(5, QByteArray(32, '1')) + "\r\n" + OwnLine(5, QByteArray(32, '2'))));
  EXPECT_EQ(image_.RowText(6), QString(32, '2'));
  EXPECT_EQ(image_.RowText(5), QString(32, 'F'));
  // The checksum is not checked.
  QByteArray bad_sum = OwnLine(0);
  bad_sum[41] = 'Z';
  EXPECT_TRUE(Decode(EepromFormat::kOwn, bad_sum));
}

// A refused file gives its message, naming the type of the tool's files it looks like when
// its size or first line shows one, and loads nothing.
TEST_F(EepromFilesTest, ReadersRefuseBadFilesWithTheirMessageAndLoadNothing) {
  QList<QByteArray> good;
  for (int row = 0; row < 8; ++row) good << OwnLine(row);
  auto spoil = [&](int line, const QByteArray& text) {  // line 0-based
    QList<QByteArray> lines = good;
    lines[line] = text;
    return lines.join("\r\n");
  };
  const QByteArray own = OwnLine(0) + "\r\n" + OwnLine(1);
  const QByteArray kvl = QByteArray(32, 'A') + "\r\n" + QByteArray(32, 'B') + "\r\n";
  const QByteArray bin(kEepromBytes, '\x0A');  // line breaks only: no line is a row
  const QByteArray flash = QByteArray(100, '\0') + "TCS" + QByteArray(13, '\0') + "TCS";
  const QString looks = QString::fromUtf8("\nEl archivo parece un «%1» de la página «%2».");
  const QString own_name = looks.arg("Archivo de Texto Tornavo (TXT)", "Eeprom");
  const QString bin_name = looks.arg("Archivo Binario (BIN)", "Eeprom");
  const QString bad = QString::fromUtf8("¡ Fichero de eeprom erróneo !");
  const QString length = Message("La longitud del fichero es incorrecto.");
  const QString command = Message("El comando de la línea %1 es incorrecto");
  const QString line_length = Message("La longitud de la línea %1 es incorrecta.");
  const QString hex = Message("Valor hexadecimal inválido en la línea %1");
  using F = EepromFormat;
  const std::tuple<F, QByteArray, QString> cases[] = {
      {F::kOwn, spoil(4, good[4].left(42)), line_length.arg(5)},
      {F::kOwn, spoil(7, good[7] + "0"), line_length.arg(8)},
      {F::kOwn, good[0] + "\r\n\r\n" + good[1], line_length.arg(2)},  // a blank line is a line
      {F::kOwn, spoil(2, "%EE!" + good[2].mid(4)), command.arg(3)},
      {F::kOwn, spoil(1, good[1].left(6) + "020" + good[1].mid(9)), command.arg(2)},
      {F::kOwn, spoil(3, "%EE=80" + good[3].mid(6)), command.arg(4)},
      {F::kOwn, spoil(3, "%EE=x1" + good[3].mid(6)), command.arg(4)},
      {F::kOwn, spoil(6, good[6].left(20) + "g" + good[6].mid(21)), hex.arg(7)},
      {F::kOwn, spoil(0, good[0].left(40) + "G" + good[0].mid(41)), hex.arg(1)},
      // Text without rows, or a command file, is no KVL5208 file.
      {F::kKvl, "ABCD\r\n" + QByteArray(32, '0'), bad},
      {F::kKvl, QByteArray(), bad},
      {F::kKvl, "\r\n" + QByteArray(32, '0'), bad},
      // BIN is exactly the EEPROM's size; no text file is longer than any EEPROM file.
      {F::kBin, QByteArray(), length},
      {F::kBin, QByteArray(2047, '\0'), length},
      {F::kBin, QByteArray(2049, '\0'), length},
      {F::kOwn, QByteArray(kMaxEepromFileBytes + 1, '\n'), length},
      {F::kKvl, QByteArray(kMaxEepromFileBytes + 1, '\n'), length},
      {F::kBin, own, length + own_name},
      {F::kBin, kvl, length + looks.arg("Archivo de Texto KVL5208 (TXT)", "Eeprom")},
      {F::kBin, flash,
       length + looks.arg("Archivo FLASH (BIN, RCU o RCS)", QString::fromUtf8("Sintonización"))},
      {F::kOwn, bin, line_length.arg(1) + bin_name},
      {F::kOwn, QByteArray(0x98000, '\x10'), length + looks.arg("Archivo RAM (BIN)", "Imagen")},
      {F::kKvl, own, bad + own_name},
      {F::kKvl, bin, bad + bin_name},
      {F::kKvl, QByteArray(0x7600, '\x01'),
       bad + looks.arg("Archivo RAM (BIN)", QString::fromUtf8("Sintonización"))},
  };
  for (const auto& [format, contents, message] : cases) ExpectRefused(format, contents, message);
}

TEST_F(EepromFilesTest, KvlReaderStopsQuietlyAndReplacesBadPairs) {
  // A short line ends the rows, and so does a tail of blanks.
  QByteArray ten;
  for (char digit = '0'; digit <= '9'; ++digit) ten += QByteArray(32, digit) + "\r\n";
  for (const QByteArray& tail :
       {QByteArray(31, 'C') + "\r\n" + QByteArray(32, 'D'), QByteArray("\r\n  \n")}) {
    image_.ClearImage();
    ASSERT_TRUE(Decode(EepromFormat::kKvl, ten + tail));
    EXPECT_EQ(image_.RowText(10), QString(32, '9'));
    EXPECT_EQ(image_.RowText(11), QString(32, 'F'));
  }

  // A pair HexToInt refuses becomes FF; the last line loads without a break after it.
  image_.ClearImage();
  ASSERT_TRUE(Decode(EepromFormat::kKvl, QByteArray(32, 'A') + "\n" + "G1" + QByteArray(30, 'B') +
                                             "\n" + QByteArray(32, 'D')));
  EXPECT_EQ(image_.RowText(1), QString(32, 'A'));
  EXPECT_EQ(image_.RowText(2), "FF" + QString(30, 'B'));
  EXPECT_EQ(image_.RowText(3), QString(32, 'D'));

  // Lines past row 128 are ignored.
  QByteArray many;
  for (int row = 1; row <= 130; ++row) many += QByteArray(32, row == 128 ? '2' : '1') + "\r\n";
  ASSERT_TRUE(Decode(EepromFormat::kKvl, many));
  EXPECT_EQ(image_.RowText(128), QString(32, '2'));
}

// Lower-case digits are digits in either text format; the rows a file names are the rows it
// defines.
TEST_F(EepromFilesTest, ReadersTellTheRowsAFileDefines) {
  EepromRows rows;
  const QByteArray lower = QByteArray("ab").repeated(16);
  ASSERT_TRUE(Decode(EepromFormat::kOwn, OwnLine(5) + "\r\n%EE=7f010" + lower + "00", &rows));
  EXPECT_EQ(RowRangesText(rows), "050, 7F0");
  EXPECT_EQ(image_.RowText(128), QString("AB").repeated(16));
  ASSERT_TRUE(Decode(EepromFormat::kKvl, lower + "\r\n" + lower + "\r\n", &rows));
  EXPECT_EQ(RowRangesText(rows), "000-010");
  EXPECT_EQ(image_.RowText(2), QString("AB").repeated(16));
}

// File-system failures are shown: an endless device is read only up to the limit, and a save
// the file system refuses says so.
TEST_F(EepromFilesTest, FileFailuresAreShown) {
  testing::RecordingHost host;
  EXPECT_FALSE(LoadEepromFile("/dev/zero", EepromFormat::kKvl, texts_, host, image_));
  QTemporaryDir dir;
  EXPECT_FALSE(SaveEepromFile(dir.filePath("no/folder/e.bin"), EepromFormat::kBin, image_, host));
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].text, Message("La longitud del fichero es incorrecto."));
  EXPECT_TRUE(host.boxes[1].error && host.boxes[1].text.contains("e.bin"));
}

}  // namespace
}  // namespace tornavo
