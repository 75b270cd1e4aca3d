#include "core/app/flash_chip.h"

#include <QFileInfo>
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
  if (type.isEmpty()) {
    chip->problem = QStringLiteral("No se ha elegido ningún tipo de Flash.");
    return;
  }
  const QString path = ini_folder + type + QStringLiteral(".ini");
  const QString refused =
      QStringLiteral("El archivo de tipo de Flash \"%1\" no es válido: ").arg(path);
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
    chip->problem = QStringLiteral("No se encuentra el archivo de tipo de Flash \"%1\".").arg(path);
  } else if (num_blocks < 1 || num_blocks > FlashChipDescription::kMaximumBlocks) {
    chip->problem = refused + QStringLiteral("NumBlocks=%1 está fuera de 1 a %2.")
                                  .arg(num_blocks)
                                  .arg(FlashChipDescription::kMaximumBlocks);
  } else {
    for (int k = 0; k < chip->num_blocks; ++k) {
      if (chip->block_offsets[k + 1] <= chip->block_offsets[k]) {
        chip->problem =
            refused + QStringLiteral("block%1 no es mayor que block%2.").arg(k + 1).arg(k);
        break;
      }
    }
  }
}

QString FlashChipProblem(const FlashChipDescription& chip) {
  if (!chip.problem.isEmpty()) return chip.problem;
  const QString start = QStringLiteral("%1").arg(chip.start, 8, 16, QLatin1Char('0')).toUpper();
  bool rising = chip.num_blocks >= 1 && chip.num_blocks <= FlashChipDescription::kMaximumBlocks;
  for (int k = 0; rising && k < chip.num_blocks; ++k)
    rising = chip.block_offsets[k + 1] > chip.block_offsets[k];
  if (!rising)
    return QStringLiteral("La tabla de bloques del integrado de Flash en %1 no es válida.")
        .arg(start);
  if (uint64_t{chip.start} + chip.size() > 0x100000000ull)
    return QStringLiteral("El integrado de Flash en %1 pasa de la dirección FFFFFFFF.").arg(start);
  return {};
}

}  // namespace tornavo
