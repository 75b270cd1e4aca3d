#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <tuple>

#include "core/channels/channel_list.h"
#include "core/channels/table_records.h"
#include "core/channels/table_settings.h"
#include "core/channels/test_images.h"
#include "core/texts/texts.h"

namespace tornavo {
namespace {

using test::ChannelRecordData;
using test::FlashImage;
using test::NumberedChannels;
using test::NumberedTransponders;
using test::ScriptedChooser;
using test::TransponderRecordData;

int64_t ByteScan(const char* tag, int64_t start, const QByteArray& image) {
  for (int64_t p = std::max<int64_t>(start, 0); p + 51 <= image.size(); ++p)
    if (image.mid(p + 32, 3) == tag && image.mid(p + 48, 3) == tag) return p;
  return -1;
}

TEST(TableFormatTest, SectionSearchFindsWhatAByteScanFinds) {
  QRandomGenerator random(7);
  for (int round = 0; round < 40; ++round) {
    QByteArray image(4096 + random.bounded(4096), '\0');
    // Bytes drawn from a small alphabet make partial tags frequent.
    for (char& b : image) b = "TCSPX\0"[random.bounded(6)];
    for (int k = random.bounded(4); k > 0; --k) {
      const qsizetype p = random.bounded(image.size() - 40);
      image.replace(p + 32, 3, "TCS");
      if (random.bounded(3) != 0 && p + 51 <= image.size()) image.replace(p + 48, 3, "TCS");
    }
    for (int64_t start : {int64_t{-5}, int64_t{0}, int64_t{100}, int64_t{image.size() - 60},
                          int64_t{image.size()}}) {
      EXPECT_EQ(FindTableSection("TCS", start, image), ByteScan("TCS", start, image))
          << "round " << round << " start " << start;
    }
  }
  // A section whose second tag would end past the image is no section.
  QByteArray edge(101, '\0');
  edge.replace(82, 3, "TPT");
  edge.replace(98, 3, "TPT");
  EXPECT_EQ(FindTableSection("TPT", 0, edge), 50);
  edge.chop(1);
  EXPECT_EQ(FindTableSection("TPT", 0, edge), -1);
}

TEST(TableFormatTest, SectionsAreListedOncePerBlockAndChosenWhenSeveral) {
  QByteArray image =
      FlashImage(NumberedChannels(3, 1), NumberedTransponders(1), 0x30100, 0x50000, 0x80000);
  test::PutSection(image, 0x30800, kChannelTag, {}, kChannelRecordSize, 10);  // same block
  test::PutSection(image, 0x10000, kChannelTag, test::Channels(NumberedChannels(5, 1)),
                   kChannelRecordSize, 999);
  EXPECT_EQ(ListTableSections(kChannelTag, image), (std::vector<int64_t>{0x10000, 0x30100}));

  ChannelList list;
  ScriptedChooser chooser;
  chooser.answers = {0x30100};
  ASSERT_EQ(list.LoadFlashImage(image, chooser), LoadResult::kOk);
  ASSERT_EQ(chooser.offered.size(), 1u);  // the one transponder section needs no choice
  EXPECT_EQ(chooser.tags[0], "TCS");

  // No answer, or an answer that is not one of the sections, gives the load up.
  ScriptedChooser silent;
  ChannelList other;
  EXPECT_EQ(other.LoadFlashImage(image, silent), LoadResult::kNoChoice);
  silent.answers = {0x30800};
  EXPECT_EQ(other.LoadFlashImage(image, silent), LoadResult::kNoChoice);
  EXPECT_FALSE(other.held());
}

TEST(TableFormatTest, FailedLoadsKeepWhatIsHeld) {
  ChannelList list;
  ScriptedChooser chooser;
  const QByteArray good = FlashImage(NumberedChannels(2, 1), NumberedTransponders(1));
  ASSERT_EQ(list.LoadFlashImage(good, chooser), LoadResult::kOk);
  const TextGrid channels = list.channels();

  QByteArray no_tpt(0x20000, '\xFF');
  test::PutSection(no_tpt, 0x100, kChannelTag, {}, kChannelRecordSize, 999);
  EXPECT_EQ(list.LoadFlashImage(no_tpt, chooser), LoadResult::kNoTransponderTable);
  EXPECT_EQ(list.LoadFlashImage(QByteArray(0x20000, 'T'), chooser), LoadResult::kNoChannelTable);
  EXPECT_EQ(list.AppendFlashImage(no_tpt, chooser), LoadResult::kNoTransponderTable);
  EXPECT_EQ(list.image(), good);
  EXPECT_EQ(list.channels(), channels);
  EXPECT_FALSE(list.can_undo());
}

TEST(TableFormatTest, FrequenciesTakeTheSystemSeparatorAndReadEither) {
  for (const auto& [language, shown] : {std::pair{QLocale::Spanish, "1950000,5"},
                                        {QLocale::English, "1950000.5"},
                                        {QLocale::Arabic, "1950000,5"}}) {
    test::ScopedLocale locale(language);
    EXPECT_EQ(FrequencyText(1950000500), shown);
    EXPECT_EQ(ParseFrequency("1950000,5"), 1950000500u);
    EXPECT_EQ(ParseFrequency("1950000.5"), 1950000500u);
  }
}

TEST(TableFormatTest, RecordsReadIntoCells) {
  test::ScopedLocale spanish(QLocale::Spanish);
  // 16 characters without a terminator; a transponder number naming a grid row not in use.
  const ChannelRecordData full{
      .name = "ABCDEFGHIJKLMNOP", .status = 0x45, .transponder = 2, .vpid = 65535, .apid = 65535};
  const ChannelRecordData short_name{.name = "TV3", .transponder = 7};
  const TransponderRecordData first{.symbol_rate = 3, .fec = 7};
  const TransponderRecordData second{
      .hertz = 1950000500, .symbol_rate = 4, .fec = 5, .flags = 0x0F | 0x30};  // rate entry 0
  const TransponderRecordData third{.symbol_rate = 0x20};
  ChannelList list;
  TableContext context;
  context.symbol_rates = {0, 0, 0, 27500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32};
  context.satellite_b = "Hispasat";
  list.SetContext(context);
  ScriptedChooser chooser;
  ASSERT_EQ(list.LoadFlashImage(FlashImage({full, short_name}, {first, second, third}), chooser),
            LoadResult::kOk);
  const TextGrid& c = list.channels();
  EXPECT_EQ(c.Row(1), QStringList({"1", "ABCDEFGHIJKLMNOP", "2", "1", "65535", "65535", "0", "0",
                                   "100", "45", "Hispasat"}));
  EXPECT_EQ(c.Cell(2, kName), "TV3");
  EXPECT_EQ(c.Cell(2, kChannelSatellite), "A");
  const TextGrid& t = list.transponders();
  EXPECT_EQ(t.Row(1),
            QStringList({"1", "1950000", "1", "1", "07", "V", "27500", "Off", "1", "Ku", "A"}));
  EXPECT_EQ(t.Row(2), QStringList({"2", "1950000,5", "1", "1", "8/9", "H", "04", "On", "1", "C",
                                   "Hispasat"}));
  EXPECT_EQ(t.Cell(3, kSymbolRate), "20");
  EXPECT_EQ(ChannelRowColour(c, 1), (Rgb{191, 245, 192}));
  EXPECT_EQ(ChannelRowColour(c, 2), (Rgb{245, 226, 175}));
  EXPECT_EQ(ChannelRowColour(c, 3), (Rgb{255, 255, 255}));
  EXPECT_EQ(list.TunedFrequency(1), "11700000");
  EXPECT_EQ(list.TunedFrequency(2), "12550000,5");
}

TEST(TableFormatTest, CellsWriteBackAsRecords) {
  ChannelList list;
  TableContext context;
  context.symbol_rates = {22000, 27500, 27500};
  context.satellite_b = "Hispasat";
  list.SetContext(context);
  ScriptedChooser chooser;
  const QByteArray image = FlashImage(NumberedChannels(2, 2), NumberedTransponders(3));
  ASSERT_EQ(list.LoadFlashImage(image, chooser), LoadResult::kOk);
  list.SetChannelFields(1, {"TV3", "2", "70000", "1", "2", "3", "4", "5"}, 0x25);
  list.SetTransponderFields(1, {"1950000", "513", "2", "07", "H", "27500", "On", "3", "C"},
                            "Hispasat");
  list.SetTransponderFields(2, {"1950000,0005", "1", "1", "8/9", "V", "12345", "Off", "1", "Ku"},
                            "Otro");
  list.SetTransponderFields(3, {"0,0015", "1", "1", "x", "V", "1B", "Off", "1", "Ku"}, "A");
  ChannelError error;
  ASSERT_TRUE(list.BuildFlashImage(list.tcs_block(), list.tpt_block(), &error));
  const QByteArray out = list.image();
  const qsizetype ch = 0x1E0100 + 68;
  EXPECT_EQ(out.mid(ch, 30), QByteArray::fromHex("54563300000000000000000000000000"
                                                 "250211700001000200030004"
                                                 "0005"));
  const qsizetype tp = 0x1D0000 + 68;
  EXPECT_EQ(out.mid(tp, 12), QByteArray::fromHex("743AA380020100020301070F"));  // entry 1
  // 0,0005 rounds half to even; 12345 names no entry and "8/9" writes 5; another satellite
  // name clears bit 0x08.
  EXPECT_EQ(out.mid(tp + 12, 12), QByteArray::fromHex("743AA380000100010100"
                                                      "0500"));
  EXPECT_EQ(out.mid(tp + 24, 12), QByteArray::fromHex("00000002000100010100"
                                                      "0500"));
}

// That a refused save leaves the file alone is the save-safety tests'; the reason's text is
// the channel service's.
TEST(TableFormatTest, UnconvertibleCellLeavesTheImageUnchanged) {
  ScriptedChooser chooser;
  const QByteArray image = FlashImage(NumberedChannels(3, 1), NumberedTransponders(1));
  for (const auto& [transponder, row, column, text] : {std::tuple{false, 3, int{kVideoPid}, "12a"},
                                                       {true, 1, int{kFrequency}, ""},
                                                       {true, 1, int{kFrequency}, "5000000"}}) {
    ChannelList list;
    ASSERT_EQ(list.LoadFlashImage(image, chooser), LoadResult::kOk);
    QStringList cells = (transponder ? list.transponders() : list.channels()).Row(row);
    cells[column] = text;
    if (transponder)
      list.SetTransponderFields(row, cells.mid(1, 9), cells[10]);
    else
      list.SetChannelFields(row, cells.mid(1, 8), 0x04);
    ChannelError error;
    // Moving the table too: the failure must not move it either.
    EXPECT_FALSE(list.BuildFlashImage(0x1F0000, list.tpt_block(), &error)) << text;
    EXPECT_EQ(error.kind, ChannelError::Kind::kCell);
    EXPECT_EQ(list.image(), image);
    EXPECT_EQ(list.tcs_block(), 0x1E0000);
  }
}

// Where a table goes and what goes with it is the property test's; these are the refusals and
// the rule that only a block's first section is wiped.
TEST(TableFormatTest, BadTargetsAreRefusedAndOnlyABlocksFirstCopyIsWiped) {
  ScriptedChooser chooser;
  ChannelError error;
  // Moving the transponder table from a block start copies its own header; the wipe starts at
  // the block start and stops at the image end.
  QByteArray small =
      FlashImage(NumberedChannels(2, 1), NumberedTransponders(1), 0x100, 0x10000, 0x10300, 10, 10);
  // Past its ten records the transponder section runs into the image end: zeros there, as
  // flag bits 0x10 to 0x80 are written as 0.
  small.replace(0x10044 + 120, 0x10300 - 0x10044 - 120, QByteArray(0x10300 - 0x10044 - 120, 0));
  ChannelList near_end;
  ASSERT_EQ(near_end.LoadFlashImage(small, chooser), LoadResult::kOk);
  ASSERT_TRUE(near_end.BuildFlashImage(0, 0x10000, &error));  // nothing moves
  EXPECT_EQ(near_end.image(), small);
  EXPECT_FALSE(near_end.BuildFlashImage(0x20000, 0x10000, &error));
  EXPECT_EQ(error.kind, ChannelError::Kind::kBlockOutsideImage);
  EXPECT_EQ(near_end.ErrorText(error, Texts()), "La posición 020000 queda fuera de la imagen.");
  EXPECT_FALSE(near_end.BuildFlashImage(0x10000, 0x10000, &error));
  EXPECT_EQ(error.kind, ChannelError::Kind::kBlocksOverlap);
  EXPECT_EQ(near_end.image(), small);

  // A stale copy in another block is wiped when the image is built.
  test::PutSection(small, 0x10200, kTransponderTag, {}, kTransponderRecordSize, 1);
  test::PutSection(small, 0x8000, kTransponderTag, {}, kTransponderRecordSize, 1);
  ChannelList stale;
  chooser.answers = {0x10000};
  ASSERT_EQ(stale.LoadFlashImage(small, chooser), LoadResult::kOk);
  ASSERT_TRUE(stale.BuildFlashImage(0, 0x10000, &error));
  EXPECT_EQ(stale.image().mid(0x8020, 1551), QByteArray(1551, '\0'));
  EXPECT_EQ(stale.image().mid(0x10000, 68), small.mid(0x10000, 68));
  // The block's second copy is not the block's first section, so it stays.
  EXPECT_EQ(FindTableSection(kTransponderTag, 0x10001, stale.image()), 0x10200);
}

TEST(TableFormatTest, ShortImagesReadAndWriteWhatFits) {
  ChannelList list;
  QByteArray ram = test::Channels(NumberedChannels(3, 1));
  ram.append(QByteArray(20, '\x11'));  // a partial fourth record
  list.LoadRamImage(ram);
  EXPECT_EQ(list.channels().Cell(3, kName), "CH3");
  EXPECT_EQ(list.channels().Cell(3, kChannelSatellite), "");
  EXPECT_EQ(list.channels().Cell(4, kName), "");
  list.SetEncryption(1, 1, 0x40);
  QTemporaryDir dir;
  ChannelError error;
  ASSERT_TRUE(list.SaveChannelImage(dir.filePath("ram.bin"), 0, 0, &error));
  QByteArray expected = ram;
  expected[16] = 0x44;
  EXPECT_EQ(list.image(), expected);
}

// Where appended records land is the property test's; this is what the section fields show.
TEST(TableFormatTest, AppendedFileShowsBlocksUntilATableMoves) {
  ScriptedChooser chooser;
  ChannelList list;
  ASSERT_EQ(list.LoadFlashImage(FlashImage(NumberedChannels(100, 10), NumberedTransponders(10),
                                           0x10100, 0x20000, 0x40000),
                                chooser),
            LoadResult::kOk);
  EXPECT_EQ(list.ChannelSectionText(), "01 (010120)");
  ASSERT_EQ(list.AppendFlashImage(FlashImage(NumberedChannels(3, 2), NumberedTransponders(2), 0x100,
                                             0x10000, 0x20000),
                                  chooser),
            LoadResult::kOk);
  EXPECT_EQ(list.ChannelSectionText(), "1 (10000)");
  EXPECT_EQ(list.TransponderSectionText(), "2 (20000)");
  ChannelError error;
  ASSERT_TRUE(list.BuildFlashImage(0x30000, 0x20000, &error))
      << list.ErrorText(error, Texts()).toStdString();
  EXPECT_EQ(list.ChannelSectionText(), "03 (030000)");
  EXPECT_EQ(list.TransponderSectionText(), "2 (20000)");
  EXPECT_TRUE(list.Undo());
  EXPECT_EQ(list.channels().Cell(101, kName), "");
}

// A table beyond the offered blocks stays where it is instead of moving to block 0.
TEST(TableFormatTest, PositionEntriesNameBlocks) {
  EXPECT_EQ(PositionBlock(0x1F, 0), 0x1F0000);
  EXPECT_EQ(PositionIndex(0x200000), -1);
  EXPECT_EQ(PositionBlock(32, 0x250000), 0x250000);
}

}  // namespace
}  // namespace tornavo
