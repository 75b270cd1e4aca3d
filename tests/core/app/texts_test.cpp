#include "core/app/texts.h"

#include <gtest/gtest.h>

#include <set>

#include "support/qt_printers.h"

namespace tornavo {
namespace {

TEST(Texts, EveryKeyButTheThreeUnusedNumbersHasItsSpanishDefault) {
  std::set<int> keys;
  for (const TextDefault& entry : DefaultTexts()) {
    EXPECT_TRUE(keys.insert(entry.key).second) << "twice: " << entry.key;
    EXPECT_NE(QString::fromUtf8(entry.text), QString()) << entry.key;
  }
  EXPECT_EQ(keys.size(), 347u);
  for (int unused : {57, 326, 327}) EXPECT_EQ(keys.count(unused), 0u);

  const Texts texts;
  // Blanks at either end are part of the texts.
  EXPECT_EQ(texts.Key(70), " Estado ");
  EXPECT_EQ(texts.Key(64), "Ninguna");
  EXPECT_EQ(texts.Key(66), "Impar");
  EXPECT_EQ(texts.Key(63), "Ninguno");
  EXPECT_EQ(texts.Key(77), "Velocidad : ");
  EXPECT_EQ(texts.Key(349), "2 y 3 (BCT15xx)");
}

TEST(Texts, SlotsMapToTheirKeysAndUnfilledSlotsAreEmpty) {
  const Texts texts;
  EXPECT_EQ(texts.Slot(0), ", código: ");
  EXPECT_EQ(texts.Slot(47),
            "Archivo de Texto (TXT)|*.txt|Todos los archivos (*.*)|*.*");  // traduc113
  EXPECT_EQ(texts.Slot(154), "Personalizado");
  EXPECT_EQ(texts.Slot(179), "¡ Verificación correcta !");
  for (int unfilled : {17, 18, 180, 200, 201, -1}) EXPECT_EQ(texts.Slot(unfilled), "") << unfilled;
  int filled = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) filled += !texts.Slot(slot).isEmpty();
  EXPECT_EQ(filled, 178);
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
