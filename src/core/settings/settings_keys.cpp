#include "core/settings/settings_keys.h"

#include <climits>

#include "core/texts/text_names.h"

namespace tornavo {

namespace {

constexpr int32_t kNoMaximum = INT32_MAX;

constexpr KeySpec Int(Key key, const char* name, int32_t fallback, int32_t minimum = INT32_MIN,
                      int32_t maximum = kNoMaximum) {
  return {key, name, KeyType::kInteger, KeyWidth::kInt32, fallback,          "", false,
          0,   "",   minimum,           maximum,          DynamicList::kNone};
}
constexpr KeySpec Slider(Key key, const char* name, KeyWidth width, int32_t minimum,
                         int32_t maximum, int32_t fallback, int32_t reset) {
  return {key,   name, KeyType::kInteger, width,   fallback,          "", true,
          reset, "",   minimum,           maximum, DynamicList::kNone};
}
constexpr KeySpec List(Key key, const char* name, int32_t entries, int32_t fallback) {
  return {key, name, KeyType::kListIndex, KeyWidth::kInt32,  fallback, "", false, 0,
          "",  0,    entries - 1,         DynamicList::kNone};
}
constexpr KeySpec ListReset(Key key, const char* name, int32_t entries, int32_t fallback,
                            int32_t reset) {
  return {key, name, KeyType::kListIndex, KeyWidth::kInt32,  fallback, "", true, reset,
          "",  0,    entries - 1,         DynamicList::kNone};
}
constexpr KeySpec Catalogue(Key key, const char* name, DynamicList list, int32_t fallback,
                            bool resets = false, int32_t reset = 0) {
  return {key, name, KeyType::kListIndex, KeyWidth::kInt32, fallback, "", resets, reset, "", 0,
          0,   list};
}
constexpr KeySpec Text(Key key, const char* name, const char* fallback,
                       const char* reset = nullptr) {
  return {key,
          name,
          KeyType::kText,
          KeyWidth::kInt32,
          0,
          fallback,
          reset != nullptr,
          0,
          reset ? reset : "",
          0,
          0,
          DynamicList::kNone};
}
constexpr KeySpec Bool(Key key, const char* name, bool fallback, bool resets = false,
                       bool reset = false) {
  return {key,
          name,
          KeyType::kBoolean,
          KeyWidth::kInt32,
          fallback ? 1 : 0,
          "",
          resets,
          reset ? 1 : 0,
          "",
          0,
          1,
          DynamicList::kNone};
}

constexpr KeySpec kTable[] = {
    Int(Key::kTop, "Top", 0),
    Int(Key::kLeft, "Left", 0),
    Int(Key::kWindowHeight, "WindowHeight", 657, 657),
    Int(Key::kWindowWidth, "WindowWidth", 736, 736),
    Int(Key::kForm2Width, "Form2Width", 430, 430),
    Int(Key::kForm2Height, "Form2Height", 367, 367),
    Int(Key::kForm3Width, "Form3Width", 430, 430),
    Int(Key::kForm3Height, "Form3Height", 358, 358),
    Catalogue(Key::kIdioma, "Idioma", DynamicList::kLanguages, 0),
    Text(Key::kDirecJtag, "DirecJtag", "7FE00000"),
    Catalogue(Key::kPuerto, "Puerto", DynamicList::kPorts, 0, true, 0),
    ListReset(Key::kVelocidad, "Velocidad", 13, 6, 6),
    ListReset(Key::kBitsDatos, "BitsDatos", 3, 1, 1),
    ListReset(Key::kControlFlujo, "ControlFlujo", 3, 1, 1),
    List(Key::kFirmDireccion, "FirmDireccion", 4, 0),
    Text(Key::kLongJtag, "LongJtag", "50000"),
    ListReset(Key::kParidad, "Paridad", 5, 2, 2),
    ListReset(Key::kBitsParada, "BitsParada", 2, 0, 0),
    ListReset(Key::kParalelo, "Paralelo", 4, 1, 1),
    ListReset(Key::kTcs, "TCS", 32, 0, 0),
    ListReset(Key::kTpt, "TPT", 32, 1, 1),
    Catalogue(Key::kSr, "SR", DynamicList::kSymbolRates, 2, true, 2),
    ListReset(Key::kNumCanales, "NumCanales", 2, 0, 1),
    ListReset(Key::kNumTransp, "NumTransp", 2, 0, 1),
    Text(Key::kTrapAdr, "TrapAdr", "40010000", "40010000"),
    Catalogue(Key::kModel, "Model", DynamicList::kModels, 0),
    Text(Key::kFlash1Start, "Flash1Start", "7FE00000", "60000000"),
    Catalogue(Key::kFlash1Type, "Flash1Type", DynamicList::kFlashTypes, 0, true, 0),
    Text(Key::kFlash2Start, "Flash2Start", "60000000"),
    Catalogue(Key::kFlash2Type, "Flash2Type", DynamicList::kFlashTypes, 0),
    Bool(Key::kFirmComando1, "FirmComando1", true),
    Bool(Key::kFirmComando2, "FirmComando2", false),
    Bool(Key::kFirmComando3, "FirmComando3", false),
    Bool(Key::kFase1y2, "Fase1y2", true),
    Bool(Key::kChecksum, "Checksum", true, true, true),
    Bool(Key::kProgreso, "Progreso", true),
    Bool(Key::kUsarFirmPsFlash, "Usar-firm-p+s-flash", false),
    Bool(Key::kUsarFirmPsArchivo, "Usar-firm-p+s-archivo", true),
    Bool(Key::kUsarFirmJtagFlash, "Usar-firm-jtag-flash", false),
    Bool(Key::kUsarFirmJtagRam, "Usar-firm-jtag-ram", false),
    Bool(Key::kUsarFirmJtagImagen, "Usar-firm-jtag-imagen", false),
    Bool(Key::kUsarFirmJtagEeprom, "Usar-firm-jtag-eeprom", false),
    Bool(Key::kUsarFirmJtagArchivo, "Usar-firm-jtag-archivo", true),
    Text(Key::kLnbLow, "LNB-low", "9750", "9750"),
    Text(Key::kLnbHigh, "LNB-high", "10600", "10600"),
    Text(Key::kSatA, "Sat-A", "A"),
    Text(Key::kSatB, "Sat-B", "B"),
    Slider(Key::kRetardoStrobe, "RetardoStrobe", KeyWidth::kUnsigned8, 1, 100, 10, 10),
    Slider(Key::kRetardoNegociacion1, "RetardoNegociacion1", KeyWidth::kUnsigned8, 1, 100, 10, 10),
    Slider(Key::kRetardoNegociacion2, "RetardoNegociacion2", KeyWidth::kInt64, 200, 1000, 500, 500),
    Slider(Key::kRetardoNegociacion3, "RetardoNegociacion3", KeyWidth::kInt64, 200, 1000, 500, 500),
    Slider(Key::kRetardoNegociacion4, "RetardoNegociacion4", KeyWidth::kUnsigned8, 1, 100, 10, 10),
    Slider(Key::kRetardoApertura1, "RetardoApertura1", KeyWidth::kInt64, 50, 700, 100, 100),
    Slider(Key::kRetardoApertura2, "RetardoApertura2", KeyWidth::kInt64, 50, 700, 100, 100),
    Slider(Key::kRetardoClausura1, "RetardoClausura1", KeyWidth::kInt64, 200, 1000, 500, 500),
    Slider(Key::kRetardoClausura2, "RetardoClausura2", KeyWidth::kInt64, 200, 1000, 500, 500),
    Slider(Key::kRetardoBusy, "RetardoBusy", KeyWidth::kInt64, 50, 700, 300, 500),
    Slider(Key::kRetardoComienzo, "RetardoComienzo", KeyWidth::kInt64, 200, 5000, 2000, 3000),
    Slider(Key::kRetardoVerificacion, "RetardoVerificacion", KeyWidth::kInt64, 200, 2000, 1000,
           1000),
    Slider(Key::kRetardoEntreBytes, "RetardoEntreBytes", KeyWidth::kInt64, 0, 10000, 0, 0),
    Slider(Key::kDuracionTck, "DuracionTCK", KeyWidth::kInt64, 0, 1000, 0, 0),
    Slider(Key::kCalidadJpeg, "CalidadJPEG", KeyWidth::kUnsigned8, 1, 100, 100, 100),
    ListReset(Key::kTamano, "Tamano", 5, 4, 1),
    Int(Key::kPestanaActiva, "PestañaActiva", 0, 0, 7),
    Text(Key::kOpenDlgInitialDir, "OpenDLgInitialDir", ""),
    Text(Key::kSaveDlgInitialDir, "SaveDLgInitialDir", ""),
    Bool(Key::kFormato4x3, "Formato4:3", true),
    Bool(Key::kFormato16x9, "Formato16:9", false),
    Bool(Key::kFormatoOriginal, "FormatoOriginal", false),
    Bool(Key::kVerificarJtag, "VerificarJtag", true, true, true),
    Bool(Key::kForzarJtag, "ForzarJtag", false, true, false),
    Bool(Key::kAddFirmwareCrc, "AddFirmwareCRC", false, true, false),
    Slider(Key::kWStartBits, "WStartBits", KeyWidth::kInt32, 3, 2048, 1024, 1024),
    Text(Key::kAccesoParalelo, "AccesoParalelo", ""),
    Int(Key::kAlturaLogEeprom, "AlturaLogEeprom", 160, 0),
    Bool(Key::kPreguntarEnviarEeprom, "PreguntarEnviarEeprom", true, true, true),
    Bool(Key::kCopiaSeguridad, "CopiaSeguridad", true, true, true),
};
static_assert(std::size(kTable) == static_cast<size_t>(kSettingCount));

constexpr bool TableInKeyOrder() {
  for (size_t i = 0; i < std::size(kTable); ++i)
    if (static_cast<size_t>(kTable[i].key) != i) return false;
  return true;
}
static_assert(TableInKeyOrder());

constexpr Key kSaveOrder[] = {
    Key::kTop,
    Key::kLeft,
    Key::kWindowWidth,
    Key::kWindowHeight,
    Key::kForm2Width,
    Key::kForm2Height,
    Key::kForm3Width,
    Key::kForm3Height,
    Key::kAlturaLogEeprom,
    Key::kPuerto,
    Key::kVelocidad,
    Key::kBitsDatos,
    Key::kControlFlujo,
    Key::kFirmDireccion,
    Key::kParidad,
    Key::kBitsParada,
    Key::kIdioma,
    Key::kParalelo,
    Key::kAccesoParalelo,
    Key::kRetardoStrobe,
    Key::kRetardoNegociacion1,
    Key::kRetardoNegociacion2,
    Key::kRetardoNegociacion3,
    Key::kRetardoNegociacion4,
    Key::kRetardoApertura1,
    Key::kRetardoApertura2,
    Key::kRetardoClausura1,
    Key::kRetardoClausura2,
    Key::kRetardoBusy,
    Key::kRetardoComienzo,
    Key::kRetardoVerificacion,
    Key::kRetardoEntreBytes,
    Key::kDuracionTck,
    Key::kFirmComando1,
    Key::kFirmComando2,
    Key::kFirmComando3,
    Key::kFase1y2,
    Key::kChecksum,
    Key::kPreguntarEnviarEeprom,
    Key::kCopiaSeguridad,
    Key::kProgreso,
    Key::kUsarFirmPsFlash,
    Key::kUsarFirmPsArchivo,
    Key::kUsarFirmJtagFlash,
    Key::kUsarFirmJtagRam,
    Key::kUsarFirmJtagImagen,
    Key::kUsarFirmJtagEeprom,
    Key::kUsarFirmJtagArchivo,
    Key::kPestanaActiva,
    Key::kOpenDlgInitialDir,
    Key::kSaveDlgInitialDir,
    Key::kDirecJtag,
    Key::kLongJtag,
    Key::kTcs,
    Key::kTpt,
    Key::kSr,
    Key::kNumCanales,
    Key::kNumTransp,
    Key::kLnbLow,
    Key::kLnbHigh,
    Key::kSatA,
    Key::kSatB,
    Key::kCalidadJpeg,
    Key::kTamano,
    Key::kFormato4x3,
    Key::kFormato16x9,
    Key::kFormatoOriginal,
    Key::kAddFirmwareCrc,
    Key::kTrapAdr,
    Key::kWStartBits,
    Key::kFlash1Start,
    Key::kFlash1Type,
    Key::kFlash2Start,
    Key::kFlash2Type,
    Key::kModel,
    Key::kVerificarJtag,
    Key::kForzarJtag,
};
static_assert(std::size(kSaveOrder) == static_cast<size_t>(kSettingCount));

constexpr Key kCommandGroup[] = {Key::kFirmComando1, Key::kFirmComando2, Key::kFirmComando3};
constexpr Key kSerialSourceGroup[] = {Key::kUsarFirmPsFlash, Key::kUsarFirmPsArchivo};
constexpr Key kJtagSourceGroup[] = {Key::kUsarFirmJtagFlash, Key::kUsarFirmJtagRam,
                                    Key::kUsarFirmJtagImagen, Key::kUsarFirmJtagEeprom,
                                    Key::kUsarFirmJtagArchivo};
constexpr Key kFormatGroup[] = {Key::kFormato4x3, Key::kFormato16x9, Key::kFormatoOriginal};

constexpr DelaySlider kParallelSliders[] = {
    {Key::kRetardoBusy, text_key::kRetardoBusy, true},
    {Key::kRetardoStrobe, text_key::kRetardoStrobe, false},
    {Key::kRetardoNegociacion1, text_key::kRetardoNegociacion1, false},
    {Key::kRetardoNegociacion2, text_key::kRetardoNegociacion2, true},
    {Key::kRetardoNegociacion3, text_key::kRetardoNegociacion3, true},
    {Key::kRetardoNegociacion4, text_key::kRetardoNegociacion4, false},
    {Key::kRetardoApertura1, text_key::kRetardoApertura1, true},
    {Key::kRetardoApertura2, text_key::kRetardoApertura2, true},
    {Key::kRetardoClausura1, text_key::kRetardoClausura1, true},
    {Key::kRetardoClausura2, text_key::kRetardoClausura2, true},
    {Key::kRetardoComienzo, text_key::kRetardoComienzoEnv, true},
    {Key::kRetardoVerificacion, text_key::kRetardoVerificacion, true},
    {Key::kRetardoEntreBytes, text_key::kRetardoEntreBytes, false},
};

}  // namespace

std::span<const KeySpec> KeyTable() { return kTable; }
const KeySpec& Spec(Key key) { return kTable[static_cast<int>(key)]; }
std::span<const Key> SaveOrder() { return kSaveOrder; }
std::span<const DelaySlider> ParallelDelaySliders() { return kParallelSliders; }

std::span<const Key> ChoiceGroupOf(Key key) {
  for (std::span<const Key> group :
       {std::span<const Key>(kCommandGroup), std::span<const Key>(kSerialSourceGroup),
        std::span<const Key>(kJtagSourceGroup), std::span<const Key>(kFormatGroup)})
    for (Key member : group)
      if (member == key) return group;
  return {};
}

}  // namespace tornavo
