#include "core/settings/ini_file.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>

#include "core/runtime/cp1252.h"
#include "core/runtime/text_file.h"

namespace tornavo {

namespace {

// Blanks and control characters, as the files' own trimming treats them.
bool IsBlank(QChar c) { return c.unicode() <= 0x20; }

QString TrimBlanks(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.mid(begin, end - begin);
}

bool HasHighBytes(const QByteArray& bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

bool IsValidUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString ignored = decoder(bytes);
  return !decoder.hasError();
}

// Letter case folded code point by code point, as the case-blind comparison of headers
// folds it; a header matches only lines of the same folded text.
QString FoldCase(const QString& text) {
  QString folded;
  folded.reserve(text.size());
  // Plain ASCII, as nearly every header is, folds to its lower case.
  if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
    for (QChar c : text) {
      const char16_t u = c.unicode();
      folded.append(QChar(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u));
    }
    return folded;
  }
  for (char32_t c : QStringView(text).toUcs4()) {
    const char32_t f = QChar::toCaseFolded(c);
    folded.append(QStringView(QChar::fromUcs4(f)));
  }
  return folded;
}

int HexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  return -1;
}

}  // namespace

TIniFile32::TIniFile32(const QString& file_name) : file_name_(file_name) {
  QFile file(file_name);
  if (!file.exists()) return;
  if (file.size() > kMaximumFileSize || !file.open(QIODevice::ReadOnly)) {
    readable_ = false;
    return;
  }
  QByteArray bytes = file.read(kMaximumFileSize + 1);
  if (bytes.size() > kMaximumFileSize) {
    readable_ = false;
    return;
  }
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    utf8_bom_ = true;
    bytes.remove(0, 3);
  }
  QString text;
  if (utf8_bom_ || (HasHighBytes(bytes) && IsValidUtf8(bytes))) {
    encoding_ = Encoding::kUtf8;
    text = QString::fromUtf8(bytes);
  } else {
    text = FromCp1252(bytes);
  }
  qsizetype first_break = 0;
  while (first_break < text.size() && text[first_break] != u'\r' && text[first_break] != u'\n')
    ++first_break;
  if (first_break < text.size()) {
    if (text.mid(first_break, 2) == QLatin1String("\r\n"))
      line_break_ = "\r\n";
    else
      line_break_ = text[first_break] == u'\n' ? "\n" : "\r";
  }
  final_line_break_ = text.isEmpty() || text.endsWith(u'\n') || text.endsWith(u'\r');
  // A break ends a line; a last line without one is a line too.
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines_ << text.mid(start, i - start);
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines_ << text.mid(start);
  RebuildIndex();
}

bool TIniFile32::IsSectionHeader(const QString& line) {
  qsizetype begin = 0;
  qsizetype end = line.size();
  while (begin < end && IsBlank(line[begin])) ++begin;
  while (end > begin && IsBlank(line[end - 1])) --end;
  return end > begin && line[begin] == u'[' && line[end - 1] == u']';
}

uint32_t TIniFile32::SlotHash(int segment, QStringView name) {
  // FNV-1a over the name's UTF-16 units, seeded by the segment: names are short, and this
  // costs a fraction of Qt's general string hash.
  uint32_t hash = 2166136261u ^ static_cast<uint32_t>(segment) * 0x9E3779B9u;
  for (QChar c : name) hash = (hash ^ c.unicode()) * 16777619u;
  return hash ^ (hash >> 15);
}

void TIniFile32::RebuildIndex() {
  last_segment_ = kNoLastSegment;
  segment_headers_.assign(1, -1);
  headers_.clear();
  size_t capacity = 64;
  while (capacity < 2 * static_cast<size_t>(lines_.size()) + 2) capacity *= 2;
  slots_.assign(capacity, Slot{});
  used_slots_ = 0;
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    if (IsSectionHeader(lines_[i]))
      AddSegment(i);
    else
      AddEntry(static_cast<int>(segment_headers_.size()) - 1, i);
  }
}

void TIniFile32::AddSegment(qsizetype header) {
  last_segment_ = kNoLastSegment;
  headers_[FoldCase(lines_[header])].push_back(static_cast<int>(segment_headers_.size()));
  segment_headers_.push_back(header);
}

qsizetype TIniFile32::FindEntry(int segment, QStringView key) const {
  return FindEntry(segment, key, SlotHash(segment, key));
}

qsizetype TIniFile32::FindEntry(int segment, QStringView key, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask; slots_[i].segment >= 0; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.hash != hash || slot.segment != segment) continue;
    const qsizetype line = segment_headers_[segment] + slot.offset;
    if (NameView(lines_[line]) == key) return line;
  }
  return -1;
}

void TIniFile32::PlaceSlot(const Slot& slot) {
  const size_t mask = slots_.size() - 1;
  size_t i = slot.hash & mask;
  while (slots_[i].segment >= 0) i = (i + 1) & mask;
  slots_[i] = slot;
}

void TIniFile32::AddEntry(int segment, qsizetype line) {
  const QStringView name = NameView(lines_[line]);
  // A later line of the same name never wins.
  if (name.isEmpty()) return;
  const uint32_t hash = SlotHash(segment, name);
  if (FindEntry(segment, name, hash) >= 0) return;
  if (2 * (used_slots_ + 1) > slots_.size()) {
    std::vector<Slot> old(2 * slots_.size(), Slot{});
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.segment >= 0) PlaceSlot(slot);
  }
  PlaceSlot(Slot{hash, segment, line - segment_headers_[segment]});
  ++used_slots_;
}

int TIniFile32::FindSegment(const QString& section) const {
  // A caller storing many keys asks for the same section each time.
  if (last_segment_ != kNoLastSegment && section == last_section_) return last_segment_;
  last_section_ = section;
  last_segment_ = FindSegmentOf(section);
  return last_segment_;
}

int TIniFile32::FindSegmentOf(const QString& section) const {
  const QString header = QLatin1Char('[') + section + QLatin1Char(']');
  const auto candidates = headers_.constFind(FoldCase(header));
  if (candidates == headers_.cend()) return -1;
  for (int segment : *candidates)
    if (lines_[segment_headers_[segment]].compare(header, Qt::CaseInsensitive) == 0) return segment;
  return -1;
}

qsizetype TIniFile32::SegmentEnd(int segment) const {
  const size_t next = static_cast<size_t>(segment) + 1;
  return next < segment_headers_.size() ? segment_headers_[next] : lines_.size();
}

QStringView TIniFile32::NameView(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  if (equals < 0) return {};
  qsizetype begin = 0;
  qsizetype end = equals;
  while (begin < end && IsBlank(line[begin])) ++begin;
  while (end > begin && IsBlank(line[end - 1])) --end;
  return QStringView(line).mid(begin, end - begin);
}

QString TIniFile32::EntryName(const QString& line) { return NameView(line).toString(); }

QString TIniFile32::EntryValue(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  return equals < 0 ? QString() : TrimBlanks(line.mid(equals + 1));
}

QString TIniFile32::ReadString(const QString& section, const QString& key,
                               const QString& fallback) const {
  if (lines_.isEmpty() || key.isEmpty()) return fallback;
  const int segment = FindSegment(section);
  if (segment < 0) return fallback;
  const qsizetype line = FindEntry(segment, key);
  if (line < 0) return fallback;
  const QString value = EntryValue(lines_[line]);
  return value.isEmpty() ? fallback : value;
}

bool TIniFile32::ConvertInteger(const QString& original, int32_t* value) {
  QString text = original;
  if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
    text = QLatin1Char('$') + text.mid(2);
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i < text.size() && text[i] == u'$') {
    ++i;
    if (i >= text.size()) return false;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
      const int digit = HexDigit(text[i]);
      if (digit < 0) return false;
      magnitude = magnitude * 16 + static_cast<uint64_t>(digit);
      if (magnitude > 0xFFFFFFFFu) return false;
    }
    // Hexadecimal covers the whole 32 bits: $FFFFFFFF is -1.
    const uint32_t bits = static_cast<uint32_t>(magnitude);
    *value = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
  }
  if (i >= text.size()) return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u < '0' || u > '9') return false;
    magnitude = magnitude * 10 + (u - '0');
    if (magnitude > 0x80000000LL) return false;
  }
  if (!negative && magnitude > 0x7FFFFFFFLL) return false;
  *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

int32_t TIniFile32::ReadInteger(const QString& section, const QString& key,
                                int32_t fallback) const {
  int32_t value = 0;
  return ConvertInteger(ReadString(section, key, QString()), &value) ? value : fallback;
}

bool TIniFile32::ReadBool(const QString& section, const QString& key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool TIniFile32::WriteString(const QString& section, const QString& key, const QString& value,
                             QString* error) {
  SetString(section, key, value);
  return Store(error);
}

void TIniFile32::SetString(const QString& section, const QString& key, const QString& value) {
  const QString entry = key + QLatin1Char('=') + value;
  // A key with blanks around it or an "=" inside, or an entry that reads as a header, does
  // not name its own line the way it was asked for: such a write rebuilds the index.
  const bool plain = !IsSectionHeader(entry) && NameView(entry) == key;
  const int segment = FindSegment(section);
  if (segment < 0) {
    lines_ << QString() << QLatin1Char('[') + section + QLatin1Char(']');
    AddSegment(lines_.size() - 1);
    if (!key.isEmpty()) {
      lines_ << entry;
      if (plain) AddEntry(static_cast<int>(segment_headers_.size()) - 1, lines_.size() - 1);
    }
    if (!plain) RebuildIndex();
    return;
  }
  if (key.isEmpty()) return;
  const qsizetype line = FindEntry(segment, key);
  if (line >= 0) {
    lines_[line] = entry;
  } else {
    // A new entry goes just before the next section's header, or at the end.
    const qsizetype at = SegmentEnd(segment);
    lines_.insert(at, entry);
    for (size_t later = segment + 1; later < segment_headers_.size(); ++later)
      ++segment_headers_[later];
    if (plain) AddEntry(segment, at);
  }
  if (!plain) RebuildIndex();
}

bool TIniFile32::WriteInteger(const QString& section, const QString& key, int32_t value,
                              QString* error) {
  return WriteString(section, key, QString::number(value), error);
}

bool TIniFile32::WriteBool(const QString& section, const QString& key, bool value, QString* error) {
  return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"), error);
}

bool TIniFile32::Store(QString* error) const {
  if (!readable_) {
    if (error)
      *error =
          QStringLiteral("%1: the file could not be read, so it is left as it is").arg(file_name_);
    return false;
  }
  QByteArray bytes;
  if (encoding_ == Encoding::kUtf8 && utf8_bom_) bytes += "\xEF\xBB\xBF";
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    bytes += encoding_ == Encoding::kUtf8 ? lines_[i].toUtf8() : ToCp1252(lines_[i]);
    if (i + 1 < lines_.size() || final_line_break_) bytes += line_break_;
  }
  return WriteFileAtomically(file_name_, bytes, error);
}

}  // namespace tornavo
