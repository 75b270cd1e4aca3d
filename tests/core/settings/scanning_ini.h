#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/runtime/cp1252.h"

namespace tornavo {

// The INI rules applied the slow, obvious way: every read and every write walks the lines
// from the top. The indexed reader and writer must agree with it line for line.
class ScanningIni {
 public:
  explicit ScanningIni(QStringList lines) : lines_(std::move(lines)) {}

  QString Read(const QString& section, const QString& key, const QString& fallback) const {
    if (lines_.isEmpty() || key.isEmpty()) return fallback;
    const int header = SectionIndex(section);
    if (header < 0) return fallback;
    for (qsizetype i = header + 1; i < lines_.size(); ++i) {
      if (IsHeader(lines_[i])) return fallback;
      if (Name(lines_[i]) == key) {
        const QString value = Value(lines_[i]);
        return value.isEmpty() ? fallback : value;
      }
    }
    return fallback;
  }

  void Write(const QString& section, const QString& key, const QString& value) {
    const QString entry = key + '=' + value;
    const int header = SectionIndex(section);
    if (header < 0) {
      lines_ << QString() << '[' + section + ']';
      if (!key.isEmpty()) lines_ << entry;
      return;
    }
    if (key.isEmpty()) return;
    qsizetype i = header + 1;
    while (i < lines_.size() && !IsHeader(lines_[i]) && Name(lines_[i]) != key) ++i;
    if (i < lines_.size() && !IsHeader(lines_[i]))
      lines_[i] = entry;
    else
      lines_.insert(i, entry);
  }

  // The stored bytes of a Windows-1252 file.
  QByteArray Bytes(const QByteArray& line_break, bool final_break) const {
    QByteArray bytes;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
      bytes += ToCp1252(lines_[i]);
      if (i + 1 < lines_.size() || final_break) bytes += line_break;
    }
    return bytes;
  }

  const QStringList& lines() const { return lines_; }

 private:
  static QString Trim(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20) ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20) --end;
    return text.mid(begin, end - begin);
  }
  static bool IsHeader(const QString& line) {
    const QString trimmed = Trim(line);
    return trimmed.startsWith('[') && trimmed.endsWith(']');
  }
  static QString Name(const QString& line) {
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? QString() : Trim(line.left(equals));
  }
  static QString Value(const QString& line) {
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? QString() : Trim(line.mid(equals + 1));
  }
  int SectionIndex(const QString& section) const {
    const QString header = '[' + section + ']';
    for (qsizetype i = 0; i < lines_.size(); ++i)
      if (lines_[i].compare(header, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
  }

  QStringList lines_;
};

}  // namespace tornavo
