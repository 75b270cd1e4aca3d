// The KVL EEPROM file reader over any bytes.
#include "eeprom_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tornavo::FuzzEepromFile(tornavo::EepromFormat::kKvl, data, size);
}
