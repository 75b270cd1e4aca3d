#pragma once

#include <cstdint>

namespace tornavo {

// What the JTAG cable and the target's debug unit leave behind between operations. One
// instance, owned by the window (or the command run), lent to every JTAG operation.
struct JtagState {
  bool dcu_reset = false;      // level of the DCU reset line
  uint8_t output_cache = 0;    // data register as last written with TCK low; 0xFF forces a write
  bool data_scan = false;      // parked in Shift-DR with the DCU link instruction
  bool trap_started = false;   // the trap routine runs; later operations skip loading it
  uint32_t command_block = 0;  // address of the trap's command block, read at its start
};

// The two settings the driver reads on every use.
struct JtagTiming {
  int64_t tck_cycles = 0;          // DuracionTCK: busy-loop passes per half clock, less one
  int32_t wait_start_bits = 1024;  // WStartBits: clocks of silence that end a byte search
};

}  // namespace tornavo
