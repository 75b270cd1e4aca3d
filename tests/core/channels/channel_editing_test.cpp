// What the property test cannot see: text on the clipboard, undo and redo, satellite names
// and the exports (the search is the tuning page's test). Moves, deletes, pastes and drags of
// whole records are its cases.
#include <gtest/gtest.h>

#include "core/channels/channel_list.h"
#include "core/channels/clipboard_text.h"
#include "core/channels/test_images.h"

namespace tornavo {
namespace {

using test::NumberedChannels;

// 20 channels on 10 transponders (channel i on transponder (i - 1) % 10 + 1), flash image.
class ChannelEditingTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ScriptedChooser chooser;
    ASSERT_EQ(
        list_.LoadFlashImage(
            test::FlashImage(NumberedChannels(20, 10), test::NumberedTransponders(10)), chooser),
        LoadResult::kOk);
  }
  QString Cell(int row, int column) const { return list_.channels().Cell(row, column); }

  ChannelList list_;
};

TEST(ClipboardTest, KindsAndRows) {
  EXPECT_EQ(ClipboardKind(""), kClipboardNothing);
  EXPECT_EQ(ClipboardKind("plain text\r\n"), kClipboardNothing);
  EXPECT_EQ(ClipboardKind(QString(10, '\t')), kClipboardNothing);
  EXPECT_EQ(ClipboardKind("1\t2\t3\t4\t5\t6\t7\tOn\t9\t10\t11\t"), kClipboardTransponders);
  EXPECT_EQ(ClipboardKind("1\t2\t3\t4\t5\t6\t7\tx\t9\t10\t11\t"), kClipboardChannels);
  // Only the first 65535 characters count.
  EXPECT_EQ(ClipboardKind(QString(65530, 'x') + QString(11, '\t')), kClipboardNothing);
  const std::vector<QStringList> rows = ClipboardRows("a\tb\t\r\nc\t\r\ntrailing");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], QStringList({"a", "b", ""}));
  EXPECT_EQ(rows[1], QStringList({"c", ""}));
}

TEST_F(ChannelEditingTest, PasteTakesOnlyItsOwnKindAndFillsShortLines) {
  const QString channels = RowsText(list_.channels(), 3, 4);
  const QString transponders = RowsText(list_.transponders(), 9, 10);
  EXPECT_FALSE(list_.PasteTransponders(1, channels));
  EXPECT_FALSE(list_.PasteChannels(1, transponders));
  // Odd-shaped lines fill what they have; rows past the last one are dropped.
  const int last = list_.channels().rows() - 1;
  const QString odd = QString("x\tNAME\t1\t\t\t\t\t\t\t\t\t\r\n") + QString(11, '\t') + "\r\n";
  ASSERT_TRUE(list_.PasteChannels(last, odd));
  EXPECT_EQ(Cell(last, kName), "NAME");
  EXPECT_EQ(Cell(last, 0), QString::number(last));
  EXPECT_EQ(Cell(last, kServiceId), "");
}

TEST_F(ChannelEditingTest, UndoAndRedoStepThroughMixedActions) {
  const TextGrid loaded_channels = list_.channels();
  const TextGrid loaded_transponders = list_.transponders();
  EXPECT_FALSE(list_.can_undo());
  list_.MoveChannels(5, 7, 2);
  const TextGrid after_move = list_.channels();
  list_.DeleteTransponders(1, 1);
  list_.PasteChannels(1, RowsText(loaded_channels, 9, 9));
  list_.SetEncryption(1, 3, 0x20);
  list_.RenameSatellite(0, "Astra");
  list_.ApplyChannelTableSize(ChannelList::kLargeChannelRows);
  EXPECT_EQ(Cell(2002, kChannelSatellite), "Astra");  // empty channel
  list_.ApplyTransponderTableSize(200);
  EXPECT_EQ(list_.transponders().Cell(199, kBand), "Ku");
  list_.PasteChannels(1, "not rows");  // nothing to paste: no step
  list_.SetEncryption(1, 1, 0x20);     // no change: no step
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(list_.Undo()) << i;
  EXPECT_FALSE(list_.can_undo());
  EXPECT_EQ(list_.channels(), loaded_channels);
  EXPECT_EQ(list_.transponders(), loaded_transponders);
  ASSERT_TRUE(list_.Redo());
  EXPECT_EQ(list_.channels(), after_move);
  ASSERT_TRUE(list_.Redo());
  EXPECT_EQ(list_.transponders().Cell(1, kTransponderId), "2");
  // A new action after undoing drops the steps that were undone.
  list_.DeleteChannels(1, 1);
  EXPECT_FALSE(list_.can_redo());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(list_.Undo()) << i;
  EXPECT_EQ(list_.channels(), loaded_channels);
  // A new load forgets the history.
  list_.MoveChannels(1, 1, 3);
  list_.LoadRamImage(test::Channels(NumberedChannels(2, 1)));
  EXPECT_FALSE(list_.can_undo());
}

TEST_F(ChannelEditingTest, SatelliteNamesFollowRenamesAndUndo) {
  list_.SetTransponderFields(2, list_.transponders().Row(2).mid(1, 9), "B");
  EXPECT_EQ(Cell(12, kChannelSatellite), "B");
  EXPECT_EQ(Cell(3, kChannelSatellite), "A");
  list_.RenameSatellite(1, "HS");
  EXPECT_EQ(list_.transponders().Cell(2, kTransponderSatellite), "HS");
  EXPECT_EQ(Cell(12, kChannelSatellite), "HS");
  EXPECT_EQ(list_.context().satellite_b, "HS");
  // Undoing the rename brings the old name back to the cells and to the list, so that saving
  // still tells the satellites apart.
  ASSERT_TRUE(list_.Undo());
  EXPECT_EQ(list_.context().satellite_b, "B");
  EXPECT_EQ(list_.transponders().Cell(2, kTransponderSatellite), "B");
  EXPECT_EQ(list_.ChannelsOnTransponder(2), (std::vector<int>{2, 12}));
}

TEST_F(ChannelEditingTest, ExportsHoldEveryCell) {
  EXPECT_EQ(GridTextFile(list_.transponders()).count("\r\n"), 100);
  list_.SetChannelFields(1, {"<b>&", "1", "1", "65535", "1", "0", "0", "1"}, 4);
  const QByteArray html = GridHtmlFile(list_.channels(), true);
  EXPECT_TRUE(html.trimmed().endsWith("</table>"));
  EXPECT_EQ(html.count(" <tr>"), 1000);
  EXPECT_TRUE(html.contains("  <td align=left bgcolor=#BFD0F5>&lt;b&gt;&amp;</td>"));
}

}  // namespace
}  // namespace tornavo
