#pragma once

#include <QString>
#include <span>
#include <vector>

#include "core/texts/texts.h"

namespace tornavo {

// How a field is shown and edited.
enum class FieldKind {
  kName,       // editable list of satellite names; character codes padded with 0 bytes
  kPlainList,  // list whose 0-based selection is the field's byte
  kNumber,     // decimal box over a big-endian number
  kDigits,     // decimal box over character codes
  kOtherList,  // list with "otro" and a raw box of the field's hex text
};

// How a plain list shows its byte.
enum class PlainShow {
  kZeroOrOther,  // 0 the first entry, anything else the second
  kIndex,        // the byte as the index; past the end the first entry
  kSymbolRate,   // the symbol-rate table entry the byte indexes: 22000 or else 27500
};

// A caption or list entry: a catalogue key, a message slot, or a text the catalogue lacks.
struct UiText {
  int key = -1;
  int slot = -1;
  const char* literal = nullptr;
  QString Resolve(const Texts& texts) const;
};

struct ListEntry {
  UiText text;
  QString value;  // the hex text the entry stands for
};

// One named field of the image: where it lives, how it is encoded and which controls show it.
struct FieldDescriptor {
  const char* name = "";  // stable caption of the field, the same in every language
  int record = 0;         // 0 for the general fields, 1 or 2 for a satellite record
  UiText caption{};
  FieldKind kind = FieldKind::kPlainList;
  int address = 0;
  int length = 1;                    // bytes
  int copy_address = -1;             // a second place the same bytes are written to
  int check_address = -1;            // where its check pair lives
  std::vector<ListEntry> entries{};  // "otro" is not listed; kOtherList adds it at the end
  PlainShow show = PlainShow::kZeroOrOther;
  // Raw box: its width in hex digits (0: none), the text it takes when emptied and the digit
  // it is padded with on leaving. Only the raw boxes of kOtherList fields are edited; the
  // others display the bytes (a number's, as its cell texts stand).
  int raw_width = 0;
  const char* empty_raw = "";
  char raw_pad = '0';
  // Decimal boxes: text an empty box takes, the largest number it holds (-1: no limit), the
  // range accepted on leaving (out of range gives range_fallback) and the widest text.
  const char* empty_text = "";
  int max_value = -1;
  int min_valid = -1;
  int max_valid = -1;
  const char* range_fallback = "";
  int max_length = 0;
  // Shown range of a number; outside it the box shows range_fallback (-1: no test).
  int shown_min = -1;
  int shown_max = -1;
};

// Every field in the order of the page: record 1, record 2, then the general fields.
std::span<const FieldDescriptor> InterpretedFields();

// Two check bytes of a field's hex text: 0xFF - x and x, x being the XOR of its bytes.
QString CheckPair(const QString& hex);

}  // namespace tornavo
