#pragma once

// Message slots of the JTAG operations.
namespace tornavo::jtag_slot {
inline constexpr int kOpeningPort = 29;           // "Abriendo LPT1"
inline constexpr int kSendingFile = 32;           // "Enviando archivo..."
inline constexpr int kClosingPort = 36;           // "Cerrando LPT1"
inline constexpr int kPortNotOpened = 39;         // "No se ha podido abrir el puerto paralelo."
inline constexpr int kResetOn = 48;               // "Reset DCU activado"
inline constexpr int kRunTestIdle = 49;           // "Estado de la DCU : Run-Test/Idle"
inline constexpr int kReceiving = 50;             // "Recibiendo datos..."
inline constexpr int kErrorAtAddress = 51;        // "Se ha producido un error en la dirección : "
inline constexpr int kFirmwareRead = 52;          // "¡ Firmware leído con éxito !"
inline constexpr int kResetOff = 53;              // "Reset DCU desactivado"
inline constexpr int kCpuType = 54;               // "Tipo de CPU : "
inline constexpr int kCpuCodeWrong = 55;          // "¡Código de CPU erroneo! ..."
inline constexpr int kCpuCodeUnknown = 56;        // "¡Código de CPU desconocido! ..."
inline constexpr int kEraseBlock = 152;           // "Borrando bloque : "
inline constexpr int kProgramAt = 153;            // "Enviando datos a la dirección : "
inline constexpr int kTrapMissing = 155;          // "No se ha encontrado el fichero trap.bin"
inline constexpr int kTrapInitFailed = 156;       // "Fallo en la inicialización de la rutina Trap"
inline constexpr int kEraseChip = 161;            // "Borrando chip : "
inline constexpr int kReadingEeprom = 162;        // "Leyendo la eeprom..."
inline constexpr int kWritingEeprom = 163;        // "Escribiendo en la eeprom..."
inline constexpr int kEepromReadFailed = 173;     // "¡ Se produjo un error leyendo la eeprom !"
inline constexpr int kBadAddressLength = 174;     // "¡ Dirección o longitud incorrecta !"
inline constexpr int kAwaitingWrite = 176;        // "Esperando la conclusión de la escritura..."
inline constexpr int kDcuStatusUnreadable = 178;  // "Se produjo un error leyendo el registro ..."
inline constexpr int kEepromRead = 21;            // "¡ Eeprom leída con éxito !"
// Key of the identification button's caption, "Código de la CPU".
inline constexpr int kCpuCodeCaptionKey = 115;
}  // namespace tornavo::jtag_slot
