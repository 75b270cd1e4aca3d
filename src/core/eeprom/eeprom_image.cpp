#include "core/eeprom/eeprom_image.h"

#include <QStringList>
#include <algorithm>

#include "core/texts/text_names.h"

namespace tornavo {

int64_t HexToInt(const QString& text) {
  if (text.size() > 16) return -1;
  uint64_t value = 0;
  for (QChar ch : text) {
    const char16_t c = ch.unicode();
    int digit;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else {
      return -1;
    }
    value = (value << 4) | static_cast<uint64_t>(digit);
  }
  return static_cast<int64_t>(value);
}

bool IsValidCellText(const QString& text) {
  auto digit = [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); };
  return text.size() == 2 && digit(text[0]) && digit(text[1]);
}

EepromRows RowsBetween(int first_row, int last_row) {
  EepromRows rows;
  for (int row = std::max(first_row, 0); row <= std::min(last_row, kEepromRows - 1); ++row)
    rows.set(row);
  return rows;
}

EepromRows RowsOfAddresses(uint32_t address, uint32_t length) {
  const uint64_t end = std::min<uint64_t>(kEepromBytes, uint64_t{address} + length);
  if (address >= end) return {};
  return RowsBetween(static_cast<int>(address / kEepromColumns),
                     static_cast<int>((end - 1) / kEepromColumns));
}

QString RowRangesText(const EepromRows& rows) {
  auto address = [](int row) { return ByteText(static_cast<uint8_t>(row)) + u'0'; };
  QStringList runs;
  for (int row = 0; row < kEepromRows; ++row) {
    if (!rows.test(row)) continue;
    int last = row;
    while (last + 1 < kEepromRows && rows.test(last + 1)) ++last;
    runs << (last == row ? address(row) : address(row) + u'-' + address(last));
    row = last;
  }
  return runs.join(QStringLiteral(", "));
}

QString ByteText(uint8_t byte) {
  // Made once: the image asks for these texts thousands of times a load.
  static const std::array<QString, 256> kTexts = [] {
    std::array<QString, 256> texts;
    for (int b = 0; b < 256; ++b)
      texts[b] = QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return texts;
  }();
  return kTexts[byte];
}

EepromImage::EepromImage() {
  cells_.fill(QStringLiteral("FF"));
  kept_ = cells_;
}

QString EepromImage::Cell(int row, int column) const {
  if (!InRange(row, column)) return {};
  return cells_[Index(row, column)];
}

void EepromImage::SetCell(int row, int column, const QString& text) {
  if (!InRange(row, column)) return;
  QString& cell = cells_[Index(row, column)];
  if (cell == text) return;
  cell = text;
  emit CellsChanged(row, row);
}

QString EepromImage::RowText(int row) const {
  QString text;
  if (row < 1 || row > kEepromRows) return text;
  for (int column = 1; column <= kEepromColumns; ++column) text += cells_[Index(row, column)];
  return text;
}

void EepromImage::ClearImage() {
  cells_.fill(QStringLiteral("FF"));
  emit CellsChanged(1, kEepromRows);
  Keep(EepromRows().set());
}

EepromRows EepromImage::EditedRows() const {
  EepromRows rows;
  for (int a = 0; a < kEepromBytes; ++a)
    if (cells_[a] != kept_[a]) rows.set(static_cast<size_t>(a / kEepromColumns));
  return rows;
}

void EepromImage::Keep(const EepromRows& rows) {
  for (int a = 0; a < kEepromBytes; ++a)
    if (rows[static_cast<size_t>(a / kEepromColumns)]) kept_[a] = cells_[a];
  emit KeptChanged();
}

bool EepromImage::ValidateImage(OperationHost& host, const Texts& texts) const {
  for (int a = 0; a < kEepromBytes; ++a) {
    if (IsValidCellText(cells_[a])) continue;
    const QString address = QStringLiteral("%1").arg(a, 3, 16, QLatin1Char('0')).toUpper();
    host.ShowError(texts.Slot(slot::kLaDireccion) + address +
                   texts.Slot(slot::kContieneUnDatoErroneo));
    return false;
  }
  return true;
}

void EepromImage::PlaceReceived(uint32_t address, const QByteArray& bytes) {
  PlaceBytes(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<int>(address),
             static_cast<int>(bytes.size()));
  Keep(RowsOfAddresses(address, static_cast<uint32_t>(bytes.size())));
}

void EepromImage::PlaceBytes(const uint8_t* bytes, int start, int length) {
  if (bytes == nullptr || length <= 0) return;
  int first = -1;
  int last = -1;
  for (int i = 0; i < length; ++i) {
    const int64_t address = static_cast<int64_t>(start) + i;
    if (address < 0) continue;
    if (address >= kEepromBytes) break;
    cells_[address] = ByteText(bytes[i]);
    if (first < 0) first = static_cast<int>(address);
    last = static_cast<int>(address);
  }
  if (first >= 0) emit CellsChanged(first / kEepromColumns + 1, last / kEepromColumns + 1);
}

std::array<uint8_t, kEepromBytes> EepromImage::Bytes() const {
  std::array<uint8_t, kEepromBytes> bytes;
  for (int a = 0; a < kEepromBytes; ++a)
    bytes[a] = static_cast<uint8_t>(HexToInt(cells_[a]) & 0xFF);
  return bytes;
}

QString EepromImage::CellAt(int address) const {
  if (address < 0 || address >= kEepromBytes) return {};
  return cells_[address];
}

void EepromImage::SetCellAt(int address, const QString& text) {
  if (address < 0 || address >= kEepromBytes) return;
  SetCell(address / kEepromColumns + 1, address % kEepromColumns + 1, text);
}

uint8_t EepromImage::ByteAt(int address) const {
  if (address < 0 || address >= kEepromBytes) return 0xFF;
  return static_cast<uint8_t>(HexToInt(CellAt(address)) & 0xFF);
}

void EepromImage::SetAllCells(const std::array<QString, kEepromBytes>& cells) {
  cells_ = cells;
  emit CellsChanged(1, kEepromRows);
}

void EepromImage::set_selected_row(int row) {
  if (row < 0 || row > kEepromRows) return;
  selected_row_ = row;
}

}  // namespace tornavo
