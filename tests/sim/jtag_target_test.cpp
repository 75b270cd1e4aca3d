#include "sim/jtag_target.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/parallel_peripheral.h"
#include "sim/shared_cable_port.h"

namespace tornavo::sim {
namespace {

// Drives the target's pins directly, as a cable would, without the tool's driver.
class Pins {
 public:
  explicit Pins(JtagTarget& target) : target_(target) {}
  // TDO before the edge, then one TCK pulse.
  bool Clock(bool tms, bool tdi = false) {
    const bool tdo = (target_.Read(PortRegister::kStatus) & 0x10) != 0;
    const uint8_t v = (tms ? 0x01 : 0) | (tdi ? 0x04 : 0);
    target_.Write(PortRegister::kData, v);
    target_.Write(PortRegister::kData, v | 0x02);
    target_.Write(PortRegister::kData, v);
    return tdo;
  }
  void Clocks(std::initializer_list<int> tms) {
    for (int t : tms) Clock(t != 0);
  }
  uint64_t ShiftDr(int bits, uint64_t in) {
    uint64_t out = 0;
    for (int i = 0; i < bits; ++i)
      if (Clock(i == bits - 1, (in >> i) & 1)) out |= 1ull << i;
    Clock(true);  // Update-DR
    return out;
  }
  void LoadIr(uint8_t ir) {
    Clocks({1, 1, 0, 0});
    for (int i = 0; i < 5; ++i) Clock(i == 4, (ir >> i) & 1);
    Clocks({1, 1, 0, 0});  // Update-IR, then Select-DR, Capture-DR, Shift-DR
  }

 private:
  JtagTarget& target_;
};

// Other IDCODEs and the faults' answers are met by the CPU identification tests.
TEST(JtagTargetTest, ResetSelectsIdcodeAndOtherInstructionsBypass) {
  JtagTarget target;
  Pins pins(target);
  pins.Clocks({1, 1, 1, 1, 1, 0, 1, 0, 0});  // reset, idle, into Shift-DR
  EXPECT_EQ(pins.ShiftDr(32, 0), kIdcodeSti5510);
  pins.Clock(false);  // Update-DR to Run-Test/Idle
  pins.LoadIr(0x1F);
  EXPECT_EQ(pins.ShiftDr(8, 0b10110101), 0b01101010u);
}

TEST(JtagTargetTest, FaultsByName) {
  JtagTarget target;
  for (const char* name : {"jtag-none", "jtag-slow-start:10", "jtag-busy:3", "jtag-short-read:64",
                           "jtag-erase-fail:2", "jtag-tdo-low"})
    EXPECT_TRUE(target.ApplyFault(QString::fromLatin1(name))) << name;
  for (const char* name :
       {"jtag-short-read:6", "jtag-short-read:256", "jtag-busy", "jtag-none:1", "jtag-what"})
    EXPECT_FALSE(target.ApplyFault(QString::fromLatin1(name))) << name;
  const JtagFaults faults = target.faults();
  EXPECT_EQ(faults.slow_start, 10);
  EXPECT_EQ(faults.short_read, 64);
  EXPECT_EQ(faults.busy_patterns, 3);
}

TEST(JtagTargetTest, RamEndsWhereTheMapSaysAndANewChipIsErased) {
  JtagTarget target;
  target.Load(kRamStart + kRamSize - 2, QByteArray("\x01\x02\x03\x04", 4));
  EXPECT_EQ(target.Memory(kRamStart + kRamSize - 2, 4), QByteArray("\x01\x02\0\0", 4));
  target.SetFlashChip(0, 0x7FC00000, 0x400000);
  EXPECT_EQ(target.Memory(0x7FC00000, 1), QByteArray(1, '\xFF'));
}

}  // namespace
}  // namespace tornavo::sim

namespace tornavo::sim {
namespace {

// The trap reaching the receiver's EEPROM is met by the command line's dump over the socket.
TEST(SharedCablePortTest, EachAcquisitionStartsOnJtagAndMovesAtTheFirstControlAccess) {
  JtagTarget jtag;
  jtag.SetFaults({.tdo_stuck_low = true});  // Select low while the JTAG cable answers
  ParallelPeripheral parallel;
  SharedCablePort port(jtag, parallel);
  QString error;
  ASSERT_TRUE(port.Acquire(&error));
  EXPECT_EQ(port.Read(PortRegister::kStatus) & 0x10, 0);
  port.Write(PortRegister::kData, 0x02);  // a TCK edge reaches the target
  EXPECT_EQ(jtag.edges(), 1u);
  EXPECT_EQ(port.Read(PortRegister::kControl), parallel.Read(PortRegister::kControl));
  EXPECT_TRUE(port.on_parallel_cable());
  EXPECT_EQ(port.Read(PortRegister::kStatus), parallel.Read(PortRegister::kStatus));
  port.Write(PortRegister::kData, 0x00);
  port.Write(PortRegister::kData, 0x02);
  EXPECT_EQ(jtag.edges(), 1u);  // the JTAG cable no longer sees the data lines
  port.Release();
  ASSERT_TRUE(port.Acquire(&error));
  EXPECT_FALSE(port.on_parallel_cable());
  port.Release();
}

}  // namespace
}  // namespace tornavo::sim
