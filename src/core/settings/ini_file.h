#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace tornavo {

// The INI reader and writer of the settings file and of every catalogue file. It keeps the
// file's lines; reads and writes follow the lines' rules exactly (the first match in the
// section, trimmed names and values) but find sections and entries through an index built
// once from the lines, so that a large catalogue file costs one pass, not one per key.
// Every Write stores the whole file at once (atomically, so a failed store leaves the old
// file whole); Set edits the lines only, for callers that store many keys with one Store.
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

  // WriteString without storing: the lines end exactly as the write would leave them.
  void SetString(const QString& section, const QString& key, const QString& value);
  // Stores the lines as the whole file, atomically.
  bool Store(QString* error = nullptr) const;

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
  // The index. Segments are the stretches from one section header line to the next (the
  // lines before the first header are segment 0, with header -1). Each entry is found
  // through an open-addressed table of the first line of each name in each segment, kept as
  // an offset from the segment's header so that a line inserted before a later segment only
  // moves that segment's header. Names are not copied: a slot's name is its line's.
  struct Slot {
    uint32_t hash = 0;
    int32_t segment = -1;  // -1: free
    qsizetype offset = 0;
  };

  static QStringView NameView(const QString& line);
  static QString EntryName(const QString& line);
  static QString EntryValue(const QString& line);
  static bool IsSectionHeader(const QString& line);
  static uint32_t SlotHash(int segment, QStringView name);
  void RebuildIndex();
  void AddSegment(qsizetype header);
  void AddEntry(int segment, qsizetype line);
  void PlaceSlot(const Slot& slot);
  // The first line of the segment whose name is the key, or -1.
  qsizetype FindEntry(int segment, QStringView key) const;
  qsizetype FindEntry(int segment, QStringView key, uint32_t hash) const;
  // The segment of the first line that equals the section's header, ignoring letter case.
  int FindSegment(const QString& section) const;
  int FindSegmentOf(const QString& section) const;
  qsizetype SegmentEnd(int segment) const;

  QString file_name_;
  QStringList lines_;
  Encoding encoding_ = Encoding::kCp1252;
  QByteArray line_break_ = "\r\n";
  bool utf8_bom_ = false;
  bool final_line_break_ = true;
  bool readable_ = true;
  std::vector<qsizetype> segment_headers_ = {-1};
  std::vector<Slot> slots_ = std::vector<Slot>(64);  // a power of two in size, at most half used
  size_t used_slots_ = 0;
  // Header lines by their case-folded text: the candidates, in line order, for a section.
  QHash<QString, std::vector<int>> headers_;
  // The last section looked up and its segment; forgotten whenever segments change.
  static constexpr int kNoLastSegment = -2;
  mutable QString last_section_;
  mutable int last_segment_ = kNoLastSegment;
};

}  // namespace tornavo
