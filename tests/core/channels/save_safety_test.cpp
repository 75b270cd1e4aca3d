// Every record travels whole through the editing operations.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "core/channels/channel_list.h"
#include "core/channels/test_images.h"

namespace tornavo {
namespace {

using test::FlashImage;
using test::NumberedChannels;
using test::NumberedTransponders;

// Transponder k has id k and a symbol-rate code that names no entry, 0x30 + k (one of them,
// 0x31, shows as "31", which is also the text of the entry holding 31); channel k has SID k
// and a name with bytes after its terminator.
QByteArray Marked(int channels, int transponders, int id_base, qsizetype tcs, qsizetype tpt,
                  qsizetype size) {
  std::vector<test::ChannelRecordData> c = NumberedChannels(channels, transponders);
  for (auto& record : c) record.name = "N" + QByteArray::number(record.sid) + '\0' + "tail";
  std::vector<test::TransponderRecordData> t = NumberedTransponders(transponders);
  for (auto& record : t) {
    record.id = static_cast<uint16_t>(record.id + id_base);
    record.symbol_rate = static_cast<uint8_t>(0x30 + record.id);
  }
  return FlashImage(c, t, tcs, tpt, size);
}

TEST(SaveSafetyTest, RecordsTravelWholeThroughEveryOperation) {
  const QByteArray other = Marked(4, 3, 100, 0x100, 0x10000, 0x20000);
  const std::pair<const char*, std::function<int64_t(ChannelList&)>> operations[] = {
      {"move", [](ChannelList& l) { return l.MoveTransponders(3, 4, 8), 0; }},
      {"delete", [](ChannelList& l) { return l.DeleteTransponders(2, 2), 0; }},
      {"copy and paste",
       [](ChannelList& l) { return l.PasteTransponders(3, l.CopyRows(true, 1, 2)), 0; }},
      {"cut and paste",
       [](ChannelList& l) {
         const QString cut = l.CopyRows(true, 2, 3);
         l.DeleteTransponders(2, 3);
         return l.PasteTransponders(5, cut), 0;
       }},
      {"drag", [](ChannelList& l) { return l.DragTransponderRow(1, 6), 0; }},
      {"add",
       [&](ChannelList& l) {
         test::ScriptedChooser chooser;
         return l.AppendFlashImage(other, chooser), 0;
       }},
      {"table move", [](ChannelList&) { return int64_t{0x1C0000}; }},
      {"channels",
       [](ChannelList& l) {
         l.MoveChannels(2, 4, 9);
         return l.PasteChannels(1, l.CopyRows(false, 5, 6)), 0;
       }},
  };
  for (const auto& [name, operation] : operations) {
    SCOPED_TRACE(name);
    ChannelList list;
    TableContext context;
    context.symbol_rates[5] = 31;
    list.SetContext(context);
    test::ScriptedChooser chooser;
    ASSERT_EQ(list.LoadFlashImage(Marked(20, 10, 0, 0x1E0100, 0x1D0000, 0x200000), chooser),
              LoadResult::kOk);
    const int64_t moved = operation(list);
    ChannelError error;
    ASSERT_TRUE(list.BuildFlashImage(list.tcs_block(), moved ? moved : list.tpt_block(), &error))
        << list.ErrorText(error).toStdString();
    const QByteArray& out = list.image();
    int checked = 0;
    for (int k = 0; k < 99; ++k) {
      const QByteArray record = out.mid(list.tpt_block() + list.tpt_offset() + 68 + k * 12, 12);
      const int id = static_cast<uint8_t>(record[4]) << 8 | static_cast<uint8_t>(record[5]);
      if (id == 0) continue;
      EXPECT_EQ(static_cast<uint8_t>(record[9]), (0x30 + id) & 0xFF) << "transponder " << id;
      ++checked;
    }
    for (int k = 0; k < 999; ++k) {
      const QByteArray record = out.mid(list.tcs_block() + list.tcs_offset() + 68 + k * 30, 30);
      const int sid = static_cast<uint8_t>(record[18]) << 8 | static_cast<uint8_t>(record[19]);
      if (sid == 0) continue;
      EXPECT_EQ(record.left(16),
                QByteArray("N" + QByteArray::number(sid) + '\0' + "tail").leftJustified(16, '\0'));
      ++checked;
    }
    EXPECT_GE(checked, 20);
  }
}

TEST(SaveSafetyTest, PasteMovesEveryRowInUseOrRefuses) {
  // Transponder 5 is free by the table's rule; 6 onwards are in use, up to row last_used.
  for (const int last_used : {20, 99}) {
    SCOPED_TRACE(last_used);
    std::vector<test::TransponderRecordData> transponders = NumberedTransponders(last_used);
    transponders[4] = {0, 0, 0};
    ChannelList list;
    test::ScriptedChooser chooser;
    ASSERT_EQ(list.LoadFlashImage(FlashImage(NumberedChannels(40, 20), transponders), chooser),
              LoadResult::kOk);
    const TextGrid channels = list.channels();
    const TextGrid before = list.transponders();
    const PasteResult pasted = list.PasteTransponders(3, list.CopyRows(true, 1, 2));
    if (last_used == 99) {
      EXPECT_EQ(pasted.kind, PasteResult::Kind::kRowWouldDrop);
      EXPECT_EQ(list.PasteRefusalText(true, pasted),
                "No se ha pegado nada: la fila 98 de la Tabla de Transpondedores está en uso y "
                "quedaría fuera de la tabla.");
      EXPECT_EQ(list.transponders(), before);
      EXPECT_FALSE(list.can_undo());
      continue;
    }
    ASSERT_TRUE(pasted);
    for (int r = 3; r <= last_used; ++r)
      EXPECT_EQ(list.transponders().Row(r + 2).mid(1), before.Row(r).mid(1)) << r;
    for (int r = 1; r <= 40; ++r) {
      const int t = channels.Cell(r, kChannelTransponder).toInt();
      EXPECT_EQ(list.channels().Cell(r, kChannelTransponder).toInt(), t >= 3 ? t + 2 : t);
    }
  }
  // Channels too: a full table takes no more rows.
  ChannelList full;
  test::ScriptedChooser chooser;
  ASSERT_EQ(
      full.LoadFlashImage(FlashImage(NumberedChannels(999, 5), NumberedTransponders(5)), chooser),
      LoadResult::kOk);
  EXPECT_EQ(full.PasteChannels(1, full.CopyRows(false, 1, 1)).row, 999);
}

}  // namespace
}  // namespace tornavo
