// HexToInt over any text, against a plain reading of its rules.
#include <cstddef>
#include <cstdint>

#include "core/eeprom/eeprom_image.h"
#include "fuzz_check.h"

using namespace tornavo;

namespace {

int64_t Reference(const QString& text) {
  if (text.size() > 16) return -1;
  uint64_t value = 0;
  for (QChar c : text) {
    const int digit = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
    if (digit < 0 || c.unicode() > 0x7F) return -1;
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  return static_cast<int64_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const QString& text : {QString::fromLatin1(bytes), QString::fromUtf8(bytes)}) {
    const int64_t value = HexToInt(text);
    FUZZ_CHECK(value == Reference(text));
    if (text.size() == 2)
      FUZZ_CHECK(IsValidCellText(text) == (value >= 0 && text == text.toUpper()));
  }
  return 0;
}
