#include "core/app/flash_chip.h"

#include <algorithm>

#include "core/app/ini_file.h"

namespace tornavo {

bool ParseHexAddress(const QString& text, uint32_t* value) {
  if (text.isEmpty()) return false;
  uint64_t result = 0;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    int digit = -1;
    if (u >= '0' && u <= '9')
      digit = u - '0';
    else if (u >= 'A' && u <= 'F')
      digit = u - 'A' + 10;
    else if (u >= 'a' && u <= 'f')
      digit = u - 'a' + 10;
    if (digit < 0) return false;
    result = result * 16 + static_cast<uint64_t>(digit);
    if (result > 0xFFFFFFFFu) return false;
  }
  *value = static_cast<uint32_t>(result);
  return true;
}

void LoadFlashType(const QString& ini_folder, const QString& type, FlashChipDescription* chip) {
  const uint32_t start = chip->start;
  *chip = FlashChipDescription{};
  chip->start = start;
  if (type.isEmpty()) return;
  const TIniFile32 file(ini_folder + type + QStringLiteral(".ini"));
  chip->num_blocks = std::clamp(file.ReadInteger(type, QStringLiteral("NumBlocks"), 1), 0,
                                FlashChipDescription::kMaximumBlocks);
  chip->erasure_mode =
      static_cast<uint8_t>(file.ReadInteger(type, QStringLiteral("ErasureMode"), 48) & 0xFF);
  for (int k = 0; k < FlashChipDescription::kOffsetCount; ++k) {
    const QString text =
        file.ReadString(type, QStringLiteral("block") + QString::number(k), QStringLiteral("0"));
    uint32_t offset = 0;
    chip->block_offsets[k] = ParseHexAddress(text, &offset) ? offset : 0;
  }
}

}  // namespace tornavo
