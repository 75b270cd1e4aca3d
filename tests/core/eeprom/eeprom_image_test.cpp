#include "core/eeprom/eeprom_image.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>
#include <vector>

#include "support/recording_host.h"

namespace tornavo {
namespace {

using Changes = std::vector<std::pair<int, int>>;  // (first row, last row) of each signal

// Every CellsChanged of an image.
struct ChangeLog {
  explicit ChangeLog(EepromImage& image) {
    QObject::connect(&image, &EepromImage::CellsChanged,
                     [this](int first, int last) { changes.emplace_back(first, last); });
  }
  Changes changes;
};

TEST(HexToIntTest, AcceptsDigitsOfEitherCaseUpToSixteen) {
  EXPECT_EQ(HexToInt(""), 0);
  EXPECT_EQ(HexToInt("FF"), 255);
  EXPECT_EQ(HexToInt("7F0"), 0x7F0);
  EXPECT_EQ(HexToInt("0123456789ABCDEF"), 0x0123456789ABCDEFLL);
  EXPECT_EQ(HexToInt("abcdef"), 0xABCDEF);
  // All bits set reads as a refusal does.
  for (const char* refused : {"FFFFFFFFFFFFFFFF", "G1", "g", " 1", "00000000000000001"})
    EXPECT_EQ(HexToInt(refused), -1) << refused;
  // The image holds its cells in upper case only.
  EXPECT_TRUE(IsValidCellText("AB"));
  for (const char* invalid : {"ab", "A", "ABC", "G0"}) EXPECT_FALSE(IsValidCellText(invalid));
}

TEST(EepromRowsTest, RowRangesNameRunsByTheirStartAddresses) {
  EepromRows rows = RowsBetween(0, 10);
  rows.set(12);
  rows.set(0x7F);
  EXPECT_EQ(RowRangesText(rows), "000-0A0, 0C0, 7F0");
  EXPECT_EQ(RowRangesText(EepromRows().set()), "000-7F0");
  EXPECT_EQ(RowRangesText(EepromRows()), "");
}

TEST(EepromImageTest, StartsAllFfAndKeepsCellsAndSelectedRowInsideItsBounds) {
  EepromImage image;
  for (auto [row, column] : {std::pair{0, 1}, std::pair{129, 16}, std::pair{1, 17}}) {
    EXPECT_EQ(image.Cell(row, column), "") << row << ',' << column;
    image.SetCell(row, column, "00");
  }
  image.SetCellAt(-1, "00");
  image.SetCellAt(kEepromBytes, "00");
  for (const QString& cell : image.cells()) ASSERT_EQ(cell, "FF");

  image.SetCell(1, 1, "12");
  image.SetCell(128, 16, "34");
  image.SetCell(3, 5, "zz");  // invalid texts are held as they are
  image.SetCell(3, 6, "");
  EXPECT_EQ(image.RowText(3), "FFFFFFFFzz" + QString(20, 'F'));
  const auto bytes = image.Bytes();
  // An invalid text gives FF, the empty one 00.
  EXPECT_EQ((std::vector<int>{bytes[0], bytes[0x24], bytes[0x25], bytes[2047]}),
            (std::vector<int>{0x12, 0xFF, 0x00, 0x34}));

  EXPECT_EQ(image.selected_row(), 0);  // until a cell is selected
  image.set_selected_row(7);
  image.set_selected_row(200);
  EXPECT_EQ(image.selected_row(), 7);
}

TEST(EepromImageTest, ValidateReportsTheFirstBadCellByAddress) {
  Texts texts;
  EepromImage image;
  testing::RecordingHost host;
  EXPECT_TRUE(image.ValidateImage(host, texts));
  image.SetCell(128, 4, "ab");
  image.SetCell(128, 5, "G");
  EXPECT_FALSE(image.ValidateImage(host, texts));
  image.SetCell(1, 2, "FFF");
  EXPECT_FALSE(image.ValidateImage(host, texts));
  ASSERT_EQ(host.boxes.size(), 2u);  // none for the valid image
  const QString message = QString::fromUtf8("¡ La dirección %1 contiene un dato erroneo !");
  EXPECT_TRUE(host.boxes[0].error && host.boxes[1].error);
  EXPECT_EQ(host.boxes[0].text, message.arg("7F3"));
  EXPECT_EQ(host.boxes[1].text, message.arg("001"));
}

TEST(EepromImageTest, EveryChangeSignalsItsRowsAndPlaceBytesStopsAtTheEnd) {
  EepromImage image;
  ChangeLog spy(image);
  image.SetCell(5, 1, "00");
  image.SetCellAt(0x7F0, "01");
  image.ClearImage();
  std::vector<uint8_t> block(512);
  std::iota(block.begin(), block.end(), 0);    // 00 .. FF twice
  image.PlaceBytes(block.data(), 0x700, 512);  // 256 bytes run past the end
  EXPECT_EQ(spy.changes, (Changes{{5, 5}, {128, 128}, {1, 128}, {113, 128}}));
  EXPECT_EQ(image.CellAt(0x6FF) + image.CellAt(0x700), "FF00");
  EXPECT_EQ(image.CellAt(0x7FE) + image.CellAt(0x7FF), "FEFF");
}

}  // namespace
}  // namespace tornavo
