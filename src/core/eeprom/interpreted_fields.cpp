#include "core/eeprom/interpreted_fields.h"

#include "core/eeprom/eeprom_image.h"
#include "core/runtime/cp1252.h"
#include "core/texts/text_names.h"

namespace tornavo {

namespace {

UiText Key(int key) { return {.key = key}; }
UiText Slot(int slot) { return {.slot = slot}; }
UiText Literal(const char* text) { return {.literal = text}; }

// Hex text of an entry's own characters, for the lists of character fields.
QString HexOfChars(const char* text) {
  QString hex;
  for (char c : QByteArray(text)) hex += ByteText(static_cast<uint8_t>(c));
  return hex;
}

std::vector<ListEntry> Plain(std::initializer_list<const char*> texts) {
  std::vector<ListEntry> entries;
  for (const char* text : texts) entries.push_back({Literal(text), {}});
  return entries;
}

std::vector<ListEntry> Characters(std::initializer_list<const char*> texts) {
  std::vector<ListEntry> entries;
  for (const char* text : texts) entries.push_back({Literal(text), HexOfChars(text)});
  return entries;
}

// Entries that are their own hex value.
std::vector<ListEntry> HexItself(std::initializer_list<const char*> texts) {
  std::vector<ListEntry> entries;
  for (const char* text : texts) entries.push_back({Literal(text), QString::fromLatin1(text)});
  return entries;
}

void AddRecord(std::vector<FieldDescriptor>& fields, int record, int base) {
  const bool first = record == 1;
  FieldDescriptor name{.name = "Nombre del satélite :",
                       .record = record,
                       .caption = Key(text_key::kNombreDelSatelite),
                       .kind = FieldKind::kName,
                       .address = base,
                       .length = first ? 21 : 22};
  name.entries =
      first ? Plain({"ASTRA", "HOTBIRD"}) : Plain({"OVERIGE", "OTROS", "ALTRI", "OTHER", "INNY"});
  name.empty_text = first ? "ASTRA" : "OTROS";
  name.max_length = name.length;
  fields.push_back(name);

  auto plain = [&](const char* field, UiText caption, int offset,
                   std::initializer_list<const char*> entries, PlainShow show) {
    FieldDescriptor d{.name = field,
                      .record = record,
                      .caption = caption,
                      .kind = FieldKind::kPlainList,
                      .address = base + offset,
                      .length = 1};
    d.entries = Plain(entries);
    d.show = show;
    fields.push_back(d);
  };
  auto frequency = [&](const char* field, UiText caption, int offset, const char* fallback) {
    FieldDescriptor d{.name = field,
                      .record = record,
                      .caption = caption,
                      .kind = FieldKind::kNumber,
                      .address = base + offset,
                      .length = 2};
    d.empty_text = fallback;
    d.min_valid = 9000;
    d.max_valid = 13000;
    d.range_fallback = fallback;
    d.max_length = 5;
    return d;
  };

  plain("Banda :", Slot(slot::kBanda126), 0x16, {"Ku", "C"}, PlainShow::kZeroOrOther);
  plain("Número de antena :", Key(text_key::kNumeroDeAntena), 0x17, {"1", "2"},
        PlainShow::kZeroOrOther);
  FieldDescriptor tuned =
      frequency("Frecuencia :", Key(text_key::kTranspondedorFrecuencia), 0x1A, "11970");
  tuned.shown_min = 9000;
  tuned.shown_max = 13000;
  fields.push_back(tuned);
  plain("Symbol Rate :", Slot(slot::kSymbolRate), 0x1C, {"22000", "27500"}, PlainShow::kSymbolRate);
  plain("FEC :", Slot(slot::kFEC81), 0x1D, {"1/2", "2/3", "3/4", "5/6", "7/8", "8/9"},
        PlainShow::kIndex);
  plain("Polaridad :", Key(text_key::kTranspondedorPolaridad), 0x1E, {"V", "H"},
        PlainShow::kZeroOrOther);
  plain("22KHz :", Slot(slot::kN22KHz106), 0x1F, {"Off", "On"}, PlainShow::kZeroOrOther);
  fields.push_back(frequency("Frec. LNB :", Key(text_key::kFrecLNB), 0x23, "10600"));
}

FieldDescriptor OtherList(const char* name, int key, int address, int length, int check,
                          std::vector<ListEntry> entries, const char* empty_raw) {
  FieldDescriptor d{.name = name,
                    .record = 0,
                    .caption = Key(key),
                    .kind = FieldKind::kOtherList,
                    .address = address,
                    .length = length,
                    .check_address = check};
  d.entries = std::move(entries);
  d.raw_width = 2 * length;
  d.empty_raw = empty_raw;
  return d;
}

FieldDescriptor Decimal(const char* name, int key, FieldKind kind, int address, int length,
                        const char* empty_text, int max_value, int max_length) {
  FieldDescriptor d{.name = name,
                    .record = 0,
                    .caption = Key(key),
                    .kind = kind,
                    .address = address,
                    .length = length};
  d.empty_text = empty_text;
  d.max_value = max_value;
  d.max_length = max_length;
  d.raw_width = 2 * length;
  return d;
}

std::vector<FieldDescriptor> BuildFields() {
  std::vector<FieldDescriptor> fields;
  AddRecord(fields, 1, 0x00B);
  AddRecord(fields, 2, 0x030);

  const std::vector<ListEntry> providers =
      HexItself({"0003", "0004", "0005", "0009", "000A", "000C", "000D", "000E", "000F",
                 "0010", "0011", "0012", "0013", "0014", "0019", "001A", "001C", "001D",
                 "0025", "0026", "0029", "002A", "002E", "002F", "0037", "FFFF"});
  const std::vector<ListEntry> languages = Characters({"esl", "eng", "fra", "dut", "ita", "pol"});

  fields.push_back(OtherList("Pais :", 288, 0x002, 3, 0x069,
                             Characters({"ESP", "ITA", "NLD", "POL", "GBR", "FRA"}), "455350"));
  fields.push_back(OtherList("Provider ID :", 289, 0x007, 2, 0x06D, providers, "000C"));
  fields.push_back(
      Decimal("Versión del Software :", 290, FieldKind::kNumber, 0x009, 1, "0", 255, 3));
  fields.push_back(
      OtherList("Provider ID para ordenar canales :", 291, 0x055, 2, 0x079, providers, "000C"));
  fields.push_back(
      OtherList("Idioma del audio primario :", 292, 0x05B, 3, 0x07F, languages, "65736C"));
  fields.push_back(
      OtherList("Idioma del audio secundario :", 293, 0x057, 3, 0x07B, languages, "65736C"));
  fields.push_back(OtherList("Idioma de subtítulos :", 294, 0x05E, 3, -1, languages, "65736C"));
  FieldDescriptor last =
      Decimal("Último canal visto :", 295, FieldKind::kNumber, 0x065, 2, "0", 2002, 5);
  last.check_address = 0x08B;
  fields.push_back(last);

  // Two board families share the same three section values.
  const QString sections_a = "00800080000000000000000002A7";
  const QString sections_b = "00800080000000000000000001A4";
  const QString sections_c = "00800080000000000000000000A5";
  FieldDescriptor sections = OtherList("Secciones activas :", 296, 0x08E, 14, -1,
                                       {{Key(text_key::kN0Y1BCT14xx), sections_a},
                                        {Key(text_key::kN0Y2BCT14xx), sections_b},
                                        {Key(text_key::kN1Y2BCT14xx), sections_c},
                                        {Key(text_key::kN1Y2BCT15xx), sections_a},
                                        {Key(text_key::kN1Y3BCT15xx), sections_b},
                                        {Key(text_key::kN2Y3BCT15xx), sections_c}},
                                       "00800080000000000000000002A7");
  sections.copy_address = 0x09C;
  fields.push_back(sections);

  FieldDescriptor brightness = OtherList("Luminosidad :", 297, 0x403, 1, -1,
                                         {{Key(text_key::kBaja), "80"},
                                          {Key(text_key::kMediaBaja), "81"},
                                          {Key(text_key::kMediaAlta), "82"},
                                          {Key(text_key::kAlta), "83"}},
                                         "83");
  brightness.raw_pad = '8';
  fields.push_back(brightness);
  fields.push_back(OtherList("Sistema de color :", 298, 0x406, 1, -1,
                             {{Literal("Pal"), "00"}, {Literal("Secam"), "FF"}}, "00"));
  fields.push_back(OtherList("Modo de arranque del decodificador :", 299, 0x418, 1, -1,
                             {{Key(text_key::kStandBy), "00"}, {Key(text_key::kEncendido), "FF"}},
                             "00"));
  fields.push_back(OtherList("Diseqc :", 300, 0x733, 2, -1,
                             {{Literal("On"), "0000"}, {Literal("Off"), "FFFF"}}, "0000"));
  fields.push_back(Decimal("Código del pais :", 301, FieldKind::kDigits, 0x7D0, 2, "00", -1, 2));
  fields.push_back(Decimal("Número de serie del decodificador :", 302, FieldKind::kDigits, 0x7D2,
                           12, "000000000000", -1, 12));
  fields.push_back(OtherList("EPG :", 303, 0x0DE, 8, -1,
                             {{Key(text_key::kEspanol), "3B00060000000000"},
                              {Key(text_key::kFrances), "3F50000000000000"},
                              {Key(text_key::kHolandes), "3B00000060000000"},
                              {Key(text_key::kItaliano), "3B00000600000000"},
                              {Key(text_key::kPolaco), "3B00000000600000"},
                              {Key(text_key::kTodos), "3F00060660060000"},
                              {Key(text_key::kMinimo), "3B00000000000000"},
                              {Key(text_key::kEPGNinguno), "0000000000000000"}},
                             "000000000000"));
  return fields;
}

}  // namespace

QString UiText::Resolve(const Texts& texts) const {
  if (key >= 0) return texts.Key(key);
  if (slot >= 0) return texts.Slot(slot);
  return literal ? QString::fromUtf8(literal) : QString();
}

std::span<const FieldDescriptor> InterpretedFields() {
  static const std::vector<FieldDescriptor> fields = BuildFields();
  return fields;
}

QString CheckPair(const QString& hex) {
  uint8_t x = 0;
  for (qsizetype i = 0; i + 1 < hex.size(); i += 2)
    x ^= static_cast<uint8_t>(HexToInt(hex.mid(i, 2)) & 0xFF);
  return ByteText(static_cast<uint8_t>(0xFF - x)) + ByteText(x);
}

}  // namespace tornavo
