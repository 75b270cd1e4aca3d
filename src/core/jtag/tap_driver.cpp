#include "core/jtag/tap_driver.h"

#include "core/lpt/timing.h"

namespace tornavo {

namespace {

constexpr uint8_t kTms = JtagMask(JtagSignal::kTms);
constexpr uint8_t kTck = JtagMask(JtagSignal::kTck);
constexpr uint8_t kTdi = JtagMask(JtagSignal::kTdi);
constexpr uint8_t kReset = JtagMask(JtagSignal::kDcuReset);
constexpr uint8_t kTdo = JtagMask(JtagSignal::kTdo);

// The three-bit windows the link searches TDO for.
constexpr unsigned kStartWindow = 0b011;
constexpr unsigned kBusyWindow = 0b010;

}  // namespace

bool TapDriver::JtagClock(bool tms, bool tdi, bool sample) {
  bool tdo = false;
  if (sample) tdo = (port_.Read(PortRegister::kStatus) & kTdo) != 0;
  const uint8_t v = (tms ? kTms : 0) | (tdi ? kTdi : 0) | (state_.dcu_reset ? kReset : 0);
  if (v != state_.output_cache) {
    port_.Write(PortRegister::kData, v);
    state_.output_cache = v;
  }
  SpinDelayWide(timing_.tck_cycles);
  port_.Write(PortRegister::kData, v | kTck);
  SpinDelayWide(timing_.tck_cycles);
  port_.Write(PortRegister::kData, v);
  return tdo;
}

void TapDriver::SetDcuReset(bool on) {
  state_.dcu_reset = on;
  state_.output_cache = 0xFF;
  JtagClock(false, false, false);
  state_.data_scan = false;
}

void TapDriver::TapReset() {
  for (int i = 0; i < 5; ++i) JtagClock(true, false, false);
  JtagClock(false, false, false);
  state_.data_scan = false;
}

uint32_t TapDriver::ShiftIr(int bits, uint32_t value) {
  for (bool tms : {true, true, false, false}) JtagClock(tms, false, false);
  uint32_t out = 0;
  for (int i = 0; i < bits; ++i) {
    const bool tdo = JtagClock(i == bits - 1, ((value >> i) & 1) != 0, true);
    if (tdo && i < 32) out |= 1u << i;
  }
  JtagClock(true, false, false);
  return out;
}

void TapDriver::EnterDataScan() {
  if (state_.data_scan) return;
  TapReset();
  ShiftIr(kIrBits, kIrDcuLink);
  for (bool tms : {true, false, false}) JtagClock(tms, false, false);
  state_.data_scan = true;
}

uint32_t TapDriver::ReadIdcode() {
  TapReset();
  ShiftIr(kIrBits, kIrIdcode);
  for (bool tms : {true, false, false}) JtagClock(tms, false, false);
  uint32_t code = 0;
  for (int i = 0; i < 32; ++i)
    if (JtagClock(i == 31, false, true)) code |= 1u << i;
  JtagClock(true, false, false);
  return code;
}

bool TapDriver::WaitStartPattern(int limit) {
  unsigned w = 0;
  int c = 0;
  // A port that has failed answers nothing: the search ends at once.
  while (c < limit && w != kStartWindow && !port_.failed()) {
    w = ((w << 1) | (JtagClock(false, false, true) ? 1u : 0u)) & 7u;
    if (w == kBusyWindow) c = 0;  // the target is busy: keep listening
    ++c;
  }
  return w == kStartWindow && !port_.failed();
}

bool TapDriver::WaitAckPattern(int limit) {
  unsigned w = 0;
  int c = 0;
  while (c < limit && w != kBusyWindow && !port_.failed()) {
    w = ((w << 1) | (JtagClock(false, false, true) ? 1u : 0u)) & 7u;
    ++c;
  }
  return w == kBusyWindow && !port_.failed();
}

bool TapDriver::LinkReadByte(uint8_t* byte) {
  *byte = 0;
  if (!WaitStartPattern(timing_.wait_start_bits)) return false;
  uint8_t value = 0;
  for (int i = 0; i < 8; ++i)
    if (JtagClock(false, i == 4, true)) value |= static_cast<uint8_t>(1u << i);
  *byte = value;
  return true;
}

bool TapDriver::LinkWriteByte(uint8_t byte) {
  for (bool tdi : {false, true, true}) JtagClock(false, tdi, false);
  // The acceptance is a 0 then a 1 seen during the data bits; the sample before the first
  // counts as a 1, so that a TDO that floats high (no cable, no target) accepts nothing.
  unsigned a = 0b010;
  bool accepted = false;
  for (int i = 0; i < 8; ++i) {
    const bool tdo = JtagClock(false, ((byte >> i) & 1) != 0, true);
    a = ((a | (tdo ? 1u : 0u)) << 1) & 7u;
    if (a == kBusyWindow) accepted = true;
  }
  if (!accepted) accepted = WaitAckPattern(64);
  JtagClock(false, false, false);
  return accepted && !port_.failed();
}

bool TapDriver::LinkWriteWord(uint32_t word) {
  bool all = true;
  for (int shift = 0; shift < 32; shift += 8)
    all = LinkWriteByte(static_cast<uint8_t>(word >> shift)) && all;
  return all;
}

}  // namespace tornavo
