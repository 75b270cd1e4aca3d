#pragma once

#include "core/texts/text_names.h"

// Message slots of the JTAG operations.
namespace tornavo::jtag_slot {
inline constexpr int kOpeningPort = slot::kAbriendoLpt1;     // "Abriendo LPT1"
inline constexpr int kSendingFile = slot::kEnviandoArchivo;  // "Enviando archivo..."
inline constexpr int kClosingPort = slot::kCerrandoLpt1;     // "Cerrando LPT1"
inline constexpr int kPortNotOpened =
    slot::kNoSeHaPodidoAbrir;  // "No se ha podido abrir el puerto paralelo."
inline constexpr int kResetOn = slot::kResetDCUActivado;      // "Reset DCU activado"
inline constexpr int kRunTestIdle = slot::kEstadoDeLaDCURun;  // "Estado de la DCU : Run-Test/Idle"
inline constexpr int kReceiving = slot::kRecibiendoDatos;     // "Recibiendo datos..."
inline constexpr int kErrorAtAddress =
    slot::kSeHaProducidoUnError;  // "Se ha producido un error en la dirección : "
inline constexpr int kFirmwareRead =
    slot::kFirmwareLeidoConExito;                             // "¡ Firmware leído con éxito !"
inline constexpr int kResetOff = slot::kResetDCUDesactivado;  // "Reset DCU desactivado"
inline constexpr int kCpuType = slot::kTipoDeCPU;             // "Tipo de CPU : "
inline constexpr int kCpuCodeWrong =
    slot::kCodigoDeCPUErroneoComprueba;  // "¡Código de CPU erroneo! ..."
inline constexpr int kCpuCodeUnknown =
    slot::kCodigoDeCPUDesconocidoComprueba;                // "¡Código de CPU desconocido! ..."
inline constexpr int kEraseBlock = slot::kBorrandoBloque;  // "Borrando bloque : "
inline constexpr int kProgramAt =
    slot::kEnviandoDatosALaDireccion;  // "Enviando datos a la dirección : "
inline constexpr int kTrapMissing =
    slot::kNoSeHaEncontradoEl;  // "No se ha encontrado el fichero trap.bin"
inline constexpr int kTrapInitFailed =
    slot::kFalloEnLaInicializacionDe;  // "Fallo en la inicialización de la rutina Trap"
inline constexpr int kEraseChip = slot::kBorrandoChip;         // "Borrando chip : "
inline constexpr int kReadingEeprom = slot::kLeyendoLaEeprom;  // "Leyendo la eeprom..."
inline constexpr int kWritingEeprom =
    slot::kEscribiendoEnLaEeprom;  // "Escribiendo en la eeprom..."
inline constexpr int kEepromReadFailed =
    slot::kSeProdujoUnErrorLeyendo173;  // "¡ Se produjo un error leyendo la eeprom !"
inline constexpr int kBadAddressLength =
    slot::kDireccionOLongitudIncorrecta;  // "¡ Dirección o longitud incorrecta !"
inline constexpr int kAwaitingWrite =
    slot::kEsperandoLaConclusionDeLa;  // "Esperando la conclusión de la escritura..."
inline constexpr int kDcuStatusUnreadable =
    slot::kSeProdujoUnErrorLeyendo178;  // "Se produjo un error leyendo el registro ..."
inline constexpr int kEepromRead = slot::kEepromLeidaConExito;  // "¡ Eeprom leída con éxito !"
// Key of the identification button's caption, "Código de la CPU".
inline constexpr int kCpuCodeCaptionKey = text_key::kCodigoDeLaCPU;
}  // namespace tornavo::jtag_slot
