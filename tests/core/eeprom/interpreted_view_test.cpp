#include "core/eeprom/interpreted_view.h"

#include <gtest/gtest.h>

#include <set>

namespace tornavo {
namespace {

class InterpretedViewTest : public ::testing::Test {
 protected:
  InterpretedViewTest() : view_(image_, texts_, rates_) { view_.RefreshInterpretedView(); }

  int F(const char* caption) {
    const int field = view_.FindField(QString::fromUtf8(caption));
    EXPECT_GE(field, 0) << caption;
    return field;
  }
  const FieldState& S(const char* caption) { return view_.state(F(caption)); }
  QString Bytes(int address, int length) {
    QString text;
    for (int i = 0; i < length; ++i) text += image_.CellAt(address + i);
    return text;
  }
  void Place(int address, const QByteArray& bytes) {
    image_.PlaceBytes(reinterpret_cast<const uint8_t*>(bytes.data()), address,
                      static_cast<int>(bytes.size()));
  }
  void Apply(const char* caption, const char* value) {
    QString error;
    ASSERT_TRUE(view_.ApplyEdit(F(caption), QString::fromUtf8(value), &error))
        << error.toStdString();
  }

  Texts texts_;
  SymbolRateTable rates_{};
  EepromImage image_;
  InterpretedView view_;
};

TEST_F(InterpretedViewTest, AllFfImageShowsTheDefaultsOfAnErasedEeprom) {
  for (const char* other :
       {"Pais :", "Idioma del audio primario :", "Idioma del audio secundario :",
        "Idioma de subtítulos :", "Secciones activas :", "Luminosidad :", "EPG :"}) {
    EXPECT_EQ(S(other).text, "otro") << other;
    EXPECT_TRUE(S(other).raw_enabled) << other;
  }
  EXPECT_EQ(S("Pais :").raw, "FFFFFF");
  EXPECT_EQ(S("Provider ID :").text, "FFFF");
  EXPECT_FALSE(S("Provider ID :").raw_enabled);
  EXPECT_EQ(S("Provider ID para ordenar canales :").text, "FFFF");
  EXPECT_EQ(S("Sistema de color :").text, "Secam");
  EXPECT_EQ(S("Modo de arranque del decodificador :").text, "Encendido");
  EXPECT_EQ(S("Diseqc :").text, "Off");
  EXPECT_EQ(S("Versión del Software :").text, "255");
  EXPECT_EQ(S("Versión del Software :").raw, "FF");
  EXPECT_EQ(S("Último canal visto :").text, "0");  // 65535 is past the last channel
  EXPECT_EQ(S("Código del pais :").text, "00");
  EXPECT_EQ(S("Código del pais :").raw, "FFFF");
  for (const char* record : {"Satélite 1 ", "Satélite 2 "}) {
    auto state = [&](const char* field) {
      return view_.state(F((std::string(record) + field).c_str()));
    };
    EXPECT_EQ(state("Banda :").text, "C");
    EXPECT_EQ(state("Número de antena :").text, "2");
    EXPECT_EQ(state("Polaridad :").text, "H");
    EXPECT_EQ(state("22KHz").text, "On");
    EXPECT_EQ(state("Frecuencia :").text, "11970");
    EXPECT_EQ(state("FEC :").text, "1/2");
    EXPECT_EQ(state("Symbol Rate :").text, "27500");
    EXPECT_EQ(state("Frec. LNB :").text, "65535");
  }
}

TEST_F(InterpretedViewTest, RefreshReadsEncodingsAndFallBacks) {
  Place(0x002, "ESP");
  Place(0x05B, "ENG");  // letter case counts
  Place(0x08E, QByteArray::fromHex("00800080000000000000000000A5"));
  Place(0x403, "\x81");
  Place(0x00B, QByteArray("hotbird", 8));  // ended by its 0 byte
  Place(0x030, QByteArray(22, '\0'));
  Place(0x025, QByteArray::fromHex("2328"));  // 9000, the lowest shown
  Place(0x04A, QByteArray::fromHex("32C9"));  // 13001
  Place(0x028, "\x04");
  Place(0x04D, "\x06");
  Place(0x027, "\x03");
  Place(0x04C, "\x10");  // past the 16-entry table
  Place(0x065, QByteArray::fromHex("07D2"));
  Place(0x7D0, "34");
  image_.SetCellAt(0x009, "x");  // an invalid cell shows as it stands in the raw box
  rates_[3] = 22000;
  view_.RefreshInterpretedView();

  EXPECT_EQ(S("Pais :").text, "ESP");
  EXPECT_FALSE(S("Pais :").raw_enabled);
  EXPECT_EQ(S("Pais :").raw, "455350");
  EXPECT_EQ(S("Idioma del audio primario :").text, "otro");
  EXPECT_EQ(S("Secciones activas :").text, "1 y 2 (BCT14xx)");
  EXPECT_EQ(S("Luminosidad :").text, "Media Baja");
  EXPECT_EQ(S("Satélite 1 Nombre del satélite :").text, "hotbird");
  EXPECT_EQ(S("Satélite 2 Nombre del satélite :").text, "OTROS");
  EXPECT_EQ(S("Satélite 1 Frecuencia :").text, "9000");
  EXPECT_EQ(S("Satélite 2 Frecuencia :").text, "11970");
  EXPECT_EQ(S("Satélite 1 FEC :").text, "7/8");
  EXPECT_EQ(S("Satélite 2 FEC :").text, "1/2");
  EXPECT_EQ(S("Satélite 1 Symbol Rate :").text, "22000");
  EXPECT_EQ(S("Satélite 2 Symbol Rate :").text, "27500");
  EXPECT_EQ(S("Último canal visto :").text, "2002");
  EXPECT_EQ(S("Código del pais :").text, "34");
  EXPECT_EQ(S("Versión del Software :").raw, "x");
  EXPECT_EQ(S("Versión del Software :").text, "255");
}

TEST_F(InterpretedViewTest, CheckPairIsTheComplementAndTheXor) {
  EXPECT_EQ(CheckPair("455350"), "B946");
  EXPECT_EQ(CheckPair("000C"), "F30C");
  EXPECT_EQ(CheckPair(""), "FF00");
}

TEST_F(InterpretedViewTest, ListEditsWriteValueCopyAndCheckPair) {
  view_.SelectEntry(F("Pais :"), 0);
  EXPECT_EQ(Bytes(0x002, 3), "455350");
  EXPECT_EQ(Bytes(0x069, 2), "B946");
  EXPECT_FALSE(S("Pais :").raw_enabled);

  Apply("Secciones activas :", "1 y 3 (BCT15xx)");
  EXPECT_EQ(Bytes(0x08E, 14), "00800080000000000000000001A4");
  EXPECT_EQ(Bytes(0x09C, 14), "00800080000000000000000001A4");
  view_.RefreshInterpretedView();
  EXPECT_EQ(S("Secciones activas :").text, "0 y 2 (BCT14xx)");

  // "otro" keeps the raw text, and the raw box writes on leaving, padded with its digit.
  const int brightness = F("Luminosidad :");
  view_.SelectEntry(brightness, view_.OtherIndex(brightness));
  EXPECT_TRUE(S("Luminosidad :").raw_enabled);
  EXPECT_EQ(view_.EditRaw(brightness, "5"), "5");
  view_.LeaveRaw(brightness);
  EXPECT_EQ(image_.CellAt(0x403), "85");

  const int epg = F("EPG :");
  EXPECT_EQ(view_.EditRaw(epg, "3g-b"), "3");  // only digits and upper-case A-F stay
  EXPECT_EQ(view_.EditRaw(epg, "xyz"), "000000000000");
  view_.LeaveRaw(epg);
  EXPECT_EQ(Bytes(0x0DE, 8), "0000000000000000");

  Apply("Provider ID :", "1234");  // a raw value through "otro"
  EXPECT_EQ(Bytes(0x007, 2), "1234");
  EXPECT_EQ(Bytes(0x06D, 2), "D926");
}

TEST_F(InterpretedViewTest, BoxEditsApplyTheirRulesOnChangeAndOnLeaving) {
  const int frequency = F("Satélite 1 Frecuencia :");
  EXPECT_EQ(view_.EditText(frequency, "8a5b00"), "8500");
  view_.LeaveText(frequency);
  EXPECT_EQ(Bytes(0x025, 2), "2EC2");
  EXPECT_EQ(S("Satélite 1 Frecuencia :").text, "11970");
  Apply("Satélite 2 Frec. LNB :", "9750");
  EXPECT_EQ(Bytes(0x053, 2), "2616");
  Apply("Satélite 2 Frec. LNB :", "14000");
  EXPECT_EQ(Bytes(0x053, 2), "2968");  // 10600

  const int last = F("Último canal visto :");
  EXPECT_EQ(view_.EditText(last, "2003"), "0");
  EXPECT_EQ(view_.EditText(last, ""), "0");
  view_.EditText(last, "1500");
  view_.LeaveText(last);
  EXPECT_EQ(Bytes(0x065, 2), "05DC");
  EXPECT_EQ(Bytes(0x08B, 2), CheckPair("05DC"));
  EXPECT_EQ(S("Último canal visto :").raw, "05DC");

  Apply("Versión del Software :", "18");
  EXPECT_EQ(image_.CellAt(0x009), "12");
  Apply("Código del pais :", "7");
  EXPECT_EQ(Bytes(0x7D0, 2), "3037");
  Apply("Número de serie del decodificador :", "12345");
  EXPECT_EQ(Bytes(0x7D2, 12), "303030303030303132333435");

  const int name = F("Satélite 1 Nombre del satélite :");
  EXPECT_EQ(view_.EditText(name, ""), "ASTRA");
  view_.EditText(name, "abcdefghijklmnopqrstu");  // 21 characters: no 0 byte fits
  view_.LeaveText(name);
  EXPECT_EQ(image_.CellAt(0x00B), "41");
  EXPECT_EQ(image_.CellAt(0x01F), "55");
  EXPECT_EQ(image_.CellAt(0x020), "FF");
  view_.RefreshInterpretedView();
  EXPECT_EQ(S("Satélite 1 Nombre del satélite :").text, "ABCDEFGHIJKLMNOPQRSTU");
  Apply("Satélite 2 Nombre del satélite :", "hb");
  EXPECT_EQ(Bytes(0x030, 3), "484200");
  EXPECT_EQ(image_.CellAt(0x045), "00");
}

// Whatever a field's edit writes stays inside the field's own bytes, copy and check pair.
TEST_F(InterpretedViewTest, EveryEditWritesOnlyItsFieldsBytes) {
  for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
    const FieldDescriptor& d = InterpretedView::Field(f);
    std::set<int> allowed;
    for (int i = 0; i < d.length; ++i) {
      allowed.insert(d.address + i);
      if (d.copy_address >= 0) allowed.insert(d.copy_address + i);
    }
    if (d.check_address >= 0) allowed.insert({d.check_address, d.check_address + 1});
    // A value that differs from FF in every written byte.
    QString value;
    switch (d.kind) {
      case FieldKind::kPlainList:
      case FieldKind::kOtherList:
        value = view_.Entries(f).front();
        break;
      case FieldKind::kName:
        value = "X";
        break;
      default:
        value = d.min_valid > 0 ? "10000" : "1";
    }
    image_.ClearImage();
    QString error;
    ASSERT_TRUE(view_.ApplyEdit(f, value, &error)) << d.name << error.toStdString();
    int changed = 0;
    for (int a = 0; a < kEepromBytes; ++a) {
      if (image_.CellAt(a) == "FF") continue;
      ++changed;
      EXPECT_TRUE(allowed.count(a)) << view_.FullCaption(f).toStdString() << " wrote " << a;
    }
    EXPECT_GT(changed, 0) << view_.FullCaption(f).toStdString();
  }
  // Record 2's symbol rate is one byte of its own.
  image_.ClearImage();
  Apply("Satélite 2 Symbol Rate :", "22000");
  EXPECT_EQ(image_.CellAt(0x04C), "00");
  EXPECT_EQ(image_.CellAt(0x027), "FF");
}

TEST_F(InterpretedViewTest, RefusedEditsWriteNothing) {
  const auto before = image_.cells();
  QString error;
  for (auto [caption, value] : std::initializer_list<std::pair<const char*, const char*>>{
           {"Satélite 1 Banda :", "X"},
           {"Pais :", "esp"},
           {"Pais :", "4553501"},
           {"Satélite 1 Frecuencia :", "12a"},
           {"Satélite 1 Frecuencia :", "123456"},
           {"Satélite 2 Nombre del satélite :", "ABCDEFGHIJKLMNOPQRSTUVW"},
       }) {
    EXPECT_FALSE(view_.ApplyEdit(F(caption), QString::fromUtf8(value), &error)) << caption;
    EXPECT_FALSE(error.isEmpty());
  }
  EXPECT_EQ(view_.FindField("Satélite 3 Banda :"), -1);
  EXPECT_TRUE(image_.cells() == before);
}

}  // namespace
}  // namespace tornavo
