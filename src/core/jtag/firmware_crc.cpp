#include "core/jtag/firmware_crc.h"

#include <zlib.h>

#include <algorithm>

namespace tornavo {

namespace {
constexpr uint32_t kCrcSpan = 0x10000;
}  // namespace

QStringList FirmwareCrcs::LogLines() const {
  QStringList lines;
  for (uint32_t value : values)
    lines << QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
  return lines;
}

FirmwareCrcs ComputeFirmwareCrcs(const QByteArray& image) {
  FirmwareCrcs crcs;
  if (static_cast<uint64_t>(image.size()) < kFirmwareCrcOffset) return crcs;
  const auto* bytes = reinterpret_cast<const Bytef*>(image.constData());
  for (int i = 0; i < kFirmwareCrcCount; ++i) {
    const uint32_t from = static_cast<uint32_t>(i) * kCrcSpan;
    const uint32_t length = std::min(kCrcSpan, kFirmwareCrcOffset - from);
    const uint32_t value = static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), bytes + from, length));
    crcs.values[i] = value;
    for (int b = 0; b < 4; ++b)
      crcs.block[static_cast<size_t>(i * 4 + b)] = static_cast<uint8_t>(value >> (24 - 8 * b));
  }
  return crcs;
}

bool AddFirmwareCrcBlock(QByteArray* image, FirmwareCrcs* crcs) {
  if (static_cast<uint64_t>(image->size()) < kFirmwareCrcMinimumSize) return false;
  const FirmwareCrcs computed = ComputeFirmwareCrcs(*image);
  std::copy(computed.block.begin(), computed.block.end(),
            reinterpret_cast<uint8_t*>(image->data()) + kFirmwareCrcOffset);
  if (crcs) *crcs = computed;
  return true;
}

}  // namespace tornavo
