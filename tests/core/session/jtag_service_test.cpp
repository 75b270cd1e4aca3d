// The JTAG service: settings turned into timing and trap places, the port a locator names,
// and each operation's session built around the state that outlives operations.
#include "core/session/jtag_service.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <tuple>

#include "core/lpt/virtual_cable.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

class RecordedCable : public VirtualCable, public PortRegisters {
 public:
  PortRegisters& registers() override { return *this; }
  void Follow(const std::array<FlashChipDescription, 2>&) override {}
  QString TrapStandIn(QString* error) override {
    if (stand_in.isEmpty() && error) *error = QStringLiteral("disk full");
    return stand_in;
  }
  bool Acquire(QString*) override { return true; }
  void Release() override {}
  uint8_t Read(PortRegister) override { return 0; }
  void Write(PortRegister, uint8_t) override {}

  QString stand_in;
};

struct ServiceFixture : ::testing::Test {
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings{symbol_rates, picture_options};
  Texts texts;
  RecordedCable cable;
  PortLocator virtual_port = Locator("virtual");

  static PortLocator Locator(const QString& text) {
    PortLocator locator;
    EXPECT_TRUE(ParsePortLocator(text, &locator, nullptr)) << text.toStdString();
    return locator;
  }
};

TEST_F(ServiceFixture, TrapPlacesFollowThePort) {
  QTemporaryDir ini;
  settings.Load(ini.path() + '/', {});
  const PortLocator real_port = Locator("ppdev:/dev/parport0");
  JtagService hardware(settings, texts, PortBackends());
  QString error;
  EXPECT_EQ(hardware.TrapPlaces("/x/mine.bin", real_port, &error), QStringList{"/x/mine.bin"});
  const QStringList places = hardware.TrapPlaces({}, real_port, &error);
  ASSERT_EQ(places.size(), 2);
  EXPECT_EQ(QDir::cleanPath(places[0]),
            QDir(QCoreApplication::applicationDirPath()).filePath("trap.bin"));
  EXPECT_EQ(QDir::cleanPath(places[1]), QDir(ini.path()).filePath("trap.bin"));
  EXPECT_EQ(hardware.OpenPort(virtual_port, true, &error), nullptr);
  EXPECT_EQ(error, "No virtual receiver is running.");

  // The virtual target is given its stand-in alone, never a real routine; when the stand-in
  // cannot be written there is no place, and the reason.
  JtagService on_cable(settings, texts, PortBackends(&cable));
  EXPECT_TRUE(on_cable.TrapPlaces({}, virtual_port, &error).isEmpty());
  EXPECT_EQ(error, "disk full");
  cable.stand_in = "/tmp/stand-in.bin";
  EXPECT_EQ(on_cable.TrapPlaces({}, virtual_port, &error), QStringList{"/tmp/stand-in.bin"});
  EXPECT_EQ(on_cable.TrapPlaces("/x/mine.bin", virtual_port, &error), QStringList{"/x/mine.bin"});
  // A real receiver on a real port, while the virtual one runs beside it, never gets the
  // stand-in.
  EXPECT_EQ(on_cable.TrapPlaces({}, real_port, &error), places);
}

TEST_F(ServiceFixture, OperationsTakeTheTimingAsBoundAndShareTheState) {
  JtagService service(settings, texts, PortBackends(&cable));
  settings.SetInt(Key::kDuracionTck, 7);
  settings.SetInt(Key::kWStartBits, 300);
  settings.SetText(Key::kTrapAdr, "40020002");
  EXPECT_EQ(service.TrapAddress(), 0x40020000u);
  JtagTiming seen;
  auto operation =
      service.Bind(service.OpenPort(virtual_port, false, nullptr), [&](JtagSession& session) {
        seen = session.timing;
        session.state.trap_started = true;
      });
  // Changed after binding, as the window's settings may be while the operation waits.
  settings.SetInt(Key::kDuracionTck, 9);
  testing::RecordingHost host;
  operation(host);
  EXPECT_EQ(seen.tck_cycles, 7);
  EXPECT_EQ(seen.wait_start_bits, 300);
  EXPECT_TRUE(service.state().trap_started);
}

// A runner that is busy with another operation.
class BusyRunner : public BlockingRunner {
 public:
  bool Run(std::function<void(OperationHost&)>, std::function<void()>) override { return false; }
  bool running() const override { return true; }
};

TEST_F(ServiceFixture, PagesStayLockedFromTheStartUntilTheOperationHasEnded) {
  JtagService service(settings, texts, PortBackends(&cable));
  testing::RecordingHost host;
  InlineRunner runner(host);
  bool locked_during = false, locked_at_done = false, ran = false;
  EXPECT_TRUE(service.Start(
      runner, host, service.OpenPort(virtual_port, false, nullptr),
      [&](JtagSession&) { locked_during = !host.pages_enabled; },
      [&] { locked_at_done = !host.pages_enabled; }));
  EXPECT_TRUE(locked_during && locked_at_done && host.pages_enabled);

  // A busy runner starts nothing and leaves the pages to the operation that holds them.
  BusyRunner busy;
  host.DisablePages();
  EXPECT_FALSE(service.Start(busy, host, service.OpenPort(virtual_port, false, nullptr),
                             [&](JtagSession&) { ran = true; }));
  EXPECT_FALSE(ran);
  EXPECT_FALSE(host.pages_enabled);
}

// Presets, the trap address and verification as the settings stand; the other fields are
// checked by the JTAG pages and commands that use them.
TEST_F(ServiceFixture, RequestsTakeTheSettingsAsTheyStand) {
  JtagService service(settings, texts, PortBackends());
  EXPECT_EQ(service.Preset(DumpSource::kFlash)->length, "50000");
  EXPECT_EQ(service.Preset(DumpSource::kRam)->length, "7600");
  settings.SetInt(Key::kNumCanales, 1);
  EXPECT_EQ(service.Preset(DumpSource::kRam)->length, "EC00");

  settings.SetText(Key::kTrapAdr, "40020000");
  const JtagDumpRequest dump =
      service.DumpRequest(DumpSource::kEeprom, 0x10, 0x20, {QStringLiteral("/x/trap.bin")});
  EXPECT_EQ(std::tuple(dump.trap_address, dump.trap_places),
            std::tuple(0x40020000u, QStringList{"/x/trap.bin"}));
  settings.SetBool(Key::kVerificarJtag, false);
  const JtagSendRequest send = service.SendRequest(dump, "virtual", true);
  EXPECT_EQ(send.length, 0x20u);
  EXPECT_FALSE(send.options.verify);
}

}  // namespace
}  // namespace tornavo
