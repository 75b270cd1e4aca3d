#include "sim/default_eeprom.h"

#include <gtest/gtest.h>

#include <QByteArray>

namespace tornavo::sim {
namespace {

QByteArray Field(const EepromBytes& bytes, int address, int count) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()) + address, count);
}

int Word(const EepromBytes& bytes, int address) { return bytes[address] << 8 | bytes[address + 1]; }

TEST(DefaultEeprom, GuardedFieldsMatchTheirCheckPairs) {
  const EepromBytes bytes = BuildDefaultEeprom();
  struct Guarded {
    int address, count, pair;
  };
  for (const Guarded& g :
       {Guarded{0x002, 3, 0x069}, Guarded{0x007, 2, 0x06D}, Guarded{0x055, 2, 0x079},
        Guarded{0x057, 3, 0x07B}, Guarded{0x05B, 3, 0x07F}, Guarded{0x065, 2, 0x08B}}) {
    uint8_t x = 0;
    for (int i = 0; i < g.count; ++i) x ^= bytes[g.address + i];
    EXPECT_EQ(bytes[g.pair], 0xFF - x) << std::hex << g.address;
    EXPECT_EQ(bytes[g.pair + 1], x) << std::hex << g.address;
  }
  // The worked example: "ESP" is guarded by B9 46.
  EXPECT_EQ(bytes[0x069], 0xB9);
  EXPECT_EQ(bytes[0x06A], 0x46);
}

// Enough of it filled in that a read shows a believable receiver.
TEST(DefaultEeprom, HoldsAPlausibleReceiver) {
  const EepromBytes bytes = BuildDefaultEeprom();
  EXPECT_EQ(Field(bytes, 0x00B, 21), QByteArray("ASTRA").leftJustified(21, '\0'));
  EXPECT_EQ(Field(bytes, 0x030, 22), QByteArray("HOTBIRD").leftJustified(22, '\0'));
  EXPECT_EQ(Word(bytes, 0x025), 11778);
  EXPECT_EQ(Field(bytes, 0x002, 3), "ESP");
  EXPECT_EQ(Field(bytes, 0x05B, 3), "esl");
  EXPECT_EQ(Field(bytes, 0x057, 3), "eng");
  EXPECT_EQ(Field(bytes, 0x09C, 14), Field(bytes, 0x08E, 14));  // the active sections' copy
  const QByteArray serial = Field(bytes, 0x7D2, 12);
  for (char c : serial) EXPECT_TRUE(c >= '0' && c <= '9') << serial.toStdString();
  // Untouched bytes read as an erased chip's.
  for (int address : {0x020, 0x500, 0x7FF}) EXPECT_EQ(bytes[address], 0xFF) << address;
}

}  // namespace
}  // namespace tornavo::sim
