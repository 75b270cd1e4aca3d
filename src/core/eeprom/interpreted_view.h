#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/eeprom/eeprom_image.h"
#include "core/eeprom/interpreted_fields.h"
#include "core/settings/symbol_rate_table.h"
#include "core/texts/texts.h"

namespace tornavo {

// What the controls of one field show.
struct FieldState {
  int index = -1;  // selected list entry; -1 while a list shows typed text
  QString text;    // text of the value control (the entry's text for a list)
  QString raw;     // text of the raw box
  bool raw_enabled = false;
};

// The named fields of the EEPROM image as the page "Datos Interpretados" shows them, and the
// edit handlers that write them back. The image is the only store: every edit writes its
// cells at once, and a refresh rebuilds every field from them.
class InterpretedView : public QObject {
  Q_OBJECT

 public:
  InterpretedView(EepromImage& image, const Texts& texts, const SymbolRateTable& symbol_rates);

  static std::span<const FieldDescriptor> Fields() { return InterpretedFields(); }
  static int FieldCount() { return static_cast<int>(Fields().size()); }
  static const FieldDescriptor& Field(int field) { return Fields()[field]; }

  // The label of a field in the current language.
  QString Caption(int field) const;
  // The label with its group in front for the satellite fields ("Satélite 1 Banda :"),
  // without trailing blanks; names a field uniquely.
  QString FullCaption(int field) const;
  // -1 when no field goes by that full caption (or by its stable name with the group).
  int FindField(const QString& full_caption) const;
  // Entries of a field's list in the current language; "otro" last for the lists that have it.
  QStringList Entries(int field) const;
  int OtherIndex(int field) const;  // index of "otro", -1 when the list has none

  const FieldState& state(int field) const { return states_[field]; }

  // Rebuilds every field from the image, then emits Refreshed.
  void RefreshInterpretedView();

  // Edit handlers, as the controls call them. Each writes the field's cells (and its copy and
  // check pair) and nothing else, and does not refresh the other fields.
  // A list's selection changed (also picking a satellite name from its list).
  void SelectEntry(int field, int index);
  // A box's text changed: applies the box's rule and returns the text the box must show.
  QString EditText(int field, const QString& text);
  QString EditRaw(int field, const QString& text);
  // The user left the box.
  void LeaveText(int field);
  void LeaveRaw(int field);

  // One edit as the command line gives it: a list entry by its text, a raw box by its hex
  // text (choosing "otro" first), a box by its text, each followed by leaving the control.
  // False with a message for a value the field cannot take; nothing is written then.
  bool ApplyEdit(int field, const QString& value, QString* error);

 signals:
  void Refreshed();
  void FieldChanged(int field);

 private:
  QString HexOf(const FieldDescriptor& d) const;  // invalid cells as FF
  QString CellTextsOf(const FieldDescriptor& d) const;
  void WriteHex(int address, const QString& hex);
  void WriteField(const FieldDescriptor& d, const QString& hex);
  QString FilterText(const FieldDescriptor& d, const QString& text) const;
  QString FilterRaw(const FieldDescriptor& d, const QString& text) const;
  void Refresh(int field);

  EepromImage& image_;
  const Texts& texts_;
  const SymbolRateTable& symbol_rates_;
  std::vector<FieldState> states_;
};

}  // namespace tornavo
