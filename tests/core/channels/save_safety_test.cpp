// Saves that would destroy a live table are refused before a byte changes, and every record
// travels whole through the editing operations.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "core/channels/channel_list.h"
#include "core/channels/test_images.h"
#include "core/texts/texts.h"

namespace tornavo {
namespace {

using test::FlashImage;
using test::NumberedChannels;
using test::NumberedTransponders;
using Kind = ImageRange::Kind;

QByteArray WithSection(QByteArray image, qsizetype at, const char* tag, int channels) {
  test::PutSection(image, at, tag, test::Channels(NumberedChannels(channels, 1)),
                   kChannelRecordSize, 999);
  return image;
}

struct Collision {
  const char* name;
  QByteArray image;
  int channel_rows;
  int64_t choice;      // 0: none asked for
  int64_t tcs_target;  // -1: where it is
  ChannelError::Kind kind;
  Kind range, other;
  const char* message;
};

std::vector<Collision> Collisions() {
  const auto channels = NumberedChannels(989, 5);
  const auto transponders = NumberedTransponders(5);
  using E = ChannelError::Kind;
  // a: the transponder section right after 999 channel records, 2002 channels to write;
  // b: the older channel section's wipe covers the chosen one; c: the old channel section's
  // wipe covers the transponder table in its block; d: the moved channel header over
  // transponder records running into its block; e: a block that holds the header but not the
  // channels in use.
  return {
      {"a", FlashImage(channels, transponders, 0, 0x7556), 2003, 0, -1, E::kRangesOverlap,
       Kind::kChannelTable, Kind::kTransponderTable,
       "Tabla de Canales (TCS 000000–00EADF) se solapa con Tabla de Transpondedores "
       "(TPT 007576–007A3D)"},
      {"b",
       WithSection(FlashImage(channels, transponders, 0x20000, 0x1D0000), 0x18000, kChannelTag, 3),
       1000, 0x20000, -1, E::kRangesOverlap, Kind::kChannelWipe, Kind::kChannelTable,
       "el borrado de una Tabla de Canales anterior (TCS 018020–026ACA) se solapa con Tabla "
       "de Canales (TCS 020000–027555)"},
      {"c", FlashImage(channels, transponders, 0x10000, 0x18000), 1000, 0, 0x30000,
       E::kRangesOverlap, Kind::kChannelWipe, Kind::kTransponderTable,
       "(TCS 010000–01EAAA) se solapa con Tabla de Transpondedores (TPT 018020–0184E7)"},
      {"d", FlashImage(channels, transponders, 0x50100, 0x1FF00), 1000, 0, 0x20000,
       E::kRangesOverlap, Kind::kChannelTable, Kind::kTransponderTable,
       "(TCS 020000–027555) se solapa con Tabla de Transpondedores (TPT 01FF20–0203E7)"},
      {"e", FlashImage(channels, transponders, 0x10000, 0x20000, 0x30100), 1000, 0, 0x30000,
       E::kPastImage, Kind::kChannelTable, Kind::kImage,
       "(TCS 030000–037555) tiene registros en uso más allá del final de la imagen "
       "(000000–0300FF)"}};
}

TEST(SaveSafetyTest, SavesThatWouldDestroyALiveTableAreRefused) {
  QTemporaryDir dir;
  const QString path = dir.filePath("out.bin");
  for (const Collision& c : Collisions()) {
    SCOPED_TRACE(c.name);
    QFile previous(path);
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("previous");
    previous.close();
    ChannelList list;
    list.ApplyChannelTableSize(c.channel_rows);
    test::ScriptedChooser chooser;
    if (c.choice) chooser.answers = {c.choice};
    ASSERT_EQ(list.LoadFlashImage(c.image, chooser), LoadResult::kOk);
    const QByteArray held = list.image();
    const int64_t tcs = list.tcs_block();
    ChannelError error;
    EXPECT_FALSE(list.SaveChannelImage(path, c.tcs_target < 0 ? tcs : c.tcs_target,
                                       list.tpt_block(), &error));
    EXPECT_EQ(error.kind, c.kind);
    EXPECT_EQ(error.range.kind, c.range);
    EXPECT_EQ(error.other.kind, c.other);
    const QString message = list.ErrorText(error, Texts());
    EXPECT_TRUE(message.startsWith("No se ha guardado nada: ")) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.message))) << message.toStdString();
    EXPECT_EQ(list.image(), held);
    EXPECT_EQ(list.tcs_block(), tcs);
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll(), "previous");
  }
  // A table running past its block, and the wipe of an old section that would.
  ChannelList list;
  list.ApplyChannelTableSize(ChannelList::kLargeChannelRows);
  test::ScriptedChooser chooser;
  ASSERT_EQ(list.LoadFlashImage(FlashImage(NumberedChannels(3, 1), NumberedTransponders(1), 0x18000,
                                           0x50000, 0x80000),
                                chooser),
            LoadResult::kOk);
  ChannelError error;
  EXPECT_FALSE(list.BuildFlashImage(list.tcs_block(), list.tpt_block(), &error));
  EXPECT_EQ(error.kind, ChannelError::Kind::kPastBlock);
  EXPECT_TRUE(list.ErrorText(error, Texts()).endsWith("se sale de su bloque (010000–01FFFF)."));
  EXPECT_FALSE(list.BuildFlashImage(0x30000, list.tpt_block(), &error));
  EXPECT_EQ(error.kind, ChannelError::Kind::kPastBlock);
  EXPECT_EQ(error.range.kind, Kind::kChannelWipe);
}

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
        << list.ErrorText(error, Texts()).toStdString();
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
      EXPECT_EQ(list.PasteRefusalText(true, pasted, Texts()),
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
