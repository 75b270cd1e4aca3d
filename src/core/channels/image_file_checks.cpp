#include "core/channels/image_file_checks.h"

#include "core/texts/file_kind.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

QString FlashFileErrorText(LoadResult result, const QByteArray& file, const Texts& texts) {
  int message_slot = slot::kNoSeHaEncontradoNinguna113;  // "... ninguna tabla de canales !"
  switch (result) {
    case LoadResult::kOk:
    case LoadResult::kNoChoice:
      return {};
    case LoadResult::kNoTransponderTable:
      message_slot = slot::kNoSeHaEncontradoNinguna112;  // "... tabla de transpondedores !"
      break;
    case LoadResult::kNoChannelTable:
      break;
  }
  return WithLooksLike(texts.Slot(message_slot), file, FileKind::kFlashImage, texts);
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
