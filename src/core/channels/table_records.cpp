#include "core/channels/table_records.h"

#include <QLocale>
#include <cstring>

#include "core/runtime/cp1252.h"

namespace tornavo {

namespace {

constexpr const char* kFecNames[] = {"1/2", "2/3", "3/4", "5/6", "7/8", "8/9"};

uint8_t At(const QByteArray& image, int64_t offset) {
  return static_cast<uint8_t>(image[static_cast<qsizetype>(offset)]);
}

uint16_t Word(const QByteArray& image, int64_t offset) {
  return static_cast<uint16_t>(At(image, offset) << 8 | At(image, offset + 1));
}

void PutByte(QByteArray& target, int64_t offset, int value) {
  target[static_cast<qsizetype>(offset)] = static_cast<char>(value & 0xFF);
}

void PutWord(QByteArray& target, int64_t offset, int64_t value) {
  PutByte(target, offset, static_cast<int>(value >> 8));
  PutByte(target, offset + 1, static_cast<int>(value));
}

bool Fits(int64_t offset, int record_size, const QByteArray& image) {
  return offset >= 0 && offset + record_size <= image.size();
}

// The system's decimal separator when it is a point; a comma otherwise (any other separator
// could not be read back as a number).
QChar DecimalSeparator() {
  return QLocale().decimalPoint() == QLatin1String(".") ? QLatin1Char('.') : QLatin1Char(',');
}

bool IsDecimalSeparator(QChar c) { return c == QLatin1Char(',') || c == QLatin1Char('.'); }

// "NOMBRE" of a record: the bytes before the first zero byte, at most 16.
QString NameText(const char* record) {
  return FromCp1252(QByteArray(record, static_cast<qsizetype>(strnlen(record, 16))));
}

// The record a row carries, or zeros when it has none of the right size.
QByteArray CarriedRecord(const TextGrid& grid, int row, int record_size) {
  const QByteArray& record = grid.Record(row);
  return record.size() == record_size ? record : QByteArray(record_size, '\0');
}

}  // namespace

int64_t FindTableSection(const char* tag, int64_t start, const uint8_t* image, int64_t size) {
  // Look for the first tag with memchr and check the rest only where its first byte occurs.
  int64_t p = std::max<int64_t>(start, 0);
  const int64_t last = size - 51;  // the second tag must end inside the image
  const uint8_t first = static_cast<uint8_t>(tag[0]);
  while (p <= last) {
    const void* hit = std::memchr(image + p + 32, first, static_cast<size_t>(last - p + 1));
    if (hit == nullptr) return -1;
    p = static_cast<const uint8_t*>(hit) - image - 32;
    if (std::memcmp(image + p + 32, tag, 3) == 0 && std::memcmp(image + p + 48, tag, 3) == 0)
      return p;
    ++p;
  }
  return -1;
}

int64_t FindTableSection(const char* tag, int64_t start, const QByteArray& image) {
  return FindTableSection(tag, start, reinterpret_cast<const uint8_t*>(image.constData()),
                          image.size());
}

std::vector<int64_t> ListTableSections(const char* tag, const QByteArray& image) {
  std::vector<int64_t> sections;
  for (int64_t p = FindTableSection(tag, 0, image); p != -1;
       p = FindTableSection(tag, (p / kBlockSize + 1) * kBlockSize, image))
    sections.push_back(p);
  return sections;
}

QString SectionDisplay(int64_t block, int64_t offset) {
  return QStringLiteral("%1 (%2)")
      .arg(block / kBlockSize, 2, 16, QLatin1Char('0'))
      .arg(ShownSectionAddress(block, offset), 6, 16, QLatin1Char('0'))
      .toUpper();
}

QString FrequencyText(uint64_t hertz) {
  QString text = QString::number(hertz / 1000);
  if (const uint64_t fraction = hertz % 1000; fraction != 0) {
    QString digits = QStringLiteral("%1").arg(fraction, 3, 10, QLatin1Char('0'));
    while (digits.endsWith(QLatin1Char('0'))) digits.chop(1);
    text += DecimalSeparator() + digits;
  }
  return text;
}

QString SymbolRateText(uint8_t code, const SymbolRateTable& rates) {
  if (code < rates.size() && rates[code] != 0) return QString::number(rates[code]);
  return HexByteText(code);
}

QString FecText(uint8_t code) {
  return code < std::size(kFecNames) ? QString::fromLatin1(kFecNames[code]) : HexByteText(code);
}

QString HexByteText(int value) {
  return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

std::optional<int64_t> ParseDecimal(const QString& text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  if (i == text.size() || text.size() - i > 18) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return negative ? -value : value;
}

int64_t ParseHex(const QString& text) {
  if (text.size() > 16) return -1;
  uint64_t value = 0;
  for (const QChar ch : text) {
    const char16_t c = ch.unicode();
    int digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (c >= u'A' && c <= u'F')
      digit = c - u'A' + 10;
    else if (c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    else
      return -1;
    value = value << 4 | static_cast<uint64_t>(digit);
  }
  return static_cast<int64_t>(value);
}

namespace {

// "FREC" text in Hz, without an upper limit beyond 64 bits.
std::optional<uint64_t> ParseFrequencyWide(const QString& text) {
  uint64_t kilo = 0;
  qsizetype i = 0;
  int whole_digits = 0;
  for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
    if (++whole_digits > 12) return std::nullopt;
    kilo = kilo * 10 + (text[i].unicode() - u'0');
  }
  uint64_t hertz = kilo * 1000;
  int fraction_digits = 0;
  if (i < text.size() && IsDecimalSeparator(text[i])) {
    ++i;
    uint64_t milli = 0;
    int round_digit = -1;  // the digit after the third decimal
    bool beyond = false;   // any non-zero digit after that one
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
      const int digit = text[i].unicode() - u'0';
      if (fraction_digits < 3)
        milli = milli * 10 + static_cast<uint64_t>(digit);
      else if (fraction_digits == 3)
        round_digit = digit;
      else if (digit != 0)
        beyond = true;
      ++fraction_digits;
    }
    for (int d = fraction_digits; d < 3; ++d) milli *= 10;
    hertz += milli;
    if (round_digit > 5 || (round_digit == 5 && (beyond || hertz % 2 == 1))) ++hertz;
  }
  if (i != text.size() || whole_digits + fraction_digits == 0) return std::nullopt;
  return hertz;
}

}  // namespace

std::optional<uint32_t> ParseFrequency(const QString& text) {
  const std::optional<uint64_t> hertz = ParseFrequencyWide(text);
  if (!hertz || *hertz > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<uint32_t>(*hertz);
}

QString TunedFrequencyText(const QString& frequency, int lnb_mhz) {
  const std::optional<uint64_t> hertz = ParseFrequencyWide(frequency);
  if (!hertz) return {};
  return FrequencyText(*hertz + static_cast<uint64_t>(std::max(lnb_mhz, 0)) * 1000000);
}

void SetEmptyChannel(TextGrid& grid, int row, const TableContext& context) {
  grid.SetCell(row, kName, QString());
  for (int c = kChannelTransponder; c <= kStatus; ++c) grid.SetCell(row, c, QStringLiteral("0"));
  grid.SetCell(row, kChannelSatellite, context.satellite_a);
  grid.SetRecord(row, QByteArray(kChannelRecordSize, '\0'));
}

void SetEmptyTransponder(TextGrid& grid, int row, const TableContext& context) {
  grid.SetCell(row, kFrequency, QStringLiteral("0"));
  grid.SetCell(row, kTransponderId, QStringLiteral("0"));
  grid.SetCell(row, kNetworkId, QStringLiteral("0"));
  grid.SetCell(row, kFec, QStringLiteral("1/2"));
  grid.SetCell(row, kPolarity, QStringLiteral("V"));
  grid.SetCell(row, kSymbolRate, QString::number(context.symbol_rates[0]));
  grid.SetCell(row, kTone, QStringLiteral("Off"));
  grid.SetCell(row, kChannels, QStringLiteral("0"));
  grid.SetCell(row, kBand, QStringLiteral("Ku"));
  grid.SetCell(row, kTransponderSatellite, context.satellite_a);
  grid.SetRecord(row, QByteArray(kTransponderRecordSize, '\0'));
}

void ReadTransponderRecords(int64_t position, const QByteArray& image, int first_row,
                            const TableContext& context, TextGrid& grid) {
  for (int r = std::max(first_row, 1); r < grid.rows(); ++r) {
    const int64_t at = position + int64_t{r - first_row} * kTransponderRecordSize;
    if (!Fits(at, kTransponderRecordSize, image)) break;
    const uint32_t hertz = static_cast<uint32_t>(Word(image, at)) << 16 | Word(image, at + 2);
    const uint8_t flags = At(image, at + 11);
    grid.SetRecord(r, image.mid(static_cast<qsizetype>(at), kTransponderRecordSize));
    grid.SetCell(r, kFrequency, FrequencyText(hertz));
    grid.SetCell(r, kTransponderId, QString::number(Word(image, at + 4)));
    grid.SetCell(r, kNetworkId, QString::number(Word(image, at + 6)));
    grid.SetCell(r, kChannels, QString::number(At(image, at + 8)));
    grid.SetCell(r, kSymbolRate, SymbolRateText(At(image, at + 9), context.symbol_rates));
    grid.SetCell(r, kFec, FecText(At(image, at + 10)));
    grid.SetCell(r, kTone, QString::fromLatin1(flags & 0x01 ? "On" : "Off"));
    grid.SetCell(r, kPolarity, QString::fromLatin1(flags & 0x02 ? "H" : "V"));
    grid.SetCell(r, kBand, QString::fromLatin1(flags & 0x04 ? "C" : "Ku"));
    grid.SetCell(r, kTransponderSatellite,
                 flags & 0x08 ? context.satellite_b : context.satellite_a);
  }
}

void ReadChannelRecords(int64_t position, const QByteArray& image, int first_row, int shift,
                        bool ram, const TableContext& context, const TextGrid& transponders,
                        TextGrid& grid) {
  for (int r = std::max(first_row, 1); r < grid.rows(); ++r) {
    const int64_t at = position + int64_t{r - first_row} * kChannelRecordSize;
    if (!Fits(at, kChannelRecordSize, image)) break;
    grid.SetRecord(r, image.mid(static_cast<qsizetype>(at), kChannelRecordSize));
    grid.SetCell(r, kName, NameText(image.constData() + at));
    grid.SetCell(r, kStatus, HexByteText(At(image, at + 16)));
    int transponder = At(image, at + 17);
    // Appended channels follow their transponders; one that was not appended names none.
    if (shift != kKeepReferences && transponder != 0) {
      transponder += shift;
      if (transponder >= transponders.rows()) transponder = 0;
    }
    grid.SetCell(r, kChannelTransponder, QString::number(transponder));
    for (int c = kServiceId; c <= kPcrPid; ++c)
      grid.SetCell(r, c, QString::number(Word(image, at + 18 + 2 * (c - kServiceId))));
    if (ram)
      grid.SetCell(r, kChannelSatellite, QString());
    else if (transponder >= 1 && transponder < transponders.rows())
      grid.SetCell(r, kChannelSatellite, transponders.Cell(transponder, kTransponderSatellite));
    else
      grid.SetCell(r, kChannelSatellite, context.satellite_a);
  }
}

namespace {

bool DecimalCell(const TextGrid& grid, int row, int column, bool transponder, int64_t* value,
                 CellError* error) {
  if (const std::optional<int64_t> parsed = ParseDecimal(grid.Cell(row, column))) {
    *value = *parsed;
    return true;
  }
  if (error) *error = {transponder, row, column, grid.Cell(row, column)};
  return false;
}

std::optional<QByteArray> ChannelRecordOf(const TextGrid& grid, int k, CellError* error) {
  int64_t numbers[7];
  for (int c = kChannelTransponder; c <= kPcrPid; ++c)
    if (!DecimalCell(grid, k, c, false, &numbers[c - kChannelTransponder], error))
      return std::nullopt;
  QByteArray record = CarriedRecord(grid, k, kChannelRecordSize);
  // A name still shown as carried keeps its bytes, those after its terminator included.
  if (grid.Cell(k, kName) != NameText(record.constData())) {
    const QByteArray name = ToCp1252(grid.Cell(k, kName)).left(16);
    for (int i = 0; i < 16; ++i) PutByte(record, i, i < name.size() ? name[i] : 0);
  }
  PutByte(record, 16, static_cast<int>(ParseHex(grid.Cell(k, kStatus))));
  PutByte(record, 17, static_cast<int>(numbers[0]));
  for (int i = 1; i < 7; ++i) PutWord(record, 16 + 2 * i, numbers[i]);
  return record;
}

// Byte 9 is an index into the symbol-rate table: a text still showing the carried code keeps
// it, a value that names an entry takes the first such entry, any other text keeps the code.
int SymbolRateCode(const QString& text, uint8_t carried, const SymbolRateTable& rates) {
  if (text == SymbolRateText(carried, rates)) return carried;
  if (const std::optional<int64_t> value = ParseDecimal(text)) {
    for (size_t i = 0; i < rates.size(); ++i)
      if (rates[i] == *value) return static_cast<int>(i);
  }
  return carried;
}

int FecCode(const QString& fec) {
  if (fec.size() == 2) return static_cast<int>(ParseHex(fec));
  for (int i = 0; i < 5; ++i)
    if (fec == QLatin1String(kFecNames[i])) return i;
  return 5;
}

std::optional<QByteArray> TransponderRecordOf(const TextGrid& grid, int k,
                                              const TableContext& context, CellError* error) {
  const std::optional<uint32_t> hertz = ParseFrequency(grid.Cell(k, kFrequency));
  if (!hertz) {
    if (error) *error = {true, k, kFrequency, grid.Cell(k, kFrequency)};
    return std::nullopt;
  }
  int64_t id, network, channels;
  if (!DecimalCell(grid, k, kTransponderId, true, &id, error) ||
      !DecimalCell(grid, k, kNetworkId, true, &network, error) ||
      !DecimalCell(grid, k, kChannels, true, &channels, error))
    return std::nullopt;
  QByteArray record = CarriedRecord(grid, k, kTransponderRecordSize);
  PutWord(record, 0, *hertz >> 16);
  PutWord(record, 2, *hertz & 0xFFFF);
  PutWord(record, 4, id);
  PutWord(record, 6, network);
  PutByte(record, 8, static_cast<int>(channels));
  PutByte(record, 9,
          SymbolRateCode(grid.Cell(k, kSymbolRate), At(record, 9), context.symbol_rates));
  PutByte(record, 10, FecCode(grid.Cell(k, kFec)));
  int flags = 0;
  if (grid.Cell(k, kTone) == QLatin1String("On")) flags |= 0x01;
  if (grid.Cell(k, kPolarity) == QLatin1String("H")) flags |= 0x02;
  if (grid.Cell(k, kBand) == QLatin1String("C")) flags |= 0x04;
  if (grid.Cell(k, kTransponderSatellite) == context.satellite_b) flags |= 0x08;
  PutByte(record, 11, flags);
  return record;
}

template <typename RecordOf>
std::optional<QByteArray> TableRecords(const TextGrid& grid, int record_size,
                                       const RecordOf& record_of) {
  QByteArray records;
  records.reserve(static_cast<qsizetype>(std::max(grid.rows() - 1, 0)) * record_size);
  for (int k = 1; k < grid.rows(); ++k) {
    const std::optional<QByteArray> record = record_of(k);
    if (!record) return std::nullopt;
    records += *record;
  }
  return records;
}

}  // namespace

std::optional<QByteArray> ChannelTableRecords(const TextGrid& grid, CellError* error) {
  return TableRecords(grid, kChannelRecordSize,
                      [&](int k) { return ChannelRecordOf(grid, k, error); });
}

std::optional<QByteArray> TransponderTableRecords(const TextGrid& grid, const TableContext& context,
                                                  CellError* error) {
  return TableRecords(grid, kTransponderRecordSize,
                      [&](int k) { return TransponderRecordOf(grid, k, context, error); });
}

bool WriteChannelRecords(int64_t position, const TextGrid& grid, QByteArray& target,
                         CellError* error) {
  const std::optional<QByteArray> records = ChannelTableRecords(grid, error);
  if (!records) return false;
  const int64_t fitting = std::clamp<int64_t>(target.size() - position, 0, records->size());
  const int64_t whole = fitting - fitting % kChannelRecordSize;
  if (position >= 0 && whole > 0)
    std::memcpy(target.data() + position, records->constData(), static_cast<size_t>(whole));
  return true;
}

bool RecordsHoldDataFrom(const QByteArray& records, int record_size, int64_t index) {
  for (int64_t i = std::max<int64_t>(index, 0) * record_size; i < records.size(); ++i)
    if (records[static_cast<qsizetype>(i)] != '\0') return true;
  return false;
}

Rgb ChannelRowColour(const TextGrid& grid, int row) {
  auto pid = [&](int column) {
    const QString& text = grid.Cell(row, column);
    return text.isEmpty() ? 0 : ParseDecimal(text).value_or(-1);
  };
  const int64_t video = pid(kVideoPid);
  const int64_t audio = pid(kAudioPid);
  if (video == 65535) return audio == 65535 ? Rgb{191, 245, 192} : Rgb{191, 208, 245};
  if (video == 0 && audio == 0) return {255, 255, 255};
  return {245, 226, 175};
}

}  // namespace tornavo
