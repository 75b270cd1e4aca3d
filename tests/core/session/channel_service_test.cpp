// The channel service: loads with their checks and messages, a dump's tables, and the bytes
// a send writes, with the tables where the settings place them.
#include "core/session/channel_service.h"

#include <gtest/gtest.h>

#include "core/channels/test_images.h"
#include "core/texts/texts.h"

namespace tornavo {
namespace {

using Kind = ChannelLoad::Kind;

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

TEST_F(ChannelServiceTest, RefusedLoadsSayWhyAndKeepTheList) {
  QString old_name;
  settings.SetText(Key::kSatA, "Astra");
  settings.TakeSatelliteRename(0, &old_name);
  ASSERT_TRUE(channels.LoadImage(flash, ChannelFileKind::kFlash, chooser));
  EXPECT_EQ(channels.list().channels().Cell(1, kChannelSatellite), "Astra");

  EXPECT_EQ(channels.OpenImageFile("/nonexistent/list.bin", ChannelFileKind::kRam, chooser).kind,
            Kind::kUnreadable);
  const ChannelLoad as_ram = channels.LoadImage(flash, ChannelFileKind::kRam, chooser);
  EXPECT_EQ(as_ram.kind, Kind::kRefused);
  EXPECT_EQ(as_ram.error,
            "¡ No se ha encontrado ninguna tabla de canales !\nEl archivo parece un "
            "«Archivo FLASH (BIN, RCU o RCS)» de la página «Sintonización».");
  QByteArray two = flash;
  test::PutSection(two, 0x18000, kChannelTag, {}, kChannelRecordSize, 999);
  EXPECT_EQ(channels.LoadImage(two, ChannelFileKind::kFlash, chooser).kind, Kind::kGivenUp);
  // A dump without a transponder table, and one that did not complete.
  JtagDumpRequest request;
  request.source = DumpSource::kFlash;
  request.length = 0x10000;
  JtagDumpResult result;
  result.outcome = DumpOutcome::kDone;
  result.buffer = flash.left(0x10000);
  EXPECT_EQ(channels.TakeDump(request, result, chooser).error,
            "¡ No se ha encontrado ninguna tabla de transpondedores !");
  request.source = DumpSource::kRam;
  result.outcome = DumpOutcome::kReadFailed;
  EXPECT_EQ(channels.TakeDump(request, result, chooser).kind, Kind::kGivenUp);
  EXPECT_TRUE(channels.list().flash_held());
  EXPECT_EQ(channels.list().image(), flash);
}

TEST_F(ChannelServiceTest, FlashSendsPlaceTheTablesInTheBlocksTheSettingsChoose) {
  QString error;
  EXPECT_TRUE(channels.FlashSendImage({0, 0x10000}, &error).isEmpty());  // nothing held
  ASSERT_TRUE(channels.LoadImage(flash, ChannelFileKind::kFlash, chooser));
  channels.list().DeleteChannels(1, 1);
  settings.SetInt(Key::kTcs, 5);
  settings.SetInt(Key::kTpt, -1);  // no entry: the table stays in its block
  EXPECT_EQ(channels.ChosenBlocks().tcs, 0x50000);
  EXPECT_EQ(channels.ChosenBlocks().tpt, 0x10000);
  EXPECT_TRUE(channels.FlashSendImage(channels.ChosenBlocks(), &error).isEmpty());
  EXPECT_EQ(error, "La posición 050000 queda fuera de la imagen.");
  EXPECT_EQ(channels.list().image(), flash);

  const QByteArray sent = channels.FlashSendImage(channels.LiveBlocks(), &error);
  ASSERT_EQ(sent.size(), flash.size()) << error.toStdString();
  EXPECT_EQ(sent.mid(0x100 + 68, 3), "CH2");              // the edit is in what is sent
  EXPECT_TRUE(channels.RamSendBuffer(&error).isEmpty());  // no RAM table held
}

// 0x7600 bytes for 1000 channels, 0xEC00 for 2000: the records over the held RAM image, whose
// bytes past the records are kept, and 0 past a short image.
TEST_F(ChannelServiceTest, RamSendsAreTheRecordsOverTheHeldImageSizedByTheChannelCount) {
  QByteArray image(0x7600, '\0');
  for (int i = 0x7512; i < 0x7600; ++i) image[i] = static_cast<char>(i);
  ASSERT_TRUE(channels.LoadImage(image, ChannelFileKind::kRam, chooser));
  QString error;
  const QByteArray small = channels.RamSendBuffer(&error);
  ASSERT_EQ(small.size(), 0x7600) << error.toStdString();
  EXPECT_EQ(small.mid(0x7512), image.mid(0x7512));

  settings.SetInt(Key::kNumCanales, 1);
  channels.ApplyTableSettings();
  ASSERT_TRUE(channels.LoadImage(image.left(0x100), ChannelFileKind::kRam, chooser));
  const QByteArray large = channels.RamSendBuffer(&error);
  ASSERT_EQ(large.size(), 0xEC00);
  EXPECT_EQ(large.mid(0xEA9C), QByteArray(0xEC00 - 0xEA9C, '\0'));
}

}  // namespace
}  // namespace tornavo
