#include "core/settings/config_rules.h"

#include "core/settings/flash_chip.h"

namespace tornavo {

int SeparatePosition(int changed, int other) {
  if (changed != other) return changed;
  return changed == 0 ? 1 : changed - 1;
}

QString FilterAddressText(const QString& text, const QString& first_entry) {
  if (text.isEmpty()) return first_entry;
  QString kept;
  for (QChar c : text.toUpper()) {
    const char16_t u = c.unicode();
    if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F')) kept += c;
  }
  return kept;
}

QString RoundTrapAddress(const QString& text) {
  uint32_t address = 0;
  if (!ParseHexAddress(text, &address)) address = 0;
  return QStringLiteral("%1").arg(address & ~3u, 8, 16, QLatin1Char('0')).toUpper();
}

QString FilterLnbText(const QString& text, const QString& fallback) {
  QString kept;
  for (QChar c : text)
    if (c >= u'0' && c <= u'9' && kept.size() < kLnbMaximumLength) kept += c;
  return kept.isEmpty() ? fallback : kept;
}

void FixSatelliteNames(QString* name_a, QString* name_b) {
  if (name_a->isEmpty()) *name_a = QStringLiteral("A");
  if (name_b->isEmpty()) *name_b = QStringLiteral("B");
  if (*name_a == *name_b) {
    *name_a = QStringLiteral("A");
    *name_b = QStringLiteral("B");
  }
}

}  // namespace tornavo
