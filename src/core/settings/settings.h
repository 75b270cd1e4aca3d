#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "core/settings/flash_chip.h"
#include "core/settings/picture_options.h"
#include "core/settings/settings_keys.h"
#include "core/settings/symbol_rate_table.h"

namespace tornavo {

// Every setting of the settings file, the catalogue lists named by it, and the program
// state derived from them (symbol-rate table, picture options, flash chip descriptions,
// parallel-port base, remembered satellite names). The window binds its controls to it;
// the command line loads and prints it the same way.
class Settings {
 public:
  static constexpr const char* kFileName = "Tornavo.ini";
  static constexpr const char* kSection = "TForm1";

  // The symbol-rate table and picture options are the program-wide ones, kept up to date.
  Settings(SymbolRateTable& symbol_rates, PictureOptions& picture_options);

  // Reads the settings file of the folder (with its trailing separator) and the catalogue
  // files it names. Anything missing or unreadable takes its built-in default.
  void Load(const QString& ini_folder, const QStringList& port_names);
  // Writes every key, in the saving order, creating the folder when needed, and stores the
  // file once. On failure the file stays as it was and *error holds its name and the
  // system's text.
  bool Save(QString* error);
  // The "key=value" lines Save writes, in its order.
  QStringList SaveLines() const;
  // "Valores por Defecto" on the model: sets the reset values and what follows from them.
  // The window then applies the serial lists and its controls.
  void ApplyDefaults();

  int64_t Int(Key key) const { return ints_[Index(key)]; }
  bool Bool(Key key) const { return ints_[Index(key)] != 0; }
  const QString& Text(Key key) const { return texts_[Index(key)]; }
  // Integers and list indexes as given; a list index outside its list becomes -1.
  void SetInt(Key key, int64_t value);
  // Checking one choice of a group clears the others of that group.
  void SetBool(Key key, bool value);
  void SetText(Key key, const QString& text);

  const QString& ini_folder() const { return ini_folder_; }
  QString settings_path() const;
  const QStringList& port_names() const { return port_names_; }
  // A port list that arrived after the load: the stored port index is taken again in it.
  void SetPortNames(const QStringList& port_names);
  const QStringList& languages() const { return languages_; }
  // The selected entry of the language list; empty when none is selected.
  QString language() const;
  const QStringList& flash_types() const { return flash_types_; }
  // The models of the catalogue; the model list shows "Personalizado" before them, so
  // model index i > 0 is models()[i - 1].
  const QStringList& models() const { return models_; }
  const QStringList& symbol_rate_files() const { return symbol_rate_files_; }
  // Entries of the list a list-index key selects in.
  int ListSize(Key key) const;

  // The symbol-rate file of the selected "Symbol Rate :" entry into the table.
  void ReloadSymbolRates();
  // A model other than the first fills the four flash fields from its model file; then both
  // flash type files are read.
  void ApplyModel();
  bool flash_fields_locked() const { return Int(Key::kModel) >= 1; }
  // Reads the flash type file of chip 0 or 1 again.
  void ReloadFlashType(int chip);
  // The chip as its start box and type file describe it.
  FlashChipDescription flash_chip(int chip) const;
  // Capture width and height from the size list; JPEG quality and format into the options.
  void ApplyPictureOptions();
  uint16_t parallel_base() const { return parallel_base_; }
  void ApplyParallelAddress();
  int channel_table_size() const { return Int(Key::kNumCanales) == 1 ? 2000 : 1000; }
  int transponder_table_size() const { return Int(Key::kNumTransp) == 1 ? 200 : 100; }

  // The names last applied to the tables, for satellite 0 (A) and 1 (B).
  const QString& remembered_satellite(int satellite) const { return remembered_[satellite]; }
  // When the box's name differs from the remembered one, remembers it and returns true with
  // the previous name in *old_name (the tables' cells holding it are to be renamed).
  bool TakeSatelliteRename(int satellite, QString* old_name);

  // The folder a file dialog starts in. The load puts the INIs folder (without its
  // trailing separator) in place of an empty value, so this is also what is stored.
  QString DialogFolder(Key key) const;
  void SetDialogFolder(Key key, const QString& folder);

  static const QStringList& CaptureSizes();
  static const QStringList& TrapAddresses();
  static const QStringList& FlashStarts();
  static const QStringList& Positions();

 private:
  static int Index(Key key) { return static_cast<int>(key); }
  void ResetToFallbacks();
  void FillCatalogues(const class TIniFile32& file);
  void ReadKey(const class TIniFile32& file, const KeySpec& entry);
  QString ValueText(Key key) const;

  SymbolRateTable& symbol_rates_;
  PictureOptions& picture_options_;
  std::array<int64_t, kSettingCount> ints_{};
  std::array<QString, kSettingCount> texts_;
  QString ini_folder_;
  QStringList port_names_;
  QStringList languages_;
  QStringList flash_types_;
  QStringList models_;
  QStringList symbol_rate_files_;
  std::array<FlashChipDescription, 2> chips_;
  std::array<QString, 2> remembered_{QStringLiteral("A"), QStringLiteral("B")};
  uint16_t parallel_base_ = 0x378;
  int64_t stored_port_ = 0;  // "Puerto" as the file holds it
};

}  // namespace tornavo
