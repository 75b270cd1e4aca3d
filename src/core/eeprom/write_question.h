#pragma once

#include <QString>

#include "core/eeprom/eeprom_image.h"
#include "core/texts/texts.h"

namespace tornavo {

// What the question before an EEPROM "Enviar" names: the rows the write sends, those of
// them the loaded file did not define, and where they go.
struct EepromWriteQuestion {
  EepromRows rows;
  EepromRows lacking;
  QString file;  // the loaded file, when rows are lacking; empty when no file was loaded
  QString port;

  // Without lacking rows the question is the routine one, which the user may turn off.
  bool routine() const { return lacking.none(); }
};

// The question's text, a line each: the rows the file lacks (when a file lacks some), the rows
// written, the target with its addresses and port, and what is asked.
QString EepromWriteQuestionText(const EepromWriteQuestion& question, const Texts& texts);

}  // namespace tornavo
