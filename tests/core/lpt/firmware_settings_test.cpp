#include "core/lpt/firmware_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace tornavo {
namespace {

TEST(FirmwareSettingsTest, BackendDefaultsAndTheStoredChoices) {
  QTemporaryDir dir;
  QFile ini(dir.filePath("Tornavo.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(
      "[TForm1]\r\nParalelo=3\r\nRetardoStrobe=300\r\nFirmComando1=0\r\nFirmComando3=1\r\n"
      "FirmDireccion=2\r\nFase1y2=0\r\n");
  ini.close();
  SymbolRateTable rates{};
  PictureOptions picture;
  Settings settings(rates, picture);
  settings.Load(dir.path() + '/', {});

  EXPECT_EQ(ParallelLocatorOf(settings, {}), "direct:A068");
  EXPECT_EQ(ParallelLocatorOf(settings, {"ppdev:/dev/parport1"}), "ppdev:/dev/parport1");
  EXPECT_EQ(ParallelLocatorOf(settings, {"ppdev:/dev/parport1"}, true), "virtual");
  settings.SetText(Key::kAccesoParalelo, "socket:/run/lpt");
  EXPECT_EQ(ParallelLocatorOf(settings, {"ppdev:/dev/parport1"}, true), "socket:/run/lpt");

  const FirmwareOptions options = FirmwareOptionsOf(settings);
  EXPECT_EQ(options.address, "FFF90000");
  EXPECT_EQ(options.command, FirmwareCommand::kFL);
  EXPECT_FALSE(options.phases);
  // Byte settings are taken modulo 256, as the loop counts them.
  EXPECT_EQ(options.delays.strobe, 300 % 256);
  EXPECT_EQ(options.delays.busy_ms, 300);  // a missing key's own default
  EXPECT_EQ(options.delays.start_ms, 2000);
}

}  // namespace
}  // namespace tornavo
