// The channel service: loads with the settings as they are now, their refusals, and the bytes
// a send writes.
#include "core/session/channel_service.h"

#include <gtest/gtest.h>

#include "core/channels/table_records.h"
#include "core/channels/test_images.h"
#include "core/texts/texts.h"

namespace tornavo {
namespace {

struct ChannelServiceTest : ::testing::Test {
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings{symbol_rates, picture_options};
  Texts texts;
  ChannelService channels{settings, symbol_rates, texts};
  test::ScriptedChooser chooser;
  // Tables in blocks 0 and 1 of a 128 KiB image.
  const QByteArray flash = test::FlashImage(test::NumberedChannels(3, 2),
                                            test::NumberedTransponders(2), 0x100, 0x10000, 0x20000);
};

TEST_F(ChannelServiceTest, LoadsTakeTheSettingsNowAndRefusalsSayWhyAndKeepTheList) {
  QString old_name;
  settings.SetText(Key::kSatA, "Astra");
  settings.TakeSatelliteRename(0, &old_name);
  ASSERT_TRUE(channels.LoadImage(flash, ChannelFileKind::kFlash, chooser));
  EXPECT_EQ(channels.list().channels().Cell(1, kChannelSatellite), "Astra");

  EXPECT_EQ(channels.OpenImageFile("/nonexistent/list.bin", ChannelFileKind::kRam, chooser).kind,
            ChannelLoad::Kind::kUnreadable);
  EXPECT_EQ(channels.LoadImage(flash, ChannelFileKind::kRam, chooser).error,
            "¡ No se ha encontrado ninguna tabla de canales !\nEl archivo parece un «Archivo "
            "FLASH (BIN, RCU o RCS)» de la página «Sintonización».");
  EXPECT_TRUE(channels.list().flash_held());
}

// What a send writes: the flash image with the tables where the settings place them, a table
// without a position entry staying in its block; the RAM table's records over the held image,
// 0x7600 bytes for 1000 channels and 0xEC00 for 2000, the bytes past the records kept and 0
// past a short image. Nothing, and no message, without an image of the kind.
TEST_F(ChannelServiceTest, SendsAreBuiltAsTheSettingsSay) {
  ASSERT_TRUE(channels.LoadImage(flash, ChannelFileKind::kFlash, chooser));
  settings.SetInt(Key::kTpt, -1);
  EXPECT_EQ(channels.ChosenBlocks().tpt, 0x10000);
  QString error;
  EXPECT_TRUE(channels.RamSendBuffer(&error).isEmpty() && error.isEmpty());

  QByteArray image(0x7600, '\0');
  for (int i = 0x7512; i < 0x7600; ++i) image[i] = static_cast<char>(i);
  ASSERT_TRUE(channels.LoadImage(image, ChannelFileKind::kRam, chooser));
  EXPECT_TRUE(channels.FlashSendImage(channels.LiveBlocks(), &error).isEmpty() && error.isEmpty());
  const QByteArray small = channels.RamSendBuffer(&error);
  ASSERT_EQ(small.size(), 0x7600) << error.toStdString();
  EXPECT_EQ(small.mid(0x7512), image.mid(0x7512));
  settings.SetInt(Key::kNumCanales, 1);
  channels.ApplyTableSettings();
  ASSERT_TRUE(channels.LoadImage(image.left(0x100), ChannelFileKind::kRam, chooser));
  const QByteArray large = channels.RamSendBuffer(&error);
  ASSERT_EQ(large.size(), 0xEC00);
  EXPECT_EQ(large.mid(0xEA9C), QByteArray(0xEC00 - 0xEA9C, '\0'));

  // A cell that does not convert: nothing to send, and which cell.
  QStringList cells = channels.list().channels().Row(2);
  cells[kVideoPid] = "12a";
  channels.list().SetChannelFields(2, cells.mid(1, 8), 0x04);
  EXPECT_TRUE(channels.RamSendBuffer(&error).isEmpty());
  EXPECT_EQ(error, "No se puede convertir «12a» : Tabla de Canales, fila 2, columna VPID.");
}

}  // namespace
}  // namespace tornavo
