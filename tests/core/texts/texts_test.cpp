#include "core/texts/texts.h"

#include <gtest/gtest.h>

#include <set>

#include "core/texts/text_names.h"
#include "support/qt_printers.h"

namespace tornavo {
namespace {

TEST(Texts, EveryKeyButTheThreeUnusedNumbersHasItsSpanishDefault) {
  std::set<int> keys;
  for (const TextDefault& entry : DefaultTexts()) {
    EXPECT_TRUE(keys.insert(entry.key).second) << "twice: " << entry.key;
    EXPECT_NE(QString::fromUtf8(entry.text), QString()) << entry.key;
  }
  EXPECT_EQ(keys.size(), 347u + (kKeyCount - kFirstAddedKey));
  for (int unused : {57, 326, 327}) EXPECT_EQ(keys.count(unused), 0u);
  // The added keys follow the catalogue's own, none of them behind a message slot.
  for (int key = kFirstAddedKey; key < kKeyCount; ++key) EXPECT_EQ(keys.count(key), 1u) << key;
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_LT(SlotKey(slot), kFirstAddedKey);

  const Texts texts;
  // Blanks at either end are part of the texts.
  EXPECT_EQ(texts.Key(text_key::kEepromEstado), " Estado ");
  EXPECT_EQ(texts.Key(text_key::kNinguna), "Ninguna");
  EXPECT_EQ(texts.Key(text_key::kImpar), "Impar");
  EXPECT_EQ(texts.Key(text_key::kControlDeFlujoNinguno), "Ninguno");
  EXPECT_EQ(texts.Key(text_key::kPuertoSerieVelocidad), "Velocidad : ");
  EXPECT_EQ(texts.Key(text_key::kN2Y3BCT15xx), "2 y 3 (BCT15xx)");
}

TEST(Texts, SlotsMapToTheirKeysAndUnfilledSlotsAreEmpty) {
  const Texts texts;
  EXPECT_EQ(texts.Slot(slot::kCodigo), ", código: ");
  EXPECT_EQ(texts.Slot(slot::kArchivoDeTextoTXTTxt),
            "Archivo de Texto (TXT)|*.txt|Todos los archivos (*.*)|*.*");  // traduc113
  EXPECT_EQ(texts.Slot(slot::kPersonalizado), "Personalizado");
  EXPECT_EQ(texts.Slot(slot::kVerificacionCorrecta), "¡ Verificación correcta !");
  for (int unfilled : {17, 18, 180, 200, 201, -1}) EXPECT_EQ(texts.Slot(unfilled), "") << unfilled;
  int filled = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) filled += !texts.Slot(slot).isEmpty();
  EXPECT_EQ(filled, 178);
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

TEST(Texts, OverridesAndResetReturnToTheDefaults) {
  Texts texts;
  texts.Set(4, "Lee");
  EXPECT_EQ(texts.Slot(slot::kTaskRead), "Lee");
  EXPECT_EQ(texts.Slot(slot::kTaskWrite), "Envía");
  texts.ResetToDefaults();
  EXPECT_EQ(texts.Slot(slot::kTaskRead), "Recibe");
}

}  // namespace
}  // namespace tornavo
