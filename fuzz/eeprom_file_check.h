// The reader of one EEPROM file format over any bytes: a refused file changes nothing, a
// loaded one leaves valid cells in the rows it defined and writes and reads back the same.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/eeprom/eeprom_files.h"
#include "fuzz_check.h"

namespace tornavo {

inline int FuzzEepromFile(EepromFormat format, const uint8_t* data, size_t size) {
  static const Texts texts;
  const QByteArray contents(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  EepromImage image;
  image.SetCell(1, 1, QStringLiteral("5A"));  // something a refused file must leave alone
  const auto before = image.cells();
  EepromRows rows;
  QString error;
  if (!DecodeEepromFile(format, contents, texts, image, &error, &rows)) {
    FUZZ_CHECK(!error.isEmpty());
    FUZZ_CHECK(image.cells() == before);
    FUZZ_CHECK(rows.none());
    return 0;
  }
  // A loaded file leaves only valid cells, and only the rows it defined changed.
  for (int a = 0; a < kEepromBytes; ++a) {
    FUZZ_CHECK(IsValidCellText(image.CellAt(a)));
    if (!rows.test(a / kEepromColumns)) FUZZ_CHECK(image.CellAt(a) == before[a]);
  }
  // What was loaded writes and reads back the same.
  EepromImage again;
  EepromRows again_rows;
  FUZZ_CHECK(DecodeEepromFile(format, EncodeEepromFile(format, image, rows), texts, again, &error,
                              &again_rows));
  if (format == EepromFormat::kOwn) FUZZ_CHECK(again_rows == rows);
  for (int a = 0; a < kEepromBytes; ++a)
    if (again_rows.test(a / kEepromColumns)) FUZZ_CHECK(again.CellAt(a) == image.CellAt(a));
  return 0;
}

}  // namespace tornavo
