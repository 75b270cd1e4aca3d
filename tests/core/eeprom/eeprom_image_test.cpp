#include "core/eeprom/eeprom_image.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/recording_host.h"

namespace tornavo {
namespace {

// Every CellsChanged of an image, as (first row, last row).
struct ChangeLog {
  explicit ChangeLog(EepromImage& image) {
    QObject::connect(&image, &EepromImage::CellsChanged,
                     [this](int first, int last) { changes.emplace_back(first, last); });
  }
  std::vector<std::pair<int, int>> changes;
};

TEST(HexToIntTest, AcceptsOnlyUpperCaseDigitsUpToSixteen) {
  EXPECT_EQ(HexToInt(""), 0);
  EXPECT_EQ(HexToInt("FF"), 255);
  EXPECT_EQ(HexToInt("7F0"), 0x7F0);
  EXPECT_EQ(HexToInt("0123456789ABCDEF"), 0x0123456789ABCDEFLL);
  EXPECT_EQ(HexToInt("FFFFFFFFFFFFFFFF"), -1);  // all bits set, like a refusal
  EXPECT_EQ(HexToInt("ab"), -1);
  EXPECT_EQ(HexToInt("G1"), -1);
  EXPECT_EQ(HexToInt(" 1"), -1);
  EXPECT_EQ(HexToInt("00000000000000001"), -1);
}

TEST(EepromImageTest, StartsAllFfAndGuardsItsBounds) {
  EepromImage image;
  for (int row = 1; row <= kEepromRows; ++row) EXPECT_EQ(image.RowText(row), QString(32, 'F'));
  EXPECT_EQ(image.Cell(0, 1), "");
  EXPECT_EQ(image.Cell(129, 1), "");
  EXPECT_EQ(image.Cell(1, 17), "");
  image.SetCell(0, 0, "00");
  image.SetCell(129, 16, "00");
  image.SetCell(1, 17, "00");
  image.SetCellAt(-1, "00");
  image.SetCellAt(kEepromBytes, "00");
  for (uint8_t byte : image.Bytes()) ASSERT_EQ(byte, 0xFF);
  EXPECT_EQ(image.selected_row(), 0);
}

TEST(EepromImageTest, CellsMapToAddressesAndBytes) {
  EepromImage image;
  image.SetCell(1, 1, "12");
  image.SetCell(128, 16, "34");
  image.SetCell(3, 5, "zz");  // invalid texts are held as they are
  image.SetCell(3, 6, "");
  const auto bytes = image.Bytes();
  EXPECT_EQ(bytes[0], 0x12);
  EXPECT_EQ(bytes[2047], 0x34);
  EXPECT_EQ(bytes[0x24], 0xFF);
  EXPECT_EQ(bytes[0x25], 0x00);
  EXPECT_EQ(image.Cell(3, 5), "zz");
  EXPECT_EQ(image.CellAt(0x7FF), "34");
  EXPECT_EQ(image.RowText(1).left(4), "12FF");
  image.ClearImage();
  EXPECT_EQ(image.Cell(3, 5), "FF");
}

TEST(EepromImageTest, PlaceBytesIgnoresAddressesPastTheEnd) {
  EepromImage image;
  std::vector<uint8_t> block(512);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
  ChangeLog spy(image);
  image.PlaceBytes(block.data(), 0x700, 512);  // 256 bytes run past the end
  EXPECT_EQ(image.CellAt(0x6FF), "FF");
  EXPECT_EQ(image.CellAt(0x700), "00");
  EXPECT_EQ(image.CellAt(0x7FF), "FF");  // byte 0xFF of the block
  EXPECT_EQ(image.CellAt(0x7FE), "FE");
  ASSERT_EQ(spy.changes.size(), 1u);
  EXPECT_EQ(spy.changes[0].first, 113);
  EXPECT_EQ(spy.changes[0].second, 128);
  image.PlaceBytes(block.data(), 0x10, 3);
  EXPECT_EQ(image.RowText(2).left(8), "000102FF");
}

TEST(EepromImageTest, ValidateReportsTheFirstBadCellByAddress) {
  Texts texts;
  EepromImage image;
  testing::RecordingHost host;
  EXPECT_TRUE(image.ValidateImage(host, texts));
  EXPECT_TRUE(host.boxes.empty());

  image.SetCell(128, 4, "ab");
  image.SetCell(128, 5, "G");
  EXPECT_FALSE(image.ValidateImage(host, texts));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_TRUE(host.boxes[0].error);
  EXPECT_EQ(host.boxes[0].text, QString::fromUtf8("¡ La dirección 7F3 contiene un dato erroneo !"));

  image.SetCell(1, 2, "FFF");
  EXPECT_FALSE(image.ValidateImage(host, texts));
  EXPECT_EQ(host.boxes.back().text,
            QString::fromUtf8("¡ La dirección 001 contiene un dato erroneo !"));
}

TEST(EepromImageTest, EveryChangeSignalsItsRows) {
  EepromImage image;
  ChangeLog spy(image);
  image.SetCell(5, 1, "00");
  image.SetCellAt(0x7F0, "01");
  image.ClearImage();
  ASSERT_EQ(spy.changes.size(), 3u);
  EXPECT_EQ(spy.changes[0].first, 5);
  EXPECT_EQ(spy.changes[1].first, 128);
  EXPECT_EQ(spy.changes[2].first, 1);
  EXPECT_EQ(spy.changes[2].second, 128);
  image.set_selected_row(7);
  EXPECT_EQ(image.selected_row(), 7);
  image.set_selected_row(200);
  EXPECT_EQ(image.selected_row(), 7);
}

}  // namespace
}  // namespace tornavo
