// Saves that would destroy a live table are refused before a byte changes, and every record
// travels whole through the editing operations.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/channels/channel_list.h"
#include "core/channels/test_images.h"
#include "core/texts/texts.h"

namespace tornavo {
namespace {

using test::FlashImage;
using test::NumberedChannels;
using test::NumberedTransponders;
using Kind = ImageRange::Kind;

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
  QByteArray older = FlashImage(channels, transponders, 0x20000, 0x1D0000);
  test::PutSection(older, 0x18000, kChannelTag, test::Channels(NumberedChannels(3, 1)),
                   kChannelRecordSize, 999);
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
      {"b", older, 1000, 0x20000, -1, E::kRangesOverlap, Kind::kChannelWipe, Kind::kChannelTable,
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

// Where pasted rows land is the property test's; this is the refusal and the row it names.
TEST(SaveSafetyTest, PasteThatWouldDropARowInUseIsRefused) {
  // A free row in the middle does not make room: rows 98 and 99 would fall off.
  std::vector<test::TransponderRecordData> transponders = NumberedTransponders(99);
  transponders[4] = {0, 0, 0};
  ChannelList list;
  test::ScriptedChooser chooser;
  ASSERT_EQ(list.LoadFlashImage(FlashImage(NumberedChannels(999, 20), transponders), chooser),
            LoadResult::kOk);
  const TextGrid before = list.transponders();
  const PasteResult pasted = list.PasteTransponders(3, list.CopyRows(true, 1, 2));
  EXPECT_EQ(pasted.kind, PasteResult::Kind::kRowWouldDrop);
  EXPECT_EQ(list.PasteRefusalText(true, pasted, Texts()),
            "No se ha pegado nada: la fila 98 de la Tabla de Transpondedores está en uso y "
            "quedaría fuera de la tabla.");
  EXPECT_EQ(list.transponders(), before);
  EXPECT_FALSE(list.can_undo());
}

}  // namespace
}  // namespace tornavo
