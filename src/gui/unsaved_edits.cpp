#include "gui/unsaved_edits.h"

#include <QStringList>

#include "core/runtime/operation_host.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/app_services.h"

namespace tornavo {

bool SettleUnsavedEdits(AppServices& services, int page_key, const QString& detail,
                        const std::function<bool()>& save) {
  const Texts& t = services.texts;
  QStringList lines = {t.Format(text_key::kLosCambiosDeNoSeHan, {t.Key(page_key)})};
  if (!detail.isEmpty()) lines << detail;
  lines << t.Key(text_key::kGuardarlosAntesDeSeguir);
  switch (services.host.Ask(Question::kSaveDiscardCancel, lines.join(u'\n'))) {
    case Answer::kSave:
      return save();
    case Answer::kDiscard:
      return true;
    default:
      return false;
  }
}

}  // namespace tornavo
