#include "core/app/ini_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include "core/app/cp1252.h"
#include "core/app/text_file.h"

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
  const qsizetype first_break = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (first_break >= 0) {
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
}

bool TIniFile32::IsSectionHeader(const QString& line) {
  const QString trimmed = TrimBlanks(line);
  return trimmed.startsWith(u'[') && trimmed.endsWith(u']');
}

QString TIniFile32::EntryName(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  return equals < 0 ? QString() : TrimBlanks(line.left(equals));
}

QString TIniFile32::EntryValue(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  return equals < 0 ? QString() : TrimBlanks(line.mid(equals + 1));
}

int TIniFile32::SectionIndex(const QString& section) const {
  const QString header = QLatin1Char('[') + section + QLatin1Char(']');
  for (qsizetype i = 0; i < lines_.size(); ++i)
    if (lines_[i].compare(header, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
  return -1;
}

QString TIniFile32::ReadString(const QString& section, const QString& key,
                               const QString& fallback) const {
  if (lines_.isEmpty() || key.isEmpty()) return fallback;
  const int header = SectionIndex(section);
  if (header < 0) return fallback;
  for (qsizetype i = header + 1; i < lines_.size(); ++i) {
    if (IsSectionHeader(lines_[i])) return fallback;
    if (EntryName(lines_[i]) == key) {
      const QString value = EntryValue(lines_[i]);
      return value.isEmpty() ? fallback : value;
    }
  }
  return fallback;
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
  const QString entry = key + QLatin1Char('=') + value;
  const int header = SectionIndex(section);
  if (header < 0) {
    lines_ << QString() << QLatin1Char('[') + section + QLatin1Char(']');
    if (!key.isEmpty()) lines_ << entry;
    return Store(error);
  }
  if (!key.isEmpty()) {
    qsizetype i = header + 1;
    while (i < lines_.size() && !IsSectionHeader(lines_[i]) && EntryName(lines_[i]) != key) ++i;
    if (i < lines_.size() && !IsSectionHeader(lines_[i]))
      lines_[i] = entry;
    else
      lines_.insert(i, entry);
  }
  return Store(error);
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
