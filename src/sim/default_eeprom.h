#pragma once

#include <array>
#include <cstdint>

#include "sim/eeprom_bytes.h"

namespace tornavo::sim {

// The two bytes that guard some EEPROM fields: with x the XOR of the field's bytes, they
// are 0xFF - x and x.
std::array<uint8_t, 2> CheckPairOf(const uint8_t* bytes, int count);

// A plausible receiver's EEPROM: two satellites, Spain, provider 000C, Spanish and English
// audio, a serial number; every byte not given a meaning is 0xFF, as on an erased chip.
EepromBytes BuildDefaultEeprom();

}  // namespace tornavo::sim
