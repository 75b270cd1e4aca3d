#include "core/serial/port_choices.h"

#include <gtest/gtest.h>

#include "core/settings/settings.h"
#include "support/fake_transport.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

using testing::FakeTransport;
using testing::RecordingHost;

// The settings the choices live in.
struct Store {
  SymbolRateTable rates{};
  PictureOptions picture;
  Settings settings{rates, picture};
};

TEST(PortChoices, ListsSystemPortsThenExtraDevicesWithoutRepeats) {
  FakeTransport transport;
  RecordingHost host;
  Store store;
  PortChoices choices(transport, host, store.settings);
  choices.SetPortNames({"/dev/ttyS0", "/dev/ttyUSB0"}, {"/dev/pts/4", "/dev/ttyS0", ""});
  EXPECT_EQ(choices.port_names(), (QStringList{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/pts/4"}));
}

TEST(PortChoices, ChoosingAPortOpensItAndAFailureLeavesItClosedWithTheError) {
  FakeTransport transport;
  RecordingHost host;
  Store store;
  PortChoices choices(transport, host, store.settings);
  choices.SetPortNames({"/dev/ttyS0", "/dev/ttyS1"}, {});
  transport.fail_open = true;
  choices.ApplyPort(1);
  EXPECT_FALSE(transport.IsOpen());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_TRUE(host.boxes[0].error);
  EXPECT_TRUE(host.boxes[0].text.contains("/dev/ttyS1"));
  // A later choice tries again.
  transport.fail_open = false;
  choices.ApplyPort(0);
  EXPECT_TRUE(transport.IsOpen());
  EXPECT_EQ(transport.settings().name, "/dev/ttyS0");
  // Choosing another port while open reopens under the new name, without a second open.
  choices.ApplyPort(1);
  EXPECT_EQ(transport.settings().name, "/dev/ttyS1");
  EXPECT_EQ(transport.open_count, 1);
}

// "Valores por Defecto" may switch the port: a new one that cannot be opened says so.
TEST(PortChoices, ApplyingEveryChoiceReportsAPortThatCannotBeReopened) {
  FakeTransport transport;
  RecordingHost host;
  Store store;
  PortChoices choices(transport, host, store.settings);
  choices.SetPortNames({"/dev/ttyS0", "/dev/ttyS1"}, {});
  choices.ApplyPort(0);
  ASSERT_TRUE(transport.IsOpen());
  store.settings.SetInt(Key::kPuerto, 1);
  transport.fail_open = true;
  choices.ApplyAll();
  EXPECT_FALSE(transport.IsOpen());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_TRUE(host.boxes[0].error);
  EXPECT_TRUE(host.boxes[0].text.contains("/dev/ttyS1")) << host.boxes[0].text.toStdString();
}

TEST(PortChoices, ListIndexesMapToLineSettingsAndOutOfRangeChangesNothing) {
  FakeTransport transport;
  RecordingHost host;
  Store store;
  PortChoices choices(transport, host, store.settings);
  choices.ApplyBaud(12);
  choices.ApplyDataBits(2);
  choices.ApplyParity(3);
  choices.ApplyStopBits(1);
  choices.ApplyFlow(2);
  PortSettings s = transport.settings();
  EXPECT_EQ(s.baud, 115200);
  EXPECT_EQ(s.data_bits, 8);
  EXPECT_EQ(s.parity, Parity::kMark);
  EXPECT_EQ(s.stop_bits, 2);
  EXPECT_EQ(s.flow, FlowControl::kHardware);
  for (int bad : {-1, 13}) choices.ApplyBaud(bad);
  choices.ApplyParity(5);
  choices.ApplyFlow(3);
  s = transport.settings();
  EXPECT_EQ(s.baud, 115200);
  EXPECT_EQ(s.parity, Parity::kMark);
  EXPECT_EQ(choices.baud(), 12);
}

}  // namespace
}  // namespace tornavo

namespace tornavo {
namespace {

TEST(PortChoices, EveryChoiceIsInTheSettingsAtOnceAndApplyAllSetsThePortWithoutOpeningIt) {
  FakeTransport transport;
  testing::RecordingHost host;
  Store store;
  PortChoices choices(transport, host, store.settings);
  choices.SetPortNames({"/dev/ttyS0", "/dev/ttyS1"}, {});
  EXPECT_EQ(store.settings.port_names(), choices.port_names());
  choices.ApplyParity(0);
  choices.ApplyFlow(2);
  choices.ApplyBaud(9);
  EXPECT_EQ(store.settings.Int(Key::kParidad), 0);
  EXPECT_EQ(store.settings.Int(Key::kControlFlujo), 2);
  EXPECT_EQ(store.settings.Int(Key::kVelocidad), 9);
  EXPECT_FALSE(transport.IsOpen());

  // "Valores por Defecto": the settings change, one call puts them on the closed port.
  store.settings.SetInt(Key::kPuerto, 1);
  store.settings.ApplyDefaults();
  choices.ApplyAll();
  EXPECT_EQ(choices.port(), 0);
  EXPECT_EQ(choices.parity(), 2);
  const PortSettings s = transport.settings();
  EXPECT_EQ(s.name, "/dev/ttyS0");
  EXPECT_EQ(s.baud, 9600);
  EXPECT_EQ(s.data_bits, 7);
  EXPECT_EQ(s.parity, Parity::kOdd);
  EXPECT_EQ(s.flow, FlowControl::kSoftware);
  EXPECT_FALSE(transport.IsOpen());
  EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
}  // namespace tornavo
