#include "core/serial/checksum.h"

#include <cstdint>

namespace tornavo {

QByteArray AppendChecksum(const QByteArray& text) {
  uint8_t x = 0;
  for (qsizetype i = 1; i < text.size(); ++i) x ^= static_cast<uint8_t>(text[i]);
  static constexpr char kHex[] = "0123456789ABCDEF";
  const uint8_t sum = static_cast<uint8_t>(~x);
  QByteArray frame = text;
  frame.append(kHex[sum >> 4]).append(kHex[sum & 0x0F]);
  return frame;
}

}  // namespace tornavo
