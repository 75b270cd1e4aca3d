#include "core/texts/texts.h"

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

QString Texts::Format(const TextRef& text) const {
  if (text.empty()) return {};
  const QString pattern = Key(text.key);
  QString result;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const qsizetype digit = i + 1;
    if (pattern[i] == u'%' && digit < pattern.size() && pattern[digit] >= u'1' &&
        pattern[digit] <= u'9') {
      const qsizetype n = pattern[digit].unicode() - u'1';
      if (n < text.args.size()) {
        result += text.args[n];
        ++i;
        continue;
      }
    }
    result += pattern[i];
  }
  return result;
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
