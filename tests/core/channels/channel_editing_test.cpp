#include <gtest/gtest.h>

#include "core/channels/channel_list.h"
#include "core/channels/clipboard_text.h"
#include "core/channels/test_images.h"

namespace tornavo {
namespace {

using test::NumberedChannels;
using test::NumberedTransponders;

// 20 channels on 10 transponders (channel i on transponder (i - 1) % 10 + 1), flash image.
class ChannelEditingTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ScriptedChooser chooser;
    ASSERT_EQ(list_.LoadFlashImage(
                  test::FlashImage(NumberedChannels(20, 10), NumberedTransponders(10)), chooser),
              LoadResult::kOk);
  }
  QString Name(int row) const { return list_.channels().Cell(row, kName); }
  QString Names(int first, int last) const {
    QStringList names;
    for (int r = first; r <= last; ++r) names << Name(r);
    return names.join(' ');
  }
  int Reference(int row) const { return list_.channels().Cell(row, kChannelTransponder).toInt(); }
  QString TransponderId(int row) const { return list_.transponders().Cell(row, kTransponderId); }

  ChannelList list_;
};

TEST_F(ChannelEditingTest, MovingChannelsCarriesTheirReferences) {
  EXPECT_EQ(list_.MoveChannels(5, 7, 2), 2);
  EXPECT_EQ(Names(1, 8), "CH1 CH5 CH6 CH7 CH2 CH3 CH4 CH8");
  EXPECT_EQ(Reference(2), 5);
  EXPECT_EQ(list_.channels().Cell(2, 0), "2");
  list_.Undo();
  EXPECT_EQ(list_.MoveChannels(5, 7, 10), 10);
  EXPECT_EQ(Names(4, 13), "CH4 CH8 CH9 CH10 CH11 CH12 CH5 CH6 CH7 CH13");
  list_.Undo();
  // The block is clamped to end at the last row; a target outside the rows becomes 1.
  const int last = list_.channels().rows() - 1;
  EXPECT_EQ(list_.MoveChannels(1, 3, last), last - 2);
  EXPECT_EQ(Name(last), "CH3");
  list_.Undo();
  EXPECT_EQ(list_.MoveChannels(3, 3, 5000), 1);
  EXPECT_EQ(Names(1, 3), "CH3 CH1 CH2");
}

TEST_F(ChannelEditingTest, MovingAndDraggingTranspondersRenumbersReferences) {
  list_.SetChannelFields(20, {"NONE", "0", "1", "1", "1", "0", "0", "1"}, 4);
  list_.MoveTransponders(3, 3, 1);
  EXPECT_EQ(TransponderId(1), "3");
  EXPECT_EQ(Reference(3), 1);  // was 3
  EXPECT_EQ(Reference(1), 2);  // was 1
  EXPECT_EQ(Reference(2), 3);  // was 2
  EXPECT_EQ(Reference(4), 4);
  EXPECT_EQ(Reference(20), 0);
  list_.Undo();
  list_.DragTransponderRow(2, 5);
  EXPECT_EQ(TransponderId(5), "2");
  EXPECT_EQ(TransponderId(2), "3");
  EXPECT_EQ(Reference(2), 5);
  EXPECT_EQ(Reference(3), 2);
  EXPECT_EQ(Reference(6), 6);
  list_.DragTransponderRow(5, 2);
  EXPECT_EQ(Reference(2), 2);
  EXPECT_EQ(Reference(3), 3);
  list_.DragChannelRow(1, 4);
  EXPECT_EQ(Names(1, 4), "CH2 CH3 CH4 CH1");
  EXPECT_EQ(Reference(4), 1);
  EXPECT_EQ(list_.channels().Cell(4, 0), "4");
}

TEST_F(ChannelEditingTest, DeletingTranspondersDeletesTheirChannels) {
  list_.DeleteTransponders(4, 5);
  // Channels 4, 5, 14, 15 are gone; references above 5 drop by two.
  EXPECT_EQ(Names(1, 17),
            "CH1 CH2 CH3 CH6 CH7 CH8 CH9 CH10 CH11 CH12 CH13 CH16 CH17 CH18 "
            "CH19 CH20 ");
  EXPECT_EQ(Reference(4), 4);  // CH6 was on 6
  EXPECT_EQ(Reference(8), 8);  // CH10 was on 10
  EXPECT_EQ(Reference(3), 3);
  EXPECT_EQ(TransponderId(4), "6");
  EXPECT_EQ(TransponderId(8), "10");
  EXPECT_EQ(list_.FirstFreeTransponderRow(), 9);
  const QStringList empty = list_.transponders().Row(99).mid(1);
  EXPECT_EQ(empty, QStringList({"0", "0", "0", "1/2", "V", "0", "Off", "0", "Ku", "A"}));
  EXPECT_EQ(list_.channels().Row(999).mid(1),
            QStringList({"", "0", "0", "0", "0", "0", "0", "0", "0", "A"}));
  list_.DeleteChannels(1, 2);
  EXPECT_EQ(Names(1, 2), "CH3 CH6");
  EXPECT_EQ(list_.FirstFreeChannelRow(), 15);
}

TEST_F(ChannelEditingTest, CopyCutAndPasteKeepReferencesRight) {
  const QString two = RowsText(list_.channels(), 3, 4);
  EXPECT_EQ(two.count('\t'), 22);
  EXPECT_EQ(two.count(QLatin1String("\r\n")), 2);
  EXPECT_EQ(ClipboardKind(two), kClipboardChannels);
  EXPECT_FALSE(list_.PasteTransponders(1, two));

  // Cut one channel and paste it at row 1.
  const QString cut = RowsText(list_.channels(), 7, 7);
  list_.DeleteChannels(7, 7);
  ASSERT_TRUE(list_.PasteChannels(1, cut));
  EXPECT_EQ(Names(1, 4), "CH7 CH1 CH2 CH3");
  EXPECT_EQ(Reference(1), 7);
  EXPECT_EQ(Names(7, 8), "CH6 CH8");
  EXPECT_EQ(list_.channels().Cell(1, 0), "1");

  // Two transponders pasted at row 3 push rows 3 ... 10 to 5 ... 12 with their channels.
  const QString transponders = RowsText(list_.transponders(), 9, 10);
  EXPECT_EQ(ClipboardKind(transponders), kClipboardTransponders);
  EXPECT_FALSE(list_.PasteChannels(1, transponders));
  ASSERT_TRUE(list_.PasteTransponders(3, transponders));
  EXPECT_EQ(TransponderId(3), "9");
  EXPECT_EQ(TransponderId(4), "10");
  EXPECT_EQ(TransponderId(5), "3");
  EXPECT_EQ(TransponderId(12), "10");
  EXPECT_EQ(list_.channels().Cell(4, kName), "CH3");
  EXPECT_EQ(Reference(4), 5);  // CH3
  EXPECT_EQ(Reference(3), 2);  // CH2 stays
  EXPECT_EQ(Reference(1), 9);  // CH7 was on 7
  EXPECT_TRUE(list_.ChannelsOnTransponder(3).empty());
}

TEST(ClipboardTest, KindsAndRows) {
  EXPECT_EQ(ClipboardKind(""), kClipboardNothing);
  EXPECT_EQ(ClipboardKind("plain text\r\n"), kClipboardNothing);
  EXPECT_EQ(ClipboardKind(QString(10, '\t')), kClipboardNothing);
  EXPECT_EQ(ClipboardKind("1\t2\t3\t4\t5\t6\t7\tOn\t9\t10\t11\t"), kClipboardTransponders);
  EXPECT_EQ(ClipboardKind("1\t2\t3\t4\t5\t6\t7\tx\t9\t10\t11\t"), kClipboardChannels);
  EXPECT_EQ(ClipboardKind(QString(11, '\t')), kClipboardChannels);
  // Only the first 65535 characters count.
  EXPECT_EQ(ClipboardKind(QString(65530, 'x') + QString(11, '\t')), kClipboardNothing);
  const std::vector<QStringList> rows = ClipboardRows("a\tb\t\r\nc\t\r\ntrailing");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], QStringList({"a", "b", ""}));
  EXPECT_EQ(rows[1], QStringList({"c", ""}));
}

TEST_F(ChannelEditingTest, PasteWithShortLinesAndPastTheEnd) {
  ChannelList& list = list_;
  const int last = list.channels().rows() - 1;
  // Odd-shaped lines fill what they have; rows past the last one are dropped.
  const QString odd = QString("x\tNAME\t1\t\t\t\t\t\t\t\t\t\r\n") + QString(11, '\t') + "\r\n";
  ASSERT_TRUE(list.PasteChannels(last, odd));
  EXPECT_EQ(list.channels().Cell(last, kName), "NAME");
  EXPECT_EQ(list.channels().Cell(last, 0), QString::number(last));
  EXPECT_EQ(list.channels().Cell(last, kServiceId), "");
}

TEST_F(ChannelEditingTest, StatusBoxesAndEncryption) {
  list_.SetChannelFields(2, {"X", "1", "1", "1", "1", "0", "0", "1"}, 0x25);
  list_.SetStatusBit(1, 2, kActive, false);
  EXPECT_EQ(list_.channels().Cell(1, kStatus), "00");
  EXPECT_EQ(list_.channels().Cell(2, kStatus), "21");
  list_.SetStatusBit(1, 2, kFavourite, true);
  EXPECT_EQ(list_.channels().Cell(2, kStatus), "23");
  list_.SetEncryption(2, 2, 0x60);
  EXPECT_EQ(list_.channels().Cell(2, kStatus), "63");
  list_.SetEncryption(2, 2, 0x00);
  EXPECT_EQ(list_.channels().Cell(2, kStatus), "03");
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
  EXPECT_EQ(list_.channels().rows(), 2003);
  EXPECT_EQ(list_.channels().Cell(2002, kChannelSatellite), "Astra");  // empty channel
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
  ASSERT_TRUE(list_.Undo());
  ASSERT_TRUE(list_.Undo());
  ASSERT_TRUE(list_.Undo());
  EXPECT_EQ(list_.channels(), loaded_channels);
  // A new load forgets the history.
  list_.MoveChannels(1, 1, 3);
  list_.LoadRamImage(test::Channels(NumberedChannels(2, 1)));
  EXPECT_FALSE(list_.can_undo());
}

TEST_F(ChannelEditingTest, SatellitesSearchAndTransponderDialog) {
  list_.SetTransponderFields(2, list_.transponders().Row(2).mid(1, 9), "B");
  EXPECT_EQ(list_.channels().Cell(2, kChannelSatellite), "B");
  EXPECT_EQ(list_.channels().Cell(12, kChannelSatellite), "B");
  EXPECT_EQ(list_.channels().Cell(3, kChannelSatellite), "A");
  list_.RenameSatellite(1, "HS");
  EXPECT_EQ(list_.transponders().Cell(2, kTransponderSatellite), "HS");
  EXPECT_EQ(list_.channels().Cell(12, kChannelSatellite), "HS");
  EXPECT_EQ(list_.channels().Cell(3, kChannelSatellite), "A");
  EXPECT_EQ(list_.context().satellite_b, "HS");
  // Undoing the rename brings the old name back to the cells and to the list, so that saving
  // still tells the satellites apart.
  ASSERT_TRUE(list_.Undo());
  EXPECT_EQ(list_.context().satellite_b, "B");
  EXPECT_EQ(list_.transponders().Cell(2, kTransponderSatellite), "B");
  EXPECT_EQ(list_.ChannelsOnTransponder(2), (std::vector<int>{2, 12}));

  list_.SetChannelFields(5, {"Canal Tv", "5", "1", "1", "1", "0", "0", "1"}, 4);
  list_.SetChannelFields(list_.channels().rows() - 1, {"TVE", "0", "1", "1", "1", "0", "0", "1"},
                         4);
  EXPECT_EQ(list_.FindChannel(0, "tv"), 5);
  EXPECT_EQ(list_.FindChannel(5, "tv"), list_.channels().rows() - 1);
  EXPECT_EQ(list_.FindChannel(list_.channels().rows() - 1, "tv"), -1);
  EXPECT_EQ(list_.FindChannel(0, ""), -1);
}

TEST_F(ChannelEditingTest, ExportsHoldEveryCell) {
  const QByteArray text = GridTextFile(list_.transponders());
  EXPECT_TRUE(
      text.startsWith("\tFREC\tTRSP\tNET\tFEC\tPOL\tSR\t22KHz\tCAN\tBANDA\tSAT\t\r\n"
                      "1\t1951000\t1\t1\t3/4\tV\t00\tOff\t1\tKu\tA\t\r\n"));
  EXPECT_EQ(text.count("\r\n"), 100);
  list_.SetChannelFields(1, {"<b>&", "1", "1", "65535", "1", "0", "0", "1"}, 4);
  const QByteArray html = GridHtmlFile(list_.channels(), true);
  EXPECT_TRUE(html.startsWith("<table bgcolor=#"));
  EXPECT_TRUE(html.trimmed().endsWith("</table>"));
  EXPECT_EQ(html.count(" <tr>"), 1000);
  EXPECT_TRUE(html.contains("  <th align=center bgcolor=#C0C0C0>NOMBRE</th>"));
  EXPECT_TRUE(html.contains("  <td align=left bgcolor=#BFD0F5>&lt;b&gt;&amp;</td>"));
}

}  // namespace
}  // namespace tornavo
