#include "core/eeprom/write_question.h"

#include <QStringList>

#include "core/texts/text_names.h"

namespace tornavo {

namespace {

QString AddressText(int address) {
  return QStringLiteral("%1").arg(address, 3, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString EepromWriteQuestionText(const EepromWriteQuestion& question, const Texts& texts) {
  const EepromRows& rows = question.rows;
  int first = 0;
  while (first < kEepromRows - 1 && !rows[static_cast<size_t>(first)]) ++first;
  int last = kEepromRows - 1;
  while (last > first && !rows[static_cast<size_t>(last)]) --last;
  QStringList lines;
  // Rows no file named (a grid never read) are asked about without naming one.
  if (!question.routine() && !question.file.isEmpty())
    lines << texts.Format(text_key::kElArchivoNoDefineLas,
                          {question.file, RowRangesText(question.lacking)});
  lines << texts.Format(text_key::kFilasQueSeEscribiran, {RowRangesText(rows)})
        << texts.Format(text_key::kDestino,
                        {texts.Key(text_key::kEeprom), AddressText(first * kEepromColumns),
                         AddressText(last * kEepromColumns + kEepromColumns - 1), question.port});
  lines << texts.Key(question.routine() ? text_key::kEscribirlasEnLaEeprom
                                        : text_key::kSeEnviaranTalComoEstan);
  return lines.join(u'\n');
}

}  // namespace tornavo
