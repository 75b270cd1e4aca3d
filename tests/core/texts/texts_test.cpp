#include "core/texts/texts.h"

#include <gtest/gtest.h>

#include <set>

#include "core/texts/text_names.h"
#include "support/qt_printers.h"

namespace tornavo {
namespace {

// Each key once with a text, none for the three unused numbers; message slots name only the
// catalogue's own keys, and slots without a key read empty.
TEST(Texts, EveryKeyOnceAndSlotsOnlyOnTheCataloguesKeys) {
  std::set<int> keys;
  for (const TextDefault& entry : DefaultTexts()) {
    EXPECT_TRUE(keys.insert(entry.key).second) << "twice: " << entry.key;
    EXPECT_NE(QString::fromUtf8(entry.text), QString()) << entry.key;
  }
  for (int key = 0; key < kKeyCount; ++key)
    EXPECT_EQ(keys.count(key), key == 57 || key == 326 || key == 327 ? 0u : 1u) << key;
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_LT(SlotKey(slot), kFirstAddedKey);
  const Texts texts;
  EXPECT_EQ(texts.Key(text_key::kEepromEstado), " Estado ");  // blanks are part of a text
  for (int unfilled : {17, 18, 180, 200, 201, -1}) EXPECT_EQ(texts.Slot(unfilled), "") << unfilled;
}

TEST(Texts, FormatFillsEachNumberOnceWhateverTheValuesHold) {
  Texts texts;
  EXPECT_EQ(texts.Format(text_key::kDestino, {"Eeprom", "000", "7FF", "/dev/ttyUSB0"}),
            "Destino : Eeprom, de 000 a 7FF, por el puerto /dev/ttyUSB0.");
  // A value holding "%2" is not filled in again; a number without a value stays.
  texts.Set(text_key::kDestino, "%1|%2|%3|%4|%5|100%");
  EXPECT_EQ(texts.Format(text_key::kDestino, {"a%2", "b", "c"}), "a%2|b|c|%4|%5|100%");
  EXPECT_EQ(texts.Format(TextRef{}), "");
}

}  // namespace
}  // namespace tornavo
