#include "core/serial/port_choices.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/settings/settings.h"
#include "support/fake_transport.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

// The line a port was set to, its name aside, as one comparable value.
auto Line(const PortSettings& s) {
  return std::tuple(s.baud, s.data_bits, s.parity, s.stop_bits, s.flow);
}

class PortChoicesTest : public ::testing::Test {
 protected:
  PortChoicesTest() { choices_.SetPortNames({"/dev/ttyS0", "/dev/ttyS1"}, {}); }
  // The one box shown, which must be an error naming the port.
  void ExpectOneErrorNaming(const QString& port) {
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_TRUE(host_.boxes[0].error);
    EXPECT_TRUE(host_.boxes[0].text.contains(port)) << host_.boxes[0].text.toStdString();
  }

  testing::FakeTransport transport_;
  testing::RecordingHost host_;
  SymbolRateTable rates_{};
  PictureOptions picture_;
  Settings settings_{rates_, picture_};
  PortChoices choices_{transport_, host_, settings_};
};

TEST_F(PortChoicesTest, ListsSystemPortsThenExtraDevicesWithoutRepeats) {
  choices_.SetPortNames({"/dev/ttyS0", "/dev/ttyUSB0"}, {"/dev/pts/4", "/dev/ttyS0", ""});
  EXPECT_EQ(choices_.port_names(), (QStringList{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/pts/4"}));
  EXPECT_EQ(settings_.port_names(), choices_.port_names());
}

TEST_F(PortChoicesTest, ChoosingAPortOpensItAndAFailureLeavesItClosedWithTheError) {
  transport_.fail_open = true;
  choices_.ApplyPort(1);
  EXPECT_FALSE(transport_.IsOpen());
  ExpectOneErrorNaming("/dev/ttyS1");
  // A later choice tries again; another port while open is renamed without a second open.
  transport_.fail_open = false;
  choices_.ApplyPort(0);
  EXPECT_TRUE(transport_.IsOpen());
  choices_.ApplyPort(1);
  EXPECT_EQ(transport_.settings().name, "/dev/ttyS1");
  EXPECT_EQ(transport_.open_count, 1);
}

TEST_F(PortChoicesTest, ChoicesGoToTheSettingsAtOnceAndApplyAllSetsTheClosedPort) {
  choices_.ApplyParity(3);
  choices_.ApplyFlow(2);
  choices_.ApplyBaud(12);
  choices_.ApplyDataBits(2);
  choices_.ApplyStopBits(1);
  for (int bad : {-1, 13}) choices_.ApplyBaud(bad);
  choices_.ApplyParity(5);
  choices_.ApplyFlow(3);
  EXPECT_EQ(settings_.Int(Key::kParidad), 3);
  EXPECT_EQ(settings_.Int(Key::kControlFlujo), 2);
  EXPECT_EQ(settings_.Int(Key::kVelocidad), 12);
  EXPECT_EQ(Line(transport_.settings()),
            Line({{}, 115200, 8, Parity::kMark, 2, FlowControl::kHardware}));

  // "Valores por Defecto": the settings change, one call puts them on the closed port.
  settings_.SetInt(Key::kPuerto, 1);
  settings_.ApplyDefaults();
  choices_.ApplyAll();
  EXPECT_EQ(choices_.port(), 0);
  EXPECT_EQ(transport_.settings().name, "/dev/ttyS0");
  EXPECT_EQ(Line(transport_.settings()),
            Line({{}, 9600, 7, Parity::kOdd, 1, FlowControl::kSoftware}));
  EXPECT_FALSE(transport_.IsOpen());
  EXPECT_TRUE(host_.boxes.empty());
  // The port they switch to, open before, that cannot be reopened says so.
  choices_.ApplyPort(0);
  ASSERT_TRUE(transport_.IsOpen());
  settings_.SetInt(Key::kPuerto, 1);
  transport_.fail_open = true;
  choices_.ApplyAll();
  EXPECT_FALSE(transport_.IsOpen());
  ExpectOneErrorNaming("/dev/ttyS1");
}

}  // namespace
}  // namespace tornavo
