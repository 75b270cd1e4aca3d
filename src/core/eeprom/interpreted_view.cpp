#include "core/eeprom/interpreted_view.h"

#include "core/runtime/cp1252.h"
#include "core/texts/text_names.h"

namespace tornavo {

namespace {

constexpr int kOtherSlot = slot::kOtro;  // "otro"

bool AllDigits(const QString& text) {
  for (QChar c : text)
    if (c < u'0' || c > u'9') return false;
  return true;
}

QString OnlyOf(const QString& text, bool (*keep)(QChar)) {
  QString out;
  for (QChar c : text)
    if (keep(c)) out += c;
  return out;
}

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(QChar c) { return IsDigit(c) || (c >= u'A' && c <= u'F'); }

// Upper case letter by letter, so that no letter turns into two; a letter whose capital has
// no 8-bit code ("µ") stays as it is rather than be stored as '?'.
QString UpperLetters(const QString& text) {
  QString out = text;
  for (QChar& c : out) {
    const QChar upper = c.toUpper();
    if (FromCp1252(ToCp1252(QString(upper))) == QString(upper)) c = upper;
  }
  return out;
}

QString HexOfBytes(const QByteArray& bytes) {
  QString hex;
  for (char c : bytes) hex += ByteText(static_cast<uint8_t>(c));
  return hex;
}

QString HexOfNumber(uint64_t value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper().right(digits);
}

}  // namespace

InterpretedView::InterpretedView(EepromImage& image, const Texts& texts,
                                 const SymbolRateTable& symbol_rates)
    : image_(image), texts_(texts), symbol_rates_(symbol_rates), states_(FieldCount()) {}

QString InterpretedView::Caption(int field) const { return Field(field).caption.Resolve(texts_); }

QString InterpretedView::FullCaption(int field) const {
  const FieldDescriptor& d = Field(field);
  QString caption = Caption(field).trimmed();
  if (d.record > 0)
    caption =
        texts_.Key(d.record == 1 ? text_key::kSatelite1 : text_key::kSatelite2) + ' ' + caption;
  return caption;
}

int InterpretedView::FindField(const QString& full_caption) const {
  const QString wanted = full_caption.trimmed();
  for (int f = 0; f < FieldCount(); ++f) {
    const FieldDescriptor& d = Field(f);
    QString stable = QString::fromUtf8(d.name);
    if (d.record > 0)
      stable =
          texts_.Key(d.record == 1 ? text_key::kSatelite1 : text_key::kSatelite2) + ' ' + stable;
    if (FullCaption(f) == wanted || stable == wanted) return f;
  }
  return -1;
}

QStringList InterpretedView::Entries(int field) const {
  const FieldDescriptor& d = Field(field);
  QStringList entries;
  for (const ListEntry& entry : d.entries) entries << entry.text.Resolve(texts_);
  if (d.kind == FieldKind::kOtherList) entries << texts_.Slot(kOtherSlot);
  return entries;
}

int InterpretedView::OtherIndex(int field) const {
  const FieldDescriptor& d = Field(field);
  return d.kind == FieldKind::kOtherList ? static_cast<int>(d.entries.size()) : -1;
}

QString InterpretedView::HexOf(const FieldDescriptor& d) const {
  QString hex;
  for (int i = 0; i < d.length; ++i) hex += ByteText(image_.ByteAt(d.address + i));
  return hex;
}

QString InterpretedView::CellTextsOf(const FieldDescriptor& d) const {
  QString text;
  for (int i = 0; i < d.length; ++i) text += image_.CellAt(d.address + i);
  return text;
}

void InterpretedView::WriteHex(int address, const QString& hex) {
  for (int i = 0; 2 * i + 1 < hex.size(); ++i) image_.SetCellAt(address + i, hex.mid(2 * i, 2));
}

void InterpretedView::WriteField(const FieldDescriptor& d, const QString& hex) {
  WriteHex(d.address, hex);
  if (d.copy_address >= 0) WriteHex(d.copy_address, hex);
  if (d.check_address >= 0) WriteHex(d.check_address, CheckPair(hex));
}

QString InterpretedView::FilterText(const FieldDescriptor& d, const QString& text) const {
  if (d.kind == FieldKind::kName) {
    const QString upper = UpperLetters(text).left(d.max_length);
    return upper.isEmpty() ? QString::fromUtf8(d.empty_text) : upper;
  }
  QString digits = OnlyOf(text, IsDigit).left(d.max_length);
  if (digits.isEmpty()) digits = QString::fromUtf8(d.empty_text);
  if (d.max_value >= 0 && digits.toLongLong() > d.max_value) digits = QStringLiteral("0");
  return digits;
}

QString InterpretedView::FilterRaw(const FieldDescriptor& d, const QString& text) const {
  // Lower-case digits are digits; the box shows them in upper case.
  const QString hex = OnlyOf(text.toUpper(), IsHexDigit).left(d.raw_width);
  return hex.isEmpty() ? QString::fromUtf8(d.empty_raw) : hex;
}

void InterpretedView::RefreshInterpretedView() {
  for (int f = 0; f < FieldCount(); ++f) Refresh(f);
  emit Refreshed();
}

void InterpretedView::Refresh(int field) {
  const FieldDescriptor& d = Field(field);
  FieldState& s = states_[field];
  const QStringList entries = Entries(field);
  s = FieldState{};
  switch (d.kind) {
    case FieldKind::kName: {
      QByteArray bytes;
      for (int i = 0; i < d.length; ++i) {
        const uint8_t byte = image_.ByteAt(d.address + i);
        if (byte == 0) break;
        bytes += static_cast<char>(byte);
      }
      // Shown through the box's own rule: a name stored in lower case shows, and is written
      // back, in upper case.
      s.text = FilterText(d, FromCp1252(bytes));
      s.index = static_cast<int>(entries.indexOf(s.text));
      break;
    }
    case FieldKind::kPlainList: {
      const uint8_t byte = image_.ByteAt(d.address);
      switch (d.show) {
        case PlainShow::kZeroOrOther:
          s.index = byte == 0 ? 0 : 1;
          break;
        case PlainShow::kIndex:
          s.index = byte < entries.size() ? byte : 0;
          break;
        case PlainShow::kSymbolRate:
          // The table has 16 entries; a larger byte names none of them.
          s.index = byte < symbol_rates_.size() && symbol_rates_[byte] == 22000 ? 0 : 1;
          break;
      }
      s.text = entries.value(s.index);
      break;
    }
    case FieldKind::kNumber: {
      uint64_t value = 0;
      for (int i = 0; i < d.length; ++i) value = (value << 8) | image_.ByteAt(d.address + i);
      QString text = QString::number(value);
      if (d.shown_min >= 0 && (value < static_cast<uint64_t>(d.shown_min) ||
                               value > static_cast<uint64_t>(d.shown_max)))
        text = QString::fromUtf8(d.range_fallback);
      s.text = FilterText(d, text);
      if (d.raw_width > 0) s.raw = CellTextsOf(d);
      break;
    }
    case FieldKind::kDigits: {
      QByteArray bytes;
      for (int i = 0; i < d.length; ++i) bytes += static_cast<char>(image_.ByteAt(d.address + i));
      s.text = FilterText(d, FromCp1252(bytes));
      s.raw = HexOf(d);
      break;
    }
    case FieldKind::kOtherList: {
      s.raw = HexOf(d);
      s.index = OtherIndex(field);
      for (size_t e = 0; e < d.entries.size(); ++e) {
        if (d.entries[e].value == s.raw) {
          s.index = static_cast<int>(e);
          break;
        }
      }
      s.raw_enabled = s.index == OtherIndex(field);
      s.text = entries.value(s.index);
      break;
    }
  }
}

void InterpretedView::SelectEntry(int field, int index) {
  if (field < 0 || field >= FieldCount()) return;
  const FieldDescriptor& d = Field(field);
  const QStringList entries = Entries(field);
  if (index < 0 || index >= entries.size()) return;
  FieldState& s = states_[field];
  switch (d.kind) {
    case FieldKind::kName:
      EditText(field, entries[index]);
      s.index = index;
      break;
    case FieldKind::kPlainList:
      s.index = index;
      s.text = entries[index];
      WriteHex(d.address, ByteText(static_cast<uint8_t>(index)));
      break;
    case FieldKind::kOtherList:
      s.index = index;
      s.text = entries[index];
      s.raw_enabled = index == OtherIndex(field);
      if (!s.raw_enabled) s.raw = d.entries[index].value;
      WriteField(d, s.raw.rightJustified(d.raw_width, QLatin1Char(d.raw_pad)));
      break;
    case FieldKind::kNumber:
    case FieldKind::kDigits:
      return;
  }
  emit FieldChanged(field);
}

QString InterpretedView::EditText(int field, const QString& text) {
  if (field < 0 || field >= FieldCount()) return text;
  const FieldDescriptor& d = Field(field);
  if (d.kind != FieldKind::kName && d.kind != FieldKind::kNumber && d.kind != FieldKind::kDigits)
    return text;
  FieldState& s = states_[field];
  s.text = FilterText(d, text);
  if (d.kind == FieldKind::kName) s.index = static_cast<int>(Entries(field).indexOf(s.text));
  return s.text;
}

QString InterpretedView::EditRaw(int field, const QString& text) {
  if (field < 0 || field >= FieldCount()) return text;
  const FieldDescriptor& d = Field(field);
  if (d.kind != FieldKind::kOtherList) return text;
  states_[field].raw = FilterRaw(d, text);
  return states_[field].raw;
}

void InterpretedView::LeaveText(int field) {
  if (field < 0 || field >= FieldCount()) return;
  const FieldDescriptor& d = Field(field);
  FieldState& s = states_[field];
  switch (d.kind) {
    case FieldKind::kName: {
      QByteArray bytes = ToCp1252(s.text).left(d.length);
      bytes.append(d.length - bytes.size(), '\0');
      WriteHex(d.address, HexOfBytes(bytes));
      break;
    }
    case FieldKind::kNumber: {
      uint64_t value = s.text.toULongLong();
      if (d.min_valid >= 0 && (value < static_cast<uint64_t>(d.min_valid) ||
                               value > static_cast<uint64_t>(d.max_valid))) {
        s.text = QString::fromUtf8(d.range_fallback);
        value = s.text.toULongLong();
      }
      const QString hex = HexOfNumber(value, 2 * d.length);
      if (d.raw_width > 0) s.raw = hex;
      WriteField(d, hex);
      break;
    }
    case FieldKind::kDigits: {
      const QString digits = s.text.rightJustified(d.length, QLatin1Char('0')).left(d.length);
      s.raw = HexOfBytes(digits.toLatin1());
      WriteField(d, s.raw);
      break;
    }
    case FieldKind::kPlainList:
    case FieldKind::kOtherList:
      return;
  }
  emit FieldChanged(field);
}

void InterpretedView::LeaveRaw(int field) {
  if (field < 0 || field >= FieldCount()) return;
  const FieldDescriptor& d = Field(field);
  if (d.kind != FieldKind::kOtherList) return;
  FieldState& s = states_[field];
  s.raw = s.raw.rightJustified(d.raw_width, QLatin1Char(d.raw_pad));
  WriteField(d, s.raw);
  emit FieldChanged(field);
}

bool InterpretedView::ApplyEdit(int field, const QString& value, QString* error) {
  if (field < 0 || field >= FieldCount()) {
    *error = QStringLiteral("no such field");
    return false;
  }
  const FieldDescriptor& d = Field(field);
  const QString caption = FullCaption(field);
  const int entry = static_cast<int>(Entries(field).indexOf(value));
  switch (d.kind) {
    case FieldKind::kPlainList:
    case FieldKind::kOtherList:
      if (entry >= 0) {
        SelectEntry(field, entry);
        return true;
      }
      if (d.kind == FieldKind::kOtherList && !value.isEmpty() && value.size() <= d.raw_width &&
          OnlyOf(value.toUpper(), IsHexDigit) == value.toUpper()) {
        SelectEntry(field, OtherIndex(field));
        EditRaw(field, value);
        LeaveRaw(field);
        return true;
      }
      *error = QStringLiteral("%1: \"%2\" is not one of: %3")
                   .arg(caption, value, Entries(field).join(QStringLiteral(", ")));
      if (d.kind == FieldKind::kOtherList)
        *error += QStringLiteral(" (or up to %1 hex digits)").arg(d.raw_width);
      return false;
    case FieldKind::kNumber:
    case FieldKind::kDigits:
      if (value.isEmpty() || value.size() > d.max_length || !AllDigits(value)) {
        *error = QStringLiteral("%1: \"%2\" is not a number of up to %3 digits")
                     .arg(caption, value)
                     .arg(d.max_length);
        return false;
      }
      break;
    case FieldKind::kName:
      if (value.size() > d.max_length || FromCp1252(ToCp1252(value)) != value) {
        *error = QStringLiteral("%1: \"%2\" is not a name of up to %3 characters")
                     .arg(caption, value)
                     .arg(d.max_length);
        return false;
      }
      break;
  }
  EditText(field, value);
  LeaveText(field);
  return true;
}

}  // namespace tornavo
