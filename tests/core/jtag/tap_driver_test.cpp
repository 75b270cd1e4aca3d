#include "core/jtag/tap_driver.h"

#include <gtest/gtest.h>

#include <deque>

#include "core/lpt/port_registers.h"

namespace tornavo {
namespace {

using Bits = std::vector<int>;

// A cable with a scripted far end: each status read takes the next TDO level from the
// script (idle_tdo once it runs out); every data write is kept, and each rising TCK edge is
// kept with the TMS and TDI levels it clocked in.
class ScriptedJtagPort : public PortRegisters {
 public:
  bool Acquire(QString*) override { return true; }
  void Release() override {}
  uint8_t Read(PortRegister reg) override {
    if (reg == PortRegister::kData) return data;
    if (reg != PortRegister::kStatus) return 0;
    ++samples;
    bool tdo = idle_tdo;
    if (!tdo_script.empty()) {
      tdo = tdo_script.front();
      tdo_script.pop_front();
    }
    return tdo ? JtagMask(JtagSignal::kTdo) : 0;
  }
  void Write(PortRegister reg, uint8_t value) override {
    if (reg != PortRegister::kData) return;
    writes.push_back(value);
    const uint8_t tck = JtagMask(JtagSignal::kTck);
    if ((value & tck) && !(data & tck)) {
      tms.push_back((value & JtagMask(JtagSignal::kTms)) != 0);
      tdi.push_back((value & JtagMask(JtagSignal::kTdi)) != 0);
    }
    data = value;
  }
  void Script(std::initializer_list<int> bits) {
    for (int b : bits) tdo_script.push_back(b != 0);
  }
  void ClearEdges() { tms.clear(), tdi.clear(); }

  uint8_t data = 0;
  bool idle_tdo = false;
  int samples = 0;
  std::deque<bool> tdo_script;
  std::vector<uint8_t> writes;
  Bits tms, tdi;  // at each rising TCK edge
};

class TapDriverTest : public ::testing::Test {
 protected:
  ScriptedJtagPort port_;
  JtagState state_;
  JtagTiming timing_;
  TapDriver tap_{port_, state_, timing_};
};

TEST_F(TapDriverTest, ResetLineIsWrittenEvenWhenTheCacheAlreadyHoldsIt) {
  state_.output_cache = 0x08;
  state_.data_scan = true;
  tap_.SetDcuReset(true);
  ASSERT_FALSE(port_.writes.empty());
  EXPECT_EQ(port_.writes.front(), 0x08);
  EXPECT_EQ(port_.data, 0x08);
  EXPECT_EQ(state_.output_cache, 0x08);
  EXPECT_FALSE(state_.data_scan);
  // Later clocks keep the reset line up, and TCK is the only bit that moves.
  port_.writes.clear();
  tap_.JtagClock(false, false, false);
  EXPECT_EQ(port_.writes, (std::vector<uint8_t>{0x0A, 0x08}));
}

// The virtual target would take a link left in Capture-DR, and a TAP reset before every
// message: the path into Shift-DR, taken once, is checked here. The reset, instruction and
// IDCODE scans themselves are driven through the pin-level target by the operation tests.
TEST_F(TapDriverTest, EnterDataScanLoadsTheLinkInstructionOnce) {
  tap_.EnterDataScan();
  EXPECT_TRUE(state_.data_scan);
  // Reset (6), instruction (10), into Shift-DR (3).
  EXPECT_EQ(port_.tms.size(), 19u);
  EXPECT_EQ(Bits(port_.tms.end() - 3, port_.tms.end()), (Bits{1, 0, 0}));
  tap_.EnterDataScan();
  EXPECT_EQ(port_.tms.size(), 19u);
}

TEST_F(TapDriverTest, StartSearchRunsOutAfterLimitClocksOfSilenceAndRestartsOnBusy) {
  EXPECT_FALSE(tap_.WaitStartPattern(0));
  EXPECT_EQ(port_.samples, 0);
  EXPECT_FALSE(tap_.WaitStartPattern(10));
  EXPECT_EQ(port_.samples, 10);

  // A target repeating 0, 1, 0 far past the limit keeps the search alive.
  port_.samples = 0;
  for (int i = 0; i < 100; ++i) port_.Script({0, 1, 0});
  port_.Script({0, 1, 1});
  EXPECT_TRUE(tap_.WaitStartPattern(4));
  EXPECT_EQ(port_.samples, 303);
}

TEST_F(TapDriverTest, AckSearchDoesNotRestartOnBusy) {
  for (int i = 0; i < 10; ++i) port_.Script({1, 1, 1});
  EXPECT_FALSE(tap_.WaitAckPattern(5));
  EXPECT_EQ(port_.samples, 5);
  port_.tdo_script.clear();
  port_.Script({1, 1, 0, 1, 0});
  EXPECT_TRUE(tap_.WaitAckPattern(64));
}

TEST_F(TapDriverTest, WriteByteSendsStartBitsThenDataLeastSignificantFirst) {
  port_.Script({0, 1});  // accepted early, on the second data bit
  EXPECT_TRUE(tap_.LinkWriteByte(0xA5));
  EXPECT_EQ(port_.tdi, (Bits{0, 1, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(port_.tms, Bits(12, 0));
  EXPECT_EQ(port_.samples, 8);

  // A TDO that floats high (nothing on the cable) accepts nothing, in the data bits or after.
  port_.ClearEdges();
  port_.idle_tdo = true;
  EXPECT_FALSE(tap_.LinkWriteByte(0x00));
  EXPECT_EQ(port_.tms.size(), 3u + 8u + 64u + 1u);

  // Not accepted in the data bits: a late 0, 1, 0 within 64 clocks still accepts.
  port_.ClearEdges();
  port_.idle_tdo = false;
  port_.Script({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0});
  EXPECT_TRUE(tap_.LinkWriteByte(0x5A));
  EXPECT_EQ(port_.tms.size(), 3u + 8u + 4u + 1u);

  port_.ClearEdges();
  EXPECT_FALSE(tap_.LinkWriteByte(0x5A));
  EXPECT_EQ(port_.tms.size(), 3u + 8u + 64u + 1u);
}

TEST_F(TapDriverTest, WriteWordSendsAllFourBytesEvenWhenTheFirstIsRefused) {
  // First byte: silence through its data bits and its 64-clock wait. Then three accepted.
  for (int i = 0; i < 8 + 64; ++i) port_.tdo_script.push_back(false);
  for (int i = 0; i < 3; ++i) port_.Script({0, 1, 0, 0, 0, 0, 0, 0});
  EXPECT_FALSE(tap_.LinkWriteWord(0x44332211));
  const Bits& tdi = port_.tdi;
  ASSERT_EQ(tdi.size(), (3u + 8u + 64u + 1u) + 3u * 12u);
  // The last byte, 0x44, closes the stream.
  EXPECT_EQ(Bits(tdi.end() - 12, tdi.end()), (Bits{0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0}));
}

TEST_F(TapDriverTest, ReadByteFindsTheStartAndDrivesTdiOnTheFifthBitOnly) {
  port_.Script({0, 0, 0, 1, 1});           // silence, then 0, 1, 1
  port_.Script({1, 0, 1, 0, 0, 1, 0, 1});  // 0xA5, least significant first
  uint8_t byte = 0;
  EXPECT_TRUE(tap_.LinkReadByte(&byte));
  EXPECT_EQ(byte, 0xA5);
  EXPECT_EQ(port_.tdi, (Bits{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));

  timing_.wait_start_bits = 16;
  byte = 0x55;
  EXPECT_FALSE(tap_.LinkReadByte(&byte));
  EXPECT_EQ(byte, 0);
}

}  // namespace
}  // namespace tornavo
