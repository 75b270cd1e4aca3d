#pragma once

#include <cstdint>
#include <span>

namespace tornavo {

// Every key of the settings file, in the order they are read at start-up.
enum class Key : int {
  kTop = 0,
  kLeft,
  kWindowHeight,
  kWindowWidth,
  kForm2Width,
  kForm2Height,
  kForm3Width,
  kForm3Height,
  kIdioma,
  kDirecJtag,
  kPuerto,
  kVelocidad,
  kBitsDatos,
  kControlFlujo,
  kFirmDireccion,
  kLongJtag,
  kParidad,
  kBitsParada,
  kParalelo,
  kTcs,
  kTpt,
  kSr,
  kNumCanales,
  kNumTransp,
  kTrapAdr,
  kModel,
  kFlash1Start,
  kFlash1Type,
  kFlash2Start,
  kFlash2Type,
  kFirmComando1,
  kFirmComando2,
  kFirmComando3,
  kFase1y2,
  kChecksum,
  kProgreso,
  kUsarFirmPsFlash,
  kUsarFirmPsArchivo,
  kUsarFirmJtagFlash,
  kUsarFirmJtagRam,
  kUsarFirmJtagImagen,
  kUsarFirmJtagEeprom,
  kUsarFirmJtagArchivo,
  kLnbLow,
  kLnbHigh,
  kSatA,
  kSatB,
  kRetardoStrobe,
  kRetardoNegociacion1,
  kRetardoNegociacion2,
  kRetardoNegociacion3,
  kRetardoNegociacion4,
  kRetardoApertura1,
  kRetardoApertura2,
  kRetardoClausura1,
  kRetardoClausura2,
  kRetardoBusy,
  kRetardoComienzo,
  kRetardoVerificacion,
  kRetardoEntreBytes,
  kDuracionTck,
  kCalidadJpeg,
  kTamano,
  kPestanaActiva,
  kOpenDlgInitialDir,
  kSaveDlgInitialDir,
  kFormato4x3,
  kFormato16x9,
  kFormatoOriginal,
  kVerificarJtag,
  kForzarJtag,
  kAddFirmwareCrc,
  kWStartBits,
  kAccesoParalelo,   // the parallel port backend, as a port locator text; empty for the default
  kAlturaLogEeprom,  // height of the log under the hex grid, where its divider was left
  kPreguntarEnviarEeprom,  // EEPROM "Enviar" asks before writing; its question can turn it off
  kCopiaSeguridad,         // read and keep what a destructive write replaces, before writing
  kCount
};
inline constexpr int kSettingCount = static_cast<int>(Key::kCount);

enum class KeyType { kInteger, kListIndex, kText, kBoolean };

// How a stored integer becomes the value the program holds.
enum class KeyWidth {
  kInt32,      // as read
  kUnsigned8,  // taken modulo 256
  kInt64,      // sign-extended; written back as its low 32 bits
};

// Lists whose entries come from the catalogue files or the system, not from the program.
enum class DynamicList { kNone, kPorts, kLanguages, kSymbolRates, kModels, kFlashTypes };

struct KeySpec {
  Key key;
  const char* name;  // UTF-8, exactly as in the file
  KeyType type;
  KeyWidth width;
  int32_t fallback;           // default when missing (integers, indexes, booleans)
  const char* fallback_text;  // default when missing (texts)
  bool resets;                // "Valores por Defecto" sets it
  int32_t reset;
  const char* reset_text;
  // Integers: the range a slider brings the value into (minimum only for the window and
  // dialog sizes, where maximum is INT32_MAX). Fixed lists: 0 ... entries - 1.
  int32_t minimum;
  int32_t maximum;
  DynamicList list;
};

std::span<const KeySpec> KeyTable();
const KeySpec& Spec(Key key);

// Keys in the order SaveSettings writes them (the four flash keys only while no model file
// fills them).
std::span<const Key> SaveOrder();

// Keys that are choices of one group (firmware command, the two source groups, picture
// format): checking one clears the others. Empty for any other key.
std::span<const Key> ChoiceGroupOf(Key key);

// The delay sliders, top to bottom as the page shows them (the thirteen of the parallel
// port group), with the captions' key numbers and whether the unit is "ms".
struct DelaySlider {
  Key key;
  int caption_key;
  bool milliseconds;
};
std::span<const DelaySlider> ParallelDelaySliders();

}  // namespace tornavo
