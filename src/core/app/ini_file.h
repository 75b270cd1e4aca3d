#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace tornavo {

// The INI reader and writer of the settings file and of every catalogue file. It keeps the
// file's lines and nothing parsed: every read scans the lines, every write edits them and
// stores the whole file at once (atomically, so a failed store leaves the old file whole).
//
// Files are 8-bit text. A file with non-ASCII bytes that form valid UTF-8 is read as UTF-8,
// any other file as Windows-1252; a write keeps the encoding, the line breaks, a leading
// byte-order mark and a missing final line break of the file as it was read. A new file is
// Windows-1252 with CR LF line breaks.
class TIniFile32 {
 public:
  enum class Encoding { kCp1252, kUtf8 };

  // Largest file loaded; a larger one reads as empty and is never overwritten.
  static constexpr qint64 kMaximumFileSize = 4 * 1024 * 1024;

  explicit TIniFile32(const QString& file_name);

  QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
  int32_t ReadInteger(const QString& section, const QString& key, int32_t fallback) const;
  bool ReadBool(const QString& section, const QString& key, bool fallback) const;

  // Each write stores the whole file. On failure returns false and sets *error to the file
  // name and the system's text; the lines keep the change.
  bool WriteString(const QString& section, const QString& key, const QString& value,
                   QString* error = nullptr);
  bool WriteInteger(const QString& section, const QString& key, int32_t value,
                    QString* error = nullptr);
  bool WriteBool(const QString& section, const QString& key, bool value, QString* error = nullptr);

  // Integer text as the reader converts it: decimal, "$" hexadecimal or "0x" hexadecimal,
  // all within 32 bits. Returns false for anything else.
  static bool ConvertInteger(const QString& text, int32_t* value);

  const QString& file_name() const { return file_name_; }
  const QStringList& lines() const { return lines_; }
  Encoding encoding() const { return encoding_; }
  // False when the file exists but could not be read (or is too large); such a file is
  // never written over.
  bool readable() const { return readable_; }

 private:
  int SectionIndex(const QString& section) const;
  static QString EntryName(const QString& line);
  static QString EntryValue(const QString& line);
  static bool IsSectionHeader(const QString& line);
  bool Store(QString* error) const;

  QString file_name_;
  QStringList lines_;
  Encoding encoding_ = Encoding::kCp1252;
  QByteArray line_break_ = "\r\n";
  bool utf8_bom_ = false;
  bool final_line_break_ = true;
  bool readable_ = true;
};

}  // namespace tornavo
