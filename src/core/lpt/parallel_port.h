#pragma once

#include <cstdint>
#include <functional>

#include "core/lpt/port_registers.h"
#include "core/lpt/timing.h"

namespace tornavo {

// Status register bits, one per input line.
namespace status_bit {
inline constexpr uint8_t kBusy = 0x80;  // reads inverted: 0 while the line is high
inline constexpr uint8_t kAck = 0x40;
inline constexpr uint8_t kPaperEnd = 0x20;
inline constexpr uint8_t kSelect = 0x10;
inline constexpr uint8_t kFault = 0x08;
}  // namespace status_bit

// Control register bits, as written (register values, not pin levels).
namespace control_bit {
inline constexpr uint8_t kStrobe = 0x01;
inline constexpr uint8_t kAutoFeed = 0x02;
inline constexpr uint8_t kInit = 0x04;
inline constexpr uint8_t kSelectIn = 0x08;
inline constexpr uint8_t kInterrupt = 0x10;
inline constexpr uint8_t kReverse = 0x20;
}  // namespace control_bit

// A port and its clock as the protocols above see them: register reads and writes, one
// predicate per status line, and waits that first push pending writes out to the port.
class ParallelPort {
 public:
  ParallelPort(PortRegisters& registers, MonotonicClock& clock)
      : registers_(registers), clock_(clock) {}

  uint8_t PortRead(PortRegister reg) { return registers_.Read(reg); }
  void PortWrite(PortRegister reg, uint8_t value) { registers_.Write(reg, value); }

  // Read-modify-write of the control register.
  void ChangeControl(uint8_t set, uint8_t clear);

  bool IsBusy() { return (PortRead(PortRegister::kStatus) & status_bit::kBusy) == 0; }
  bool IsAckHigh() { return (PortRead(PortRegister::kStatus) & status_bit::kAck) != 0; }
  bool IsPaperEndHigh() { return (PortRead(PortRegister::kStatus) & status_bit::kPaperEnd) != 0; }
  bool IsSelectHigh() { return (PortRead(PortRegister::kStatus) & status_bit::kSelect) != 0; }
  bool IsFaultHigh() { return (PortRead(PortRegister::kStatus) & status_bit::kFault) != 0; }

  void WaitMs(int64_t ms);
  bool WaitFor(int64_t ms, const std::function<bool()>& condition);

  PortRegisters& registers() { return registers_; }
  MonotonicClock& clock() { return clock_; }

 private:
  PortRegisters& registers_;
  MonotonicClock& clock_;
};

}  // namespace tornavo
