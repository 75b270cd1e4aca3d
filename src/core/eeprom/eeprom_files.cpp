#include "core/eeprom/eeprom_files.h"

#include <QList>

#include "core/runtime/cp1252.h"
#include "core/runtime/text_file.h"
#include "core/serial/checksum.h"
#include "core/texts/file_kind.h"
#include "core/texts/text_names.h"

namespace tornavo {

namespace {

constexpr int kOwnLineLength = 43;
constexpr int kKvlLineLength = 32;

// Lines of a text file, accepting CR LF and lone LF. A break at the very end does not start
// another line, so an empty file has none.
QList<QByteArray> SplitLines(const QByteArray& contents) {
  QList<QByteArray> lines = contents.split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
  for (QByteArray& line : lines)
    if (line.endsWith('\r')) line.chop(1);
  return lines;
}

// Lower-case digits are digits too: no file relies on their being refused. The image gets
// them in upper case.
bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The cell text of the two characters at `at`: the shared text of the byte when both are
// hex digits, else the characters as they stand (upper-cased).
QString CellOf(const QByteArray& line, qsizetype at) {
  const int high = HexValue(line.at(at));
  const int low = HexValue(line.at(at + 1));
  if (high >= 0 && low >= 0) return ByteText(static_cast<uint8_t>(high * 16 + low));
  return QString::fromLatin1(line.mid(at, 2).toUpper());
}

bool AllHex(const QByteArray& text) {
  for (char c : text)
    if (!IsHexDigit(c)) return false;
  return true;
}

QString BadFile(const Texts& texts) { return texts.Slot(slot::kFicheroDeEepromErroneo); }

QString BadLength(const Texts& texts) {
  return BadFile(texts) + '\n' + texts.Slot(slot::kLaLongitudDelFicheroEs);
}

FileKind KindOf(EepromFormat format) {
  switch (format) {
    case EepromFormat::kOwn:
      return FileKind::kEepromOwnText;
    case EepromFormat::kKvl:
      return FileKind::kEepromKvlText;
    case EepromFormat::kBin:
      return FileKind::kEepromBin;
  }
  return FileKind::kUnknown;
}

QString OwnLineError(const Texts& texts, int first_slot, int line, int last_slot) {
  QString message = BadFile(texts) + '\n' + texts.Slot(first_slot) + QString::number(line);
  if (last_slot >= 0) message += texts.Slot(last_slot);
  return message;
}

// A row field names one of the 128 rows only as two hex digits 00 to 7F.
int RowOfField(const QByteArray& field) {
  if (field.size() != 2 || !AllHex(field)) return -1;
  const int row = field.toInt(nullptr, 16);
  return row < kEepromRows ? row + 1 : -1;
}

bool DecodeOwn(const QByteArray& contents, const Texts& texts, EepromImage& image, QString* error,
               EepromRows* defined) {
  const QList<QByteArray> lines = SplitLines(contents);
  // The whole file is checked before any row is taken from it. A file whose first line is
  // no command may be another of the tool's files: the message says which.
  auto refuse = [&](int line, QString message) {
    *error =
        line == 1 ? WithLooksLike(message, contents, FileKind::kEepromOwnText, texts) : message;
    return false;
  };
  for (int i = 0; i < lines.size(); ++i) {
    const QByteArray& line = lines[i];
    const int n = i + 1;
    if (line.size() != kOwnLineLength) return refuse(n, OwnLineError(texts, 9, n, 10));
    if (!line.startsWith("%EE=") || line.mid(6, 3) != "010" || RowOfField(line.mid(4, 2)) < 0)
      return refuse(n, OwnLineError(texts, 11, n, 12));
    if (!AllHex(line.mid(8, 33))) return refuse(n, OwnLineError(texts, 13, n, -1));
  }
  std::array<QString, kEepromBytes> cells = image.cells();
  for (const QByteArray& line : lines) {
    const int row = RowOfField(line.mid(4, 2));
    defined->set(row - 1);
    for (int c = 0; c < kEepromColumns; ++c)
      cells[(row - 1) * kEepromColumns + c] = CellOf(line, 9 + 2 * c);
  }
  if (!lines.isEmpty()) image.SetAllCells(cells);
  return true;
}

// Where the tail of blanks and line breaks at the end of the file begins.
qsizetype BlankTailStart(const QByteArray& contents) {
  qsizetype start = contents.size();
  while (start > 0) {
    const char c = contents[start - 1];
    if (c != ' ' && c != '\r' && c != '\n') break;
    --start;
  }
  return start;
}

bool DecodeKvl(const QByteArray& contents, const Texts& texts, EepromImage& image, QString* error,
               EepromRows* defined) {
  const QList<QByteArray> lines = SplitLines(contents);
  const QByteArray first = lines.isEmpty() ? QByteArray() : lines.front();
  // A first line that is no row loads nothing; a file that is plainly another of the tool's
  // files is refused instead, saying which.
  const FileKind kind = GuessFileKind(contents);
  const bool other_kind = kind != FileKind::kUnknown && kind != FileKind::kEepromKvlText;
  if (first.size() <= 4 || first.startsWith("%EE=") ||
      (first.size() != kKvlLineLength && other_kind)) {
    *error = WithLooksLike(BadFile(texts), contents, FileKind::kEepromKvlText, texts);
    return false;
  }
  std::array<QString, kEepromBytes> cells = image.cells();
  const qsizetype blank_tail = BlankTailStart(contents);
  qsizetype offset = 0;  // where the current line starts in the file
  int row = 0;
  for (const QByteArray& line : lines) {
    if (row == kEepromRows || offset >= blank_tail) break;
    if (line.size() != kKvlLineLength) break;
    for (int c = 0; c < kEepromColumns; ++c) {
      const QString pair = CellOf(line, 2 * c);
      cells[row * kEepromColumns + c] = IsValidCellText(pair) ? pair : QStringLiteral("FF");
    }
    defined->set(row);
    ++row;
    offset = contents.indexOf('\n', offset);
    offset = offset < 0 ? contents.size() : offset + 1;
  }
  if (row > 0) image.SetAllCells(cells);
  return true;
}

bool DecodeBin(const QByteArray& contents, const Texts& texts, EepromImage& image, QString* error,
               EepromRows* defined) {
  if (contents.size() != kEepromBytes) {
    *error = WithLooksLike(BadLength(texts), contents, FileKind::kEepromBin, texts);
    return false;
  }
  std::array<QString, kEepromBytes> cells;
  for (int a = 0; a < kEepromBytes; ++a) cells[a] = ByteText(static_cast<uint8_t>(contents[a]));
  image.SetAllCells(cells);
  defined->set();
  return true;
}

}  // namespace

bool FormatOfFilterIndex(int index, EepromFormat* format) {
  if (index < 1 || index > 3) return false;
  *format = static_cast<EepromFormat>(index);
  return true;
}

QByteArray EncodeEepromFile(EepromFormat format, const EepromImage& image, const EepromRows& rows) {
  switch (format) {
    case EepromFormat::kOwn: {
      QList<QByteArray> lines;
      for (int row = 1; row <= kEepromRows; ++row) {
        if (!rows.test(row - 1)) continue;
        const QByteArray command = "%EE=" + ToCp1252(ByteText(static_cast<uint8_t>(row - 1))) +
                                   "010" + ToCp1252(image.RowText(row));
        lines << AppendChecksum(command);
      }
      return lines.join("\r\n");
    }
    case EepromFormat::kKvl: {
      QStringList lines;
      for (int row = 1; row <= kEepromRows; ++row) lines << image.RowText(row);
      return EncodeLines8Bit(lines);
    }
    case EepromFormat::kBin: {
      const auto bytes = image.Bytes();
      return QByteArray(reinterpret_cast<const char*>(bytes.data()), kEepromBytes);
    }
  }
  return {};
}

bool DecodeEepromFile(EepromFormat format, const QByteArray& contents, const Texts& texts,
                      EepromImage& image, QString* error, EepromRows* rows) {
  QString ignored;
  if (error == nullptr) error = &ignored;
  EepromRows defined;
  bool loaded = false;
  if (contents.size() > kMaxEepromFileBytes) {
    *error = WithLooksLike(BadLength(texts), contents, KindOf(format), texts);
  } else if (format == EepromFormat::kOwn) {
    loaded = DecodeOwn(contents, texts, image, error, &defined);
  } else if (format == EepromFormat::kKvl) {
    loaded = DecodeKvl(contents, texts, image, error, &defined);
  } else if (format == EepromFormat::kBin) {
    loaded = DecodeBin(contents, texts, image, error, &defined);
  }
  if (rows) *rows = defined;
  return loaded;
}

bool LoadEepromFile(const QString& path, EepromFormat format, const Texts& texts,
                    OperationHost& host, EepromImage& image, EepromRows* rows) {
  QByteArray contents;
  QString error;
  bool too_long = false;
  // Read further than any EEPROM file goes, so that a refusal can tell a flash image or a
  // capture picked by mistake.
  if (!ReadWholeFile(path, &contents, &error, kMaxKindFileBytes, &too_long)) {
    host.ShowError(too_long ? BadLength(texts) : error);
    return false;
  }
  if (!DecodeEepromFile(format, contents, texts, image, &error, rows)) {
    host.ShowError(error);
    return false;
  }
  return true;
}

bool SaveEepromFile(const QString& path, EepromFormat format, const EepromImage& image,
                    OperationHost& host, const EepromRows& rows) {
  QString error;
  if (!WriteFileAtomically(path, EncodeEepromFile(format, image, rows), &error)) {
    host.ShowError(error);
    return false;
  }
  return true;
}

}  // namespace tornavo
