#include "core/channels/image_file_checks.h"

#include "core/texts/file_kind.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

QString MissingTableText(LoadResult result, const Texts& texts) {
  switch (result) {
    case LoadResult::kNoTransponderTable:
      return texts.Slot(slot::kNoSeHaEncontradoNinguna112);  // "... tabla de transpondedores !"
    case LoadResult::kNoChannelTable:
      return texts.Slot(slot::kNoSeHaEncontradoNinguna113);  // "... tabla de canales !"
    case LoadResult::kOk:
    case LoadResult::kNoChoice:
      break;
  }
  return {};
}

QString FlashFileErrorText(LoadResult result, const QByteArray& file, const Texts& texts) {
  const QString missing = MissingTableText(result, texts);
  return missing.isEmpty() ? missing : WithLooksLike(missing, file, FileKind::kFlashImage, texts);
}

bool CheckRamTableFile(const QByteArray& file, const Texts& texts, QString* error) {
  // Only what the contents prove: a short or long dump is still a RAM table.
  switch (GuessFileKind(file)) {
    case FileKind::kEepromOwnText:
    case FileKind::kEepromKvlText:
    case FileKind::kFlashImage:
      *error = WithLooksLike(texts.Slot(slot::kNoSeHaEncontradoNinguna113), file,
                             FileKind::kRamChannelTable, texts);
      return false;
    default:
      return true;
  }
}

}  // namespace tornavo
