#include "core/eeprom/eeprom_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "core/serial/checksum.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

// An image whose every address holds a different pattern, so that a misplaced row shows.
void FillPattern(EepromImage& image, int seed = 0) {
  for (int a = 0; a < kEepromBytes; ++a)
    image.SetCellAt(a, ByteText(static_cast<uint8_t>(a * 7 + a / 256 + seed)));
}

void ExpectSameCells(const EepromImage& a, const EepromImage& b) {
  for (int row = 1; row <= kEepromRows; ++row) ASSERT_EQ(a.RowText(row), b.RowText(row)) << row;
}

QByteArray OwnLine(int row, const QByteArray& data) {
  return AppendChecksum("%EE=" + ByteText(static_cast<uint8_t>(row)).toLatin1() + "010" + data);
}

QString Message(const char* second_line) {
  return QString::fromUtf8("¡ Fichero de eeprom erróneo !\n") + QString::fromUtf8(second_line);
}

class EepromFilesTest : public ::testing::Test {
 protected:
  bool Decode(EepromFormat format, const QByteArray& contents) {
    error_.clear();
    return DecodeEepromFile(format, contents, texts_, image_, &error_);
  }
  // The image must still be the all-FF one it started as.
  void ExpectUntouched() {
    for (int row = 1; row <= kEepromRows; ++row) ASSERT_EQ(image_.RowText(row), QString(32, 'F'));
  }

  Texts texts_;
  EepromImage image_;
  QString error_;
};

TEST_F(EepromFilesTest, EveryFormatRoundTripsAllRows) {
  for (EepromFormat format : {EepromFormat::kOwn, EepromFormat::kKvl, EepromFormat::kBin}) {
    EepromImage source;
    FillPattern(source, static_cast<int>(format));
    EepromImage loaded;
    QString error;
    ASSERT_TRUE(DecodeEepromFile(format, EncodeEepromFile(format, source), texts_, loaded, &error))
        << error.toStdString();
    ExpectSameCells(source, loaded);
  }
}

TEST_F(EepromFilesTest, WritersUseCrLfAndTheLayoutOfEachFormat) {
  FillPattern(image_);
  const QByteArray own = EncodeEepromFile(EepromFormat::kOwn, image_);
  const QList<QByteArray> own_lines = own.split('\n');
  ASSERT_EQ(own_lines.size(), 128);
  EXPECT_FALSE(own.endsWith('\n'));  // the last command has no break after it
  EXPECT_EQ(own_lines[0], OwnLine(0, image_.RowText(1).toLatin1()) + "\r");
  EXPECT_TRUE(own_lines[127].startsWith("%EE=7F010"));
  EXPECT_EQ(own_lines[127].size(), 43);

  const QByteArray kvl = EncodeEepromFile(EepromFormat::kKvl, image_);
  EXPECT_EQ(kvl.size(), 128 * 34);
  EXPECT_TRUE(kvl.endsWith(image_.RowText(128).toLatin1() + "\r\n"));

  image_.SetCell(1, 1, "zz");  // the binary writer turns invalid texts into FF
  const QByteArray bin = EncodeEepromFile(EepromFormat::kBin, image_);
  ASSERT_EQ(bin.size(), 2048);
  EXPECT_EQ(static_cast<uint8_t>(bin[0]), 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(bin[2047]), static_cast<uint8_t>(2047 * 7 + 7));
}

TEST_F(EepromFilesTest, OwnReaderTakesRowsFromTheirFieldInAnyOrderAndLineBreak) {
  EepromImage source;
  FillPattern(source, 3);
  QList<QByteArray> lines = EncodeEepromFile(EepromFormat::kOwn, source).split('\n');
  for (QByteArray& line : lines) line = line.trimmed();
  std::reverse(lines.begin(), lines.end());
  ASSERT_TRUE(Decode(EepromFormat::kOwn, lines.join("\n") + "\n")) << error_.toStdString();
  ExpectSameCells(source, image_);

  // Rows no line names keep their texts; a later line for the same row wins.
  EepromImage partial;
  const QByteArray two = OwnLine(5, QByteArray(32, '1')) + "\r\n" + OwnLine(5, QByteArray(32, '2'));
  ASSERT_TRUE(DecodeEepromFile(EepromFormat::kOwn, two, texts_, partial, &error_));
  EXPECT_EQ(partial.RowText(6), QString(32, '2'));
  EXPECT_EQ(partial.RowText(5), QString(32, 'F'));
  // The checksum is not checked; an empty file loads nothing and passes.
  QByteArray bad_sum = OwnLine(0, QByteArray(32, '0'));
  bad_sum[41] = 'Z';
  EXPECT_TRUE(Decode(EepromFormat::kOwn, bad_sum));
  EXPECT_TRUE(Decode(EepromFormat::kOwn, ""));
}

TEST_F(EepromFilesTest, OwnReaderRefusesTheFirstBadLineAndLoadsNothing) {
  QList<QByteArray> good;
  for (int row = 0; row < 8; ++row) good << OwnLine(row, QByteArray(32, '0'));
  struct Case {
    int line;  // 0-based line to spoil
    QByteArray text;
    const char* message;
  };
  const Case cases[] = {
      {4, good[4].left(42), "La longitud de la línea 5 es incorrecta."},
      {7, good[7] + "0", "La longitud de la línea 8 es incorrecta."},
      {2, "%EE!" + good[2].mid(4), "El comando de la línea 3 es incorrecto"},
      {1, good[1].left(6) + "020" + good[1].mid(9), "El comando de la línea 2 es incorrecto"},
      {3, "%EE=80" + good[3].mid(6), "El comando de la línea 4 es incorrecto"},
      {3, "%EE=x1" + good[3].mid(6), "El comando de la línea 4 es incorrecto"},
      {6, good[6].left(20) + "a" + good[6].mid(21), "Valor hexadecimal inválido en la línea 7"},
      {0, good[0].left(40) + "G" + good[0].mid(41), "Valor hexadecimal inválido en la línea 1"},
  };
  for (const Case& c : cases) {
    QList<QByteArray> lines = good;
    lines[c.line] = c.text;
    EXPECT_FALSE(Decode(EepromFormat::kOwn, lines.join("\r\n"))) << c.message;
    EXPECT_EQ(error_, Message(c.message));
    ExpectUntouched();
  }
  // A blank line is a line too.
  EXPECT_FALSE(Decode(EepromFormat::kOwn, good[0] + "\r\n\r\n" + good[1]));
  EXPECT_EQ(error_, Message("La longitud de la línea 2 es incorrecta."));
}

TEST_F(EepromFilesTest, KvlReaderStopsQuietlyAndReplacesBadPairs) {
  QByteArray ten;
  for (int row = 0; row < 10; ++row) ten += QByteArray(32, static_cast<char>('0' + row)) + "\r\n";
  ASSERT_TRUE(Decode(EepromFormat::kKvl, ten + "\r\n  \n"));
  EXPECT_EQ(image_.RowText(10), QString(32, '9'));
  EXPECT_EQ(image_.RowText(11), QString(32, 'F'));

  image_.ClearImage();
  QByteArray odd = QByteArray(32, 'A') + "\n" + "G1" + QByteArray(30, 'B') + "\n" +
                   QByteArray(31, 'C') + "\n" + QByteArray(32, 'D');
  ASSERT_TRUE(Decode(EepromFormat::kKvl, odd));
  EXPECT_EQ(image_.RowText(1), QString(32, 'A'));
  EXPECT_EQ(image_.RowText(2), "FF" + QString(30, 'B'));
  EXPECT_EQ(image_.RowText(3), QString(32, 'F'));  // stopped at the short line
  EXPECT_EQ(image_.RowText(4), QString(32, 'F'));

  // The last line loads without a break after it; lines past row 128 are ignored.
  image_.ClearImage();
  QByteArray many;
  for (int row = 0; row < 130; ++row) many += QByteArray(32, row < 127 ? '1' : '2') + "\r\n";
  many.chop(2);
  ASSERT_TRUE(Decode(EepromFormat::kKvl, many));
  EXPECT_EQ(image_.RowText(128), QString(32, '2'));
}

TEST_F(EepromFilesTest, KvlReaderRefusesCommandFilesAndShortFirstLines) {
  for (const QByteArray& contents :
       {OwnLine(0, QByteArray(32, '0')), QByteArray("ABCD\r\n") + QByteArray(32, '0'), QByteArray(),
        QByteArray("\r\n") + QByteArray(32, '0')}) {
    EXPECT_FALSE(Decode(EepromFormat::kKvl, contents)) << contents.toStdString();
    EXPECT_EQ(error_, QString::fromUtf8("¡ Fichero de eeprom erróneo !"));
    ExpectUntouched();
  }
}

TEST_F(EepromFilesTest, BinReaderWantsExactlyTheEepromSize) {
  for (int size : {0, 2047, 2049}) {
    EXPECT_FALSE(Decode(EepromFormat::kBin, QByteArray(size, '\0')));
    EXPECT_EQ(error_, Message("La longitud del fichero es incorrecto."));
    ExpectUntouched();
  }
  QByteArray bytes(2048, '\x5A');
  bytes[0x7FF] = '\x01';
  ASSERT_TRUE(Decode(EepromFormat::kBin, bytes));
  EXPECT_EQ(image_.CellAt(0), "5A");
  EXPECT_EQ(image_.CellAt(0x7FF), "01");
}

TEST_F(EepromFilesTest, FilesOnDiskReportFailuresThroughTheHost) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  testing::RecordingHost host;
  FillPattern(image_);
  const QString path = dir.filePath("e.txt");
  ASSERT_TRUE(SaveEepromFile(path, EepromFormat::kOwn, image_, host));
  EepromImage loaded;
  ASSERT_TRUE(LoadEepromFile(path, EepromFormat::kOwn, texts_, host, loaded));
  ExpectSameCells(image_, loaded);
  EXPECT_TRUE(host.boxes.empty());

  EXPECT_FALSE(LoadEepromFile(path, EepromFormat::kBin, texts_, host, loaded));
  EXPECT_FALSE(
      LoadEepromFile(dir.filePath("missing.bin"), EepromFormat::kBin, texts_, host, loaded));
  EXPECT_FALSE(
      SaveEepromFile(dir.filePath("no/such/folder/e.bin"), EepromFormat::kBin, image_, host));
  ASSERT_EQ(host.boxes.size(), 3u);
  for (const auto& box : host.boxes) {
    EXPECT_TRUE(box.error);
    EXPECT_FALSE(box.text.isEmpty());
  }
  ExpectSameCells(image_, loaded);
}

}  // namespace
}  // namespace tornavo
