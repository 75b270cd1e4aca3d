#include "core/settings/flash_chip.h"

#include <QFileInfo>
#include <algorithm>

#include "core/settings/ini_file.h"
#include "core/texts/text_names.h"

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
  if (type.isEmpty()) {
    chip->problem = {text_key::kNoSeHaElegidoNingun, {}};
    return;
  }
  const QString path = ini_folder + type + QStringLiteral(".ini");
  const TIniFile32 file(path);
  const int num_blocks = file.ReadInteger(type, QStringLiteral("NumBlocks"), 1);
  chip->num_blocks = std::clamp(num_blocks, 0, FlashChipDescription::kMaximumBlocks);
  chip->erasure_mode =
      static_cast<uint8_t>(file.ReadInteger(type, QStringLiteral("ErasureMode"), 48) & 0xFF);
  for (int k = 0; k < FlashChipDescription::kOffsetCount; ++k) {
    const QString text =
        file.ReadString(type, QStringLiteral("block") + QString::number(k), QStringLiteral("0"));
    uint32_t offset = 0;
    chip->block_offsets[k] = ParseHexAddress(text, &offset) ? offset : 0;
  }
  if (!QFileInfo::exists(path)) {
    chip->problem = {text_key::kNoSeEncuentraElArchivo, {path}};
  } else if (num_blocks < 1 || num_blocks > FlashChipDescription::kMaximumBlocks) {
    chip->problem = {
        text_key::kNumBlocksFueraDe,
        {path, QString::number(num_blocks), QString::number(FlashChipDescription::kMaximumBlocks)}};
  } else {
    for (int k = 0; k < chip->num_blocks; ++k) {
      if (chip->block_offsets[k + 1] <= chip->block_offsets[k]) {
        chip->problem = {text_key::kBlockNoEsMayorQue,
                         {path, QString::number(k + 1), QString::number(k)}};
        break;
      }
    }
  }
}

TextRef FlashChipProblem(const FlashChipDescription& chip) {
  if (!chip.problem.empty()) return chip.problem;
  const QString start = QStringLiteral("%1").arg(chip.start, 8, 16, QLatin1Char('0')).toUpper();
  bool rising = chip.num_blocks >= 1 && chip.num_blocks <= FlashChipDescription::kMaximumBlocks;
  for (int k = 0; rising && k < chip.num_blocks; ++k)
    rising = chip.block_offsets[k + 1] > chip.block_offsets[k];
  if (!rising) return {text_key::kLaTablaDeBloquesDel, {start}};
  if (uint64_t{chip.start} + chip.size() > 0x100000000ull)
    return {text_key::kElIntegradoDeFlashEn, {start}};
  return {};
}

}  // namespace tornavo
