#pragma once

#include <QByteArray>
#include <QStringList>
#include <array>
#include <cstdint>

namespace tornavo {

// The block of twenty CRC-32 values a firmware image carries for its loader: value i covers
// 64 KiB from i * 0x10000, the last one only up to the block itself.
inline constexpr uint32_t kFirmwareCrcOffset = 0x13FC00;
inline constexpr int kFirmwareCrcCount = 20;
inline constexpr uint32_t kFirmwareCrcBlockSize = kFirmwareCrcCount * 4;
// Images shorter than this get no CRC block.
inline constexpr uint32_t kFirmwareCrcMinimumSize = kFirmwareCrcOffset + kFirmwareCrcBlockSize;

struct FirmwareCrcs {
  std::array<uint32_t, kFirmwareCrcCount> values{};
  std::array<uint8_t, kFirmwareCrcBlockSize> block{};  // the values, most significant byte first
  // The values as the EEPROM log gets them: 8 hexadecimal digits each.
  QStringList LogLines() const;
};

// image must hold at least kFirmwareCrcOffset bytes.
FirmwareCrcs ComputeFirmwareCrcs(const QByteArray& image);

// Writes the CRC block into image when it is long enough; returns whether it did.
bool AddFirmwareCrcBlock(QByteArray* image, FirmwareCrcs* crcs = nullptr);

}  // namespace tornavo
