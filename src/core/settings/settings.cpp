#include "core/settings/settings.h"

#include <QFileInfo>
#include <algorithm>

#include "core/settings/config_rules.h"
#include "core/settings/ini_file.h"
#include "core/settings/ini_folder.h"

namespace tornavo {

namespace {

const QString kSectionName = QString::fromLatin1(Settings::kSection);

QString Name(const KeySpec& entry) { return QString::fromUtf8(entry.name); }

bool IsFlashKey(Key key) {
  return key == Key::kFlash1Start || key == Key::kFlash1Type || key == Key::kFlash2Start ||
         key == Key::kFlash2Type;
}

bool IsWindowKey(Key key) { return static_cast<int>(key) <= static_cast<int>(Key::kForm3Height); }

// What the program holds of a stored 32-bit integer.
int64_t Widen(const KeySpec& entry, int32_t stored) {
  switch (entry.width) {
    case KeyWidth::kUnsigned8:
      return static_cast<uint8_t>(stored);
    case KeyWidth::kInt64:
    case KeyWidth::kInt32:
      return stored;
  }
  return stored;
}

// Catalogue keys are numbered in upper-case hexadecimal without leading zeros.
QStringList ReadCatalogue(const TIniFile32& file, const QString& folder, const char* prefix,
                          int first, int count) {
  QStringList entries;
  for (int i = first; i < first + count; ++i) {
    const QString key = QString::fromLatin1(prefix) + QString::number(i, 16).toUpper();
    const QString entry = file.ReadString(kSectionName, key, QString());
    if (!entry.isEmpty() && QFileInfo(folder + entry + QStringLiteral(".ini")).isFile())
      entries << entry;
  }
  return entries;
}

}  // namespace

Settings::Settings(SymbolRateTable& symbol_rates, PictureOptions& picture_options)
    : symbol_rates_(symbol_rates), picture_options_(picture_options) {
  ResetToFallbacks();
}

const QStringList& Settings::CaptureSizes() {
  static const QStringList sizes = {"352 x 576", "528 x 576", "544 x 576", "704 x 576",
                                    "720 x 576"};
  return sizes;
}

const QStringList& Settings::TrapAddresses() {
  static const QStringList addresses = {"40010000", "C0010000", "40030000", "C0302900", "C0310000"};
  return addresses;
}

const QStringList& Settings::FlashStarts() {
  static const QStringList starts = {"60000000", "7FE00000"};
  return starts;
}

const QStringList& Settings::Positions() {
  static const QStringList positions = [] {
    QStringList list;
    for (int i = 0; i < 32; ++i)
      list << QStringLiteral("%1").arg(i * 0x10000, 5, 16, QLatin1Char('0')).toUpper();
    return list;
  }();
  return positions;
}

void Settings::ResetToFallbacks() {
  for (const KeySpec& entry : KeyTable()) {
    ints_[Index(entry.key)] = entry.fallback;
    texts_[Index(entry.key)] = QString::fromUtf8(entry.fallback_text);
  }
}

QString Settings::settings_path() const { return ini_folder_ + QString::fromLatin1(kFileName); }

int Settings::ListSize(Key key) const {
  const KeySpec& entry = Spec(key);
  switch (entry.list) {
    case DynamicList::kPorts:
      return static_cast<int>(port_names_.size());
    case DynamicList::kLanguages:
      return static_cast<int>(languages_.size());
    case DynamicList::kSymbolRates:
      return static_cast<int>(symbol_rate_files_.size());
    case DynamicList::kModels:
      return static_cast<int>(models_.size()) + 1;
    case DynamicList::kFlashTypes:
      return static_cast<int>(flash_types_.size());
    case DynamicList::kNone:
      break;
  }
  return entry.type == KeyType::kListIndex ? entry.maximum + 1 : 0;
}

void Settings::SetInt(Key key, int64_t value) {
  if (Spec(key).type == KeyType::kListIndex && (value < 0 || value >= ListSize(key))) value = -1;
  ints_[Index(key)] = value;
}

void Settings::SetBool(Key key, bool value) {
  if (value)
    for (Key member : ChoiceGroupOf(key)) ints_[Index(member)] = 0;
  ints_[Index(key)] = value ? 1 : 0;
}

void Settings::SetText(Key key, const QString& text) { texts_[Index(key)] = text; }

QString Settings::language() const {
  const int64_t index = Int(Key::kIdioma);
  return index >= 0 && index < languages_.size() ? languages_[index] : QString();
}

void Settings::SetPortNames(const QStringList& port_names) {
  port_names_ = port_names;
  SetInt(Key::kPuerto, stored_port_);
}

void Settings::FillCatalogues(const TIniFile32& file) {
  languages_ = ReadCatalogue(file, ini_folder_, "Idioma", 0, 21);
  flash_types_ = ReadCatalogue(file, ini_folder_, "FlashIC", 0, 21);
  models_ = ReadCatalogue(file, ini_folder_, "Model", 1, 30);
  symbol_rate_files_ = ReadCatalogue(file, ini_folder_, "SR", 0, 10);
}

void Settings::ReadKey(const TIniFile32& file, const KeySpec& entry) {
  const QString name = Name(entry);
  switch (entry.type) {
    case KeyType::kText:
      SetText(entry.key,
              file.ReadString(kSectionName, name, QString::fromUtf8(entry.fallback_text)));
      return;
    case KeyType::kBoolean:
      SetBool(entry.key, file.ReadBool(kSectionName, name, entry.fallback != 0));
      return;
    case KeyType::kListIndex: {
      const int32_t index = file.ReadInteger(kSectionName, name, entry.fallback);
      if (entry.key == Key::kPuerto) stored_port_ = index;
      SetInt(entry.key, index);
      return;
    }
    case KeyType::kInteger:
      break;
  }
  int64_t value = Widen(entry, file.ReadInteger(kSectionName, name, entry.fallback));
  if (entry.key == Key::kPestanaActiva) {
    // Outside the eight pages no page is selected.
    if (value < entry.minimum || value > entry.maximum) value = -1;
  } else {
    // Window and dialog sizes are raised to their minimum; sliders take their range.
    value = std::clamp<int64_t>(value, entry.minimum, entry.maximum);
  }
  ints_[Index(entry.key)] = value;
}

void Settings::Load(const QString& ini_folder, const QStringList& port_names) {
  ini_folder_ = ini_folder;
  port_names_ = port_names;
  ResetToFallbacks();
  const TIniFile32 file(settings_path());
  for (const KeySpec& entry : KeyTable())
    if (IsWindowKey(entry.key)) ReadKey(file, entry);
  // The lists are filled before their indexes are read.
  FillCatalogues(file);
  for (const KeySpec& entry : KeyTable()) {
    if (IsWindowKey(entry.key)) continue;
    // The four flash fields are the user's own only while no model file fills them.
    if (IsFlashKey(entry.key) && flash_fields_locked()) continue;
    ReadKey(file, entry);
  }
  for (Key key : {Key::kLnbLow, Key::kLnbHigh})
    SetText(key, FilterLnbText(Text(key), QString::fromUtf8(Spec(key).fallback_text)));
  QString a = Text(Key::kSatA);
  QString b = Text(Key::kSatB);
  FixSatelliteNames(&a, &b);
  SetText(Key::kSatA, a);
  SetText(Key::kSatB, b);
  remembered_ = {a, b};
  for (Key key : {Key::kOpenDlgInitialDir, Key::kSaveDlgInitialDir})
    if (Text(key).isEmpty()) SetText(key, WithoutTrailingSeparator(ini_folder_));

  ApplyModel();
  ReloadSymbolRates();
  ApplyPictureOptions();
  ApplyParallelAddress();
}

void Settings::ApplyModel() {
  if (flash_fields_locked()) {
    const QString model = models_[Int(Key::kModel) - 1];
    const TIniFile32 file(ini_folder_ + model + QStringLiteral(".ini"));
    SetText(Key::kFlash1Start,
            file.ReadString(model, QStringLiteral("Flash1Start"), QStringLiteral("7FE00000")));
    SetInt(Key::kFlash1Type, file.ReadInteger(model, QStringLiteral("Flash1Type"), 0));
    SetText(Key::kFlash2Start,
            file.ReadString(model, QStringLiteral("Flash2Start"), QStringLiteral("60000000")));
    SetInt(Key::kFlash2Type, file.ReadInteger(model, QStringLiteral("Flash2Type"), 0));
  }
  ReloadFlashType(0);
  ReloadFlashType(1);
}

void Settings::ReloadFlashType(int chip) {
  const int64_t index = Int(chip == 0 ? Key::kFlash1Type : Key::kFlash2Type);
  const QString type = index >= 0 && index < flash_types_.size() ? flash_types_[index] : QString();
  LoadFlashType(ini_folder_, type, &chips_[chip]);
}

FlashChipDescription Settings::flash_chip(int chip) const {
  FlashChipDescription description = chips_[chip];
  uint32_t start = 0;
  description.start =
      ParseHexAddress(Text(chip == 0 ? Key::kFlash1Start : Key::kFlash2Start), &start) ? start : 0;
  return description;
}

void Settings::ReloadSymbolRates() {
  symbol_rates_.fill(0);
  const int64_t index = Int(Key::kSr);
  if (index < 0 || index >= symbol_rate_files_.size()) return;
  const QString name = symbol_rate_files_[index];
  const TIniFile32 file(ini_folder_ + name + QStringLiteral(".ini"));
  for (int i = 0; i < 16; ++i)
    symbol_rates_[i] = file.ReadInteger(
        name,
        QStringLiteral("value") + QStringLiteral("%1").arg(i, 2, 16, QLatin1Char('0')).toUpper(),
        0);
}

void Settings::ApplyPictureOptions() {
  // Without a selected size the last capture size stays.
  const int64_t size = Int(Key::kTamano);
  if (size >= 0 && size < CaptureSizes().size()) {
    const QString& entry = CaptureSizes()[size];
    picture_options_.capture_width = entry.left(3).toInt();
    picture_options_.capture_height = entry.mid(6, 3).toInt();
  }
  picture_options_.jpeg_quality = static_cast<int>(Int(Key::kCalidadJpeg));
  if (Bool(Key::kFormato16x9))
    picture_options_.format = PictureFormat::kWide16x9;
  else if (Bool(Key::kFormatoOriginal))
    picture_options_.format = PictureFormat::kOriginal;
  else
    picture_options_.format = PictureFormat::kStandard4x3;
}

void Settings::ApplyParallelAddress() {
  static constexpr uint16_t kBases[] = {0x278, 0x378, 0x3BC, 0xA068};
  const int64_t index = Int(Key::kParalelo);
  if (index >= 0 && index < 4) parallel_base_ = kBases[index];
}

bool Settings::TakeSatelliteRename(int satellite, QString* old_name) {
  const QString& name = Text(satellite == 0 ? Key::kSatA : Key::kSatB);
  if (name == remembered_[satellite]) return false;
  *old_name = remembered_[satellite];
  remembered_[satellite] = name;
  return true;
}

QString Settings::DialogFolder(Key key) const {
  return Text(key).isEmpty() ? WithoutTrailingSeparator(ini_folder_) : Text(key);
}

void Settings::SetDialogFolder(Key key, const QString& folder) {
  SetText(key, folder.isEmpty() ? WithoutTrailingSeparator(ini_folder_) : folder);
}

void Settings::ApplyDefaults() {
  for (const KeySpec& entry : KeyTable()) {
    if (!entry.resets) continue;
    // A model file owns the flash fields while it is selected.
    if (IsFlashKey(entry.key) && flash_fields_locked()) continue;
    switch (entry.type) {
      case KeyType::kText:
        SetText(entry.key, QString::fromUtf8(entry.reset_text));
        break;
      case KeyType::kBoolean:
        SetBool(entry.key, entry.reset != 0);
        break;
      case KeyType::kListIndex:
      case KeyType::kInteger:
        SetInt(entry.key, entry.reset);
        break;
    }
  }
  ApplyPictureOptions();
  ApplyParallelAddress();
  ReloadSymbolRates();
  if (!flash_fields_locked()) ReloadFlashType(0);
}

QString Settings::ValueText(Key key) const {
  const KeySpec& entry = Spec(key);
  switch (entry.type) {
    case KeyType::kText:
      return Text(key);
    case KeyType::kBoolean:
      return Bool(key) ? QStringLiteral("1") : QStringLiteral("0");
    case KeyType::kListIndex:
    case KeyType::kInteger:
      break;
  }
  // Wide values go back as their low 32 bits.
  return QString::number(static_cast<int32_t>(Int(key)));
}

QStringList Settings::SaveLines() const {
  QStringList lines;
  for (Key key : SaveOrder()) {
    if (IsFlashKey(key) && flash_fields_locked()) continue;
    lines << Name(Spec(key)) + QLatin1Char('=') + ValueText(key);
  }
  return lines;
}

bool Settings::Save(QString* error) {
  if (!EnsureFolder(WithoutTrailingSeparator(ini_folder_), error)) return false;
  // Every key is written into the lines by the file's own rules, then the file is stored
  // once: a crash leaves either the old settings or the new ones, never a mixture.
  TIniFile32 file(settings_path());
  for (Key key : SaveOrder()) {
    if (IsFlashKey(key) && flash_fields_locked()) continue;
    file.SetString(kSectionName, Name(Spec(key)), ValueText(key));
  }
  return file.Store(error);
}

}  // namespace tornavo
