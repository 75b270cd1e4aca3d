#include "core/texts/file_kind.h"

#include <cctype>

#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

namespace {

constexpr qsizetype kEepromBinBytes = 2048;
// "Tabla canales RAM" reads and sends this many bytes for 1000 and for 2000 channels.
constexpr qsizetype kSmallRamTableBytes = 0x7600;
constexpr qsizetype kLargeRamTableBytes = 0xEC00;
// The length "Imagen capturada" reads: a whole 720 × 576 frame.
constexpr qsizetype kCaptureDumpBytes = 0x98000;
// A section's two tags lie 16 bytes apart, the first 32 bytes after the section's start.
constexpr qsizetype kFirstTagOffset = 32;
constexpr qsizetype kTagDistance = 16;

QByteArray FirstLine(const QByteArray& contents) {
  const qsizetype end = contents.indexOf('\n');
  QByteArray line = end < 0 ? contents : contents.left(end);
  if (line.endsWith('\r')) line.chop(1);
  return line;
}

bool AllHex(const QByteArray& text) {
  for (char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

bool HoldsSection(const QByteArray& contents, const char* tag) {
  for (qsizetype at = contents.indexOf(tag, kFirstTagOffset); at >= 0;
       at = contents.indexOf(tag, at + 1))
    if (contents.mid(at + kTagDistance, 3) == tag) return true;
  return false;
}

// Entry `index` (0-based) of a dialog filter "label|pattern|label|pattern...".
QString FilterLabel(const QString& filter, int index) {
  return filter.section('|', 2 * index, 2 * index);
}

}  // namespace

FileKind GuessFileKind(const QByteArray& contents) {
  const QByteArray line = FirstLine(contents);
  if (line.size() == 43 && line.startsWith("%EE=") && line.mid(6, 3) == "010")
    return FileKind::kEepromOwnText;
  if (line.size() == 32 && AllHex(line)) return FileKind::kEepromKvlText;
  if (HoldsSection(contents, "TCS") || HoldsSection(contents, "TPT")) return FileKind::kFlashImage;
  switch (contents.size()) {
    case kEepromBinBytes:
      return FileKind::kEepromBin;
    case kSmallRamTableBytes:
    case kLargeRamTableBytes:
      return FileKind::kRamChannelTable;
    case kCaptureDumpBytes:
      return FileKind::kRawCapture;
    default:
      return FileKind::kUnknown;
  }
}

QString FileKindName(FileKind kind, const Texts& texts) {
  QString label;
  QString page = texts.Key(text_key::kEeprom);
  switch (kind) {
    case FileKind::kUnknown:
      return {};
    case FileKind::kEepromOwnText:
    case FileKind::kEepromKvlText:
    case FileKind::kEepromBin:
      label = FilterLabel(texts.Slot(slot::kArchivoDeTextoTornavoTXT),
                          static_cast<int>(kind) - static_cast<int>(FileKind::kEepromOwnText));
      break;
    case FileKind::kFlashImage:
    case FileKind::kRamChannelTable:
      label = FilterLabel(texts.Slot(slot::kArchivoFlashBINRCUO121),
                          kind == FileKind::kFlashImage ? 0 : 1);
      page = texts.Key(text_key::kSintonizacion);
      break;
    case FileKind::kRawCapture:
      label = FilterLabel(texts.Slot(slot::kArchivoRAMBINBinTodos), 0);
      page = texts.Slot(slot::kImagen);
      break;
  }
  return texts.Format(text_key::kDeLaPagina, {label.trimmed(), page.trimmed()});
}

QString WithLooksLike(const QString& message, const QByteArray& contents, FileKind chosen,
                      const Texts& texts) {
  const FileKind kind = GuessFileKind(contents);
  if (kind == FileKind::kUnknown || kind == chosen) return message;
  return message + QLatin1Char('\n') +
         texts.Format(text_key::kElArchivoPareceUn, {FileKindName(kind, texts)});
}

}  // namespace tornavo
