#include "core/runtime/cp1252.h"

#include <array>
#include <cstdint>

namespace tornavo {

namespace {

// Code points of 0x80 ... 0x9F; 0 where Windows-1252 leaves the code undefined (those map
// to the C1 control of the same number, as Windows does).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

QString FromCp1252(const QByteArray& bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (char c : bytes) {
    const uint8_t b = static_cast<uint8_t>(c);
    char16_t u = b;
    if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) u = kHigh[b - 0x80];
    *out++ = QChar(u);
  }
  return text;
}

QByteArray ToCp1252(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (QChar qc : text) {
    const char16_t u = qc.unicode();
    char out = '?';
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out = static_cast<char>(u);
    } else if (u >= 0x80 && u <= 0x9F) {
      out = kHigh[u - 0x80] == 0 ? static_cast<char>(u) : '?';
    } else {
      for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u) {
          out = static_cast<char>(0x80 + i);
          break;
        }
      }
    }
    bytes.append(out);
  }
  return bytes;
}

}  // namespace tornavo
