#include "core/eeprom/interpreted_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tornavo {
namespace {

class InterpretedViewTest : public ::testing::Test {
 protected:
  InterpretedViewTest() : view_(image_, texts_, rates_) { view_.RefreshInterpretedView(); }

  int F(const QString& caption) {
    const int field = view_.FindField(caption);
    EXPECT_GE(field, 0) << caption.toStdString();
    return field;
  }
  const FieldState& S(const QString& caption) { return view_.state(F(caption)); }
  // Each entry is "caption=text of its value control", the caption after the group.
  void ExpectShown(std::initializer_list<const char*> shown, const QString& group = {}) {
    for (const char* entry : shown) {
      const QStringList parts = QString::fromUtf8(entry).split('=');
      EXPECT_EQ(S(group + parts[0]).text, parts[1]) << entry;
    }
  }
  QString Bytes(int address, int length) {
    const auto first = image_.cells().begin() + address;
    return QStringList(first, first + length).join(QString());
  }
  void Place(int address, const QByteArray& bytes) {
    image_.PlaceBytes(reinterpret_cast<const uint8_t*>(bytes.data()), address,
                      static_cast<int>(bytes.size()));
  }
  // Applies "caption=value" as the command line does.
  bool TryEdit(const char* edit, QString* error) {
    const QStringList parts = QString::fromUtf8(edit).split('=');
    return view_.ApplyEdit(F(parts[0]), parts[1], error);
  }
  // Applies an edit that must be taken and gives the cells from address on.
  QString Edit(const char* edit, int address, int length) {
    QString error;
    EXPECT_TRUE(TryEdit(edit, &error)) << edit << ' ' << error.toStdString();
    return Bytes(address, length);
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
  EXPECT_FALSE(S("Provider ID :").raw_enabled);
  // 65535 is past the last channel; FFFF are no digits.
  ExpectShown({"Provider ID :=FFFF", "Provider ID para ordenar canales :=FFFF",
               "Sistema de color :=Secam", "Modo de arranque del decodificador :=Encendido",
               "Diseqc :=Off", "Versión del Software :=255", "Último canal visto :=0",
               "Código del pais :=00"});
  for (const char* record : {"Satélite 1 ", "Satélite 2 "})
    ExpectShown({"Banda :=C", "Número de antena :=2", "Polaridad :=H", "22KHz=On",
                 "Frecuencia :=11970", "FEC :=1/2", "Symbol Rate :=27500", "Frec. LNB :=65535"},
                QString::fromUtf8(record));
}

TEST_F(InterpretedViewTest, RefreshReadsEncodingsAndFallBacks) {
  Place(0x002, "ESP");
  Place(0x05B, "ENG");  // letter case counts
  Place(0x08E, QByteArray::fromHex("00800080000000000000000000A5"));
  Place(0x403, "\x81");
  Place(0x00B, QByteArray("hotbird", 8));  // ended by its 0 byte; shown in capitals
  Place(0x030, QByteArray(22, '\0'));
  // Frequency, symbol rate entry and FEC: record 1 9000 (the lowest shown), entry 3 and 7/8;
  // record 2 13001, an entry past the 16-entry table and a FEC past the list.
  Place(0x025, QByteArray::fromHex("23280304"));
  Place(0x04A, QByteArray::fromHex("32C91006"));
  Place(0x065, QByteArray::fromHex("07D2"));
  Place(0x7D0, "34");
  image_.SetCellAt(0x009, "x");  // an invalid cell shows as it stands in the raw box
  rates_[3] = 22000;
  view_.RefreshInterpretedView();

  ExpectShown({"Pais :=ESP", "Idioma del audio primario :=otro",
               "Secciones activas :=1 y 2 (BCT14xx)", "Luminosidad :=Media Baja",
               "Satélite 1 Nombre del satélite :=HOTBIRD", "Satélite 2 Nombre del satélite :=OTROS",
               "Satélite 1 Frecuencia :=9000", "Satélite 2 Frecuencia :=11970",
               "Satélite 1 FEC :=7/8", "Satélite 2 FEC :=1/2", "Satélite 1 Symbol Rate :=22000",
               "Satélite 2 Symbol Rate :=27500", "Último canal visto :=2002",
               "Código del pais :=34", "Versión del Software :=255"});
  EXPECT_EQ(S("Versión del Software :").raw, "x");
  EXPECT_EQ(S("Satélite 1 Nombre del satélite :").index, 1);
  view_.LeaveText(F("Satélite 1 Nombre del satélite :"));  // written back as shown
  EXPECT_EQ(Bytes(0x00B, 8), QString(QByteArray("HOTBIRD", 8).toHex().toUpper()));
}

TEST_F(InterpretedViewTest, ListEditsWriteValueCopyAndCheckPair) {
  EXPECT_EQ(CheckPair("000C"), "F30C");
  EXPECT_EQ(CheckPair(""), "FF00");
  view_.SelectEntry(F("Pais :"), 0);
  EXPECT_EQ(Bytes(0x002, 3) + Bytes(0x069, 2), "455350B946");
  EXPECT_FALSE(S("Pais :").raw_enabled);

  EXPECT_EQ(Edit("Secciones activas :=1 y 3 (BCT15xx)", 0x08E, 28),
            QString("00800080000000000000000001A4").repeated(2));  // the value and its copy
  view_.RefreshInterpretedView();
  EXPECT_EQ(S("Secciones activas :").text, "0 y 2 (BCT14xx)");
  // Record 2's symbol rate is one byte of its own, not record 1's.
  EXPECT_EQ(Edit("Satélite 2 Symbol Rate :=22000", 0x04C, 1), "00");
  EXPECT_EQ(image_.CellAt(0x027), "FF");

  // The raw box keeps its digits and writes on leaving.
  const int epg = F("EPG :");
  EXPECT_EQ(view_.EditRaw(epg, "3g-b"), "3B");  // only digits and A-F stay, in upper case
  EXPECT_EQ(view_.EditRaw(epg, "xyz"), "000000000000");
  view_.LeaveRaw(epg);
  EXPECT_EQ(Bytes(0x0DE, 8), QString(16, '0'));

  EXPECT_EQ(Edit("Provider ID :=1234", 0x007, 2), "1234");  // a raw value through "otro"
  EXPECT_EQ(Bytes(0x06D, 2), "D926");
}

TEST_F(InterpretedViewTest, BoxEditsApplyTheirRulesOnChangeAndOnLeaving) {
  EXPECT_EQ(Edit("Satélite 2 Frec. LNB :=9750", 0x053, 2), "2616");
  EXPECT_EQ(Edit("Satélite 2 Frec. LNB :=14000", 0x053, 2), "2968");  // 10600

  const int last = F("Último canal visto :");
  EXPECT_EQ(view_.EditText(last, "2003"), "0");
  EXPECT_EQ(view_.EditText(last, ""), "0");
  EXPECT_EQ(Edit("Último canal visto :=1500", 0x065, 2), "05DC");
  EXPECT_EQ(Bytes(0x08B, 2), CheckPair("05DC"));
  EXPECT_EQ(S("Último canal visto :").raw, "05DC");

  EXPECT_EQ(Edit("Versión del Software :=18", 0x009, 1), "12");
  EXPECT_EQ(Edit("Código del pais :=7", 0x7D0, 2), "3037");
  EXPECT_EQ(Edit("Número de serie del decodificador :=12345", 0x7D2, 12),
            "303030303030303132333435");

  EXPECT_EQ(view_.EditText(F("Satélite 1 Nombre del satélite :"), ""), "ASTRA");
  // A capital with no 8-bit code would be stored as '?': the letter stays.
  EXPECT_EQ(view_.EditText(F("Satélite 1 Nombre del satélite :"), "µa"), "µA");
  // 21 characters: no 0 byte fits.
  EXPECT_EQ(Edit("Satélite 1 Nombre del satélite :=abcdefghijklmnopqrstu", 0x00B, 22),
            QString(QByteArray("ABCDEFGHIJKLMNOPQRSTU").toHex().toUpper()) + "FF");
  view_.RefreshInterpretedView();
  EXPECT_EQ(S("Satélite 1 Nombre del satélite :").text, "ABCDEFGHIJKLMNOPQRSTU");
  EXPECT_EQ(Edit("Satélite 2 Nombre del satélite :=hb", 0x030, 22), "4842" + QString(40, '0'));
}

// Whatever a field's edit writes stays inside the field's own bytes, copy and check pair.
TEST_F(InterpretedViewTest, EveryEditWritesOnlyItsFieldsBytes) {
  for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
    const FieldDescriptor& d = InterpretedView::Field(f);
    std::set<int> allowed;
    for (int i = 0; i < d.length; ++i)
      allowed.insert({d.address + i, d.copy_address < 0 ? d.address : d.copy_address + i});
    if (d.check_address >= 0) allowed.insert({d.check_address, d.check_address + 1});
    // A value that differs from FF in every written byte.
    QString value = d.kind == FieldKind::kName ? "X" : d.min_valid > 0 ? "10000" : "1";
    if (d.kind == FieldKind::kPlainList || d.kind == FieldKind::kOtherList)
      value = view_.Entries(f).front();
    image_.ClearImage();
    QString error;
    ASSERT_TRUE(view_.ApplyEdit(f, value, &error)) << d.name << error.toStdString();
    std::set<int> written;
    for (int a = 0; a < kEepromBytes; ++a)
      if (image_.CellAt(a) != "FF") written.insert(a);
    const std::string caption = view_.FullCaption(f).toStdString();
    EXPECT_FALSE(written.empty()) << caption;
    EXPECT_TRUE(std::includes(allowed.begin(), allowed.end(), written.begin(), written.end()))
        << caption << " wrote outside its bytes";
  }
}

TEST_F(InterpretedViewTest, RefusedEditsWriteNothing) {
  const auto before = image_.cells();
  QString error;
  for (const char* edit : {"Satélite 1 Banda :=X", "Pais :=esp", "Pais :=4553501",
                           "Satélite 1 Frecuencia :=12a", "Satélite 1 Frecuencia :=123456",
                           "Satélite 2 Nombre del satélite :=ABCDEFGHIJKLMNOPQRSTUVW"}) {
    EXPECT_FALSE(TryEdit(edit, &error)) << edit;
    EXPECT_FALSE(error.isEmpty()) << edit;
  }
  EXPECT_EQ(view_.FindField("Satélite 3 Banda :"), -1);
  EXPECT_TRUE(image_.cells() == before);
}

}  // namespace
}  // namespace tornavo
