#pragma once

#include <cstdint>

#include "core/jtag/jtag_state.h"
#include "core/lpt/port_registers.h"

namespace tornavo {

// The cable's signals and where each sits on the parallel port.
enum class JtagSignal : uint8_t { kTms, kTck, kTdi, kDcuReset, kTdo };

struct JtagPin {
  JtagSignal signal;
  PortRegister reg;
  uint8_t mask;  // 1 in the register = line high (reset asserted for the DCU reset)
};

inline constexpr JtagPin kJtagPins[] = {
    {JtagSignal::kTms, PortRegister::kData, 0x01},
    {JtagSignal::kTck, PortRegister::kData, 0x02},
    {JtagSignal::kTdi, PortRegister::kData, 0x04},
    {JtagSignal::kDcuReset, PortRegister::kData, 0x08},
    {JtagSignal::kTdo, PortRegister::kStatus, 0x10},  // Select
};

constexpr uint8_t JtagMask(JtagSignal signal) {
  for (const JtagPin& pin : kJtagPins)
    if (pin.signal == signal) return pin.mask;
  return 0;
}

// Instructions of the 5-bit instruction register.
inline constexpr int kIrBits = 5;
inline constexpr uint32_t kIrIdcode = 0x02;
inline constexpr uint32_t kIrDcuLink = 0x10;

// The bit-banged TAP and the bit-serial link to the CPU's debug unit that runs while the TAP
// sits in Shift-DR. Port access must be held by the caller.
class TapDriver {
 public:
  TapDriver(PortRegisters& port, JtagState& state, const JtagTiming& timing)
      : port_(port), state_(state), timing_(timing) {}

  // One clock; TDO as read before the rising edge when sampling, else false.
  bool JtagClock(bool tms, bool tdi, bool sample);
  void SetDcuReset(bool on);
  void TapReset();
  // Loads an instruction, ending in Update-IR; the bits shifted out, first in bit 0.
  uint32_t ShiftIr(int bits, uint32_t value);
  void EnterDataScan();
  uint32_t ReadIdcode();

  bool WaitStartPattern(int limit);
  bool WaitAckPattern(int limit);
  bool LinkReadByte(uint8_t* byte);
  bool LinkWriteByte(uint8_t byte);
  bool LinkWriteWord(uint32_t word);

  JtagState& state() { return state_; }
  PortRegisters& port() { return port_; }
  const JtagTiming& timing() const { return timing_; }

 private:
  PortRegisters& port_;
  JtagState& state_;
  const JtagTiming& timing_;
};

}  // namespace tornavo
