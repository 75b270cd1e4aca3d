#pragma once

#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>

#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

// Fills the encryption choices in the current language, keeping the chosen entry: the first
// entry is translated, the system names are not.
inline void FillEncryptionList(QComboBox* list, const Texts& texts) {
  // Refilling is no choice of the user's.
  const QSignalBlocker quiet(list);
  const int index = list->currentIndex();
  list->clear();
  list->addItems(
      {texts.Key(text_key::kNoCambiar), "Seca", "Nagravision", "Betacrypt", "Irdeto", "Viaccess"});
  list->setCurrentIndex(std::max(index, 0));
}

}  // namespace tornavo
