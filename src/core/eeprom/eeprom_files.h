#pragma once

#include <QByteArray>
#include <QString>

#include "core/eeprom/eeprom_image.h"
#include "core/runtime/operation_host.h"
#include "core/texts/texts.h"

namespace tornavo {

// The three EEPROM file formats, numbered as the entries of the file dialogs' filter.
enum class EepromFormat {
  kOwn = 1,  // "Archivo de Texto Tornavo (TXT)": one write command per row
  kKvl = 2,  // "Archivo de Texto KVL5208 (TXT)": 32 hex characters per row
  kBin = 3,  // "Archivo Binario (BIN)": the 2048 bytes
};

// Format of a 1-based filter index; false for any other number.
bool FormatOfFilterIndex(int index, EepromFormat* format);

// The largest EEPROM file any reader takes: 128 rows in any format with room for blank lines
// and repeated rows. Anything longer is not an EEPROM file.
inline constexpr qsizetype kMaxEepromFileBytes = 64 * 1024;

// The file contents of the image in a format. The own format can hold only some rows (its
// lines name their rows): `rows` chooses them; the other formats always hold all 128.
QByteArray EncodeEepromFile(EepromFormat format, const EepromImage& image,
                            const EepromRows& rows = EepromRows().set());

// Loads file contents into the image. On a refused file returns false with the message in
// *error and leaves the image as it was. *rows (when given) gets the rows the file defined:
// a file that loads may still define few or none of them.
bool DecodeEepromFile(EepromFormat format, const QByteArray& contents, const Texts& texts,
                      EepromImage& image, QString* error, EepromRows* rows = nullptr);

// Reads a file and loads it; any failure (the file system's or the reader's) is shown with
// host.ShowError and leaves the image as it was.
bool LoadEepromFile(const QString& path, EepromFormat format, const Texts& texts,
                    OperationHost& host, EepromImage& image, EepromRows* rows = nullptr);

// Writes the image to a file, replacing it atomically; failures are shown with host.ShowError.
bool SaveEepromFile(const QString& path, EepromFormat format, const EepromImage& image,
                    OperationHost& host, const EepromRows& rows = EepromRows().set());

}  // namespace tornavo
