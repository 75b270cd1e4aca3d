#include "core/app/texts.h"

namespace tornavo {

Texts::Texts() { ResetToDefaults(); }

QString Texts::Key(int key) const {
  if (key < 0 || key >= kKeyCount) return {};
  return texts_[key];
}

QString Texts::Slot(int slot) const { return Key(SlotKey(slot)); }

QString Texts::TwoLines(int first_slot, int second_slot) const {
  return Slot(first_slot) + '\n' + Slot(second_slot);
}

void Texts::Set(int key, const QString& text) {
  if (key >= 0 && key < kKeyCount) texts_[key] = text;
}

void Texts::ResetToDefaults() {
  for (QString& text : texts_) text.clear();
  for (const TextDefault& entry : DefaultTexts()) texts_[entry.key] = QString::fromUtf8(entry.text);
  qt_language_ = QString::fromLatin1(kDefaultQtLanguage);
}

}  // namespace tornavo
