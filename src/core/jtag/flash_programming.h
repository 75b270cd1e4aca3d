#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "core/jtag/jtag_session.h"
#include "core/runtime/backup_store.h"
#include "core/settings/flash_chip.h"

namespace tornavo {

class DebugUnit;

// The three options of the settings page's " JTag " group.
struct FlashSendOptions {
  bool force = false;    // "Forzar escritura en todos los bloques"
  bool verify = true;    // "Verificar escritura en Flash"
  bool add_crc = false;  // "Añadir checksum al firmware"
};

struct JtagSendRequest {
  // [0]: the firmware chip (" Integrado con Sofware Interactivo "), [1]: the channel-list chip.
  std::array<FlashChipDescription, 2> chips;
  uint32_t destination = 0;  // "Dirección"
  uint32_t length = 0;       // "Longitud", EEPROM writes only
  uint32_t trap_address = kDefaultTrapAddress;
  QStringList trap_places;
  FlashSendOptions options;
  // The parallel port as its locator names it ("ppdev:/dev/parport0"), for the questions.
  QString port;
  // Where flash and EEPROM writes keep what they replace first; none: backups are off.
  std::optional<BackupStore> backups;
};

// kRefused: checked before the port was touched (bad chip description, wrong erase address,
// nothing to send). kFailed: the final report names an error address or the target failed.
enum class SendOutcome { kPortFailed, kRefused, kFailed, kDone };

struct JtagSendResult {
  SendOutcome outcome = SendOutcome::kPortFailed;
  uint32_t done = 0;  // bytes counted as sent
  QString port_error;
};

// The page's " Usar " choices, in the order "Enviar" checks them.
enum class JtagSendSource { kRamTable, kFlashTable, kEeprom, kFile, kCapturedImage };

// What "Enviar" sends, prepared by the caller from what the window holds: the RAM table
// with the channel grid written over it, the flash image brought up to date, the 2048 EEPROM
// bytes, or the file's bytes. An empty buffer means nothing suitable is held.
struct JtagSendInputs {
  QByteArray ram_table;
  QByteArray flash_image;
  QByteArray eeprom;
  QByteArray file;
};

// Which texts a failed block's question and a good verification use.
enum class BlockTexts { kFlashImage, kFile };

// What a block loop came to: the bytes it went past, and the blocks among them it did not
// write (ignored after a failure), each as its address and what failed.
struct BlocksResult {
  uint32_t done = 0;
  QStringList not_written;
  // The backup could not be read or kept, so nothing was erased; the reason was shown.
  bool backup_failed = false;
};

// Programs count bytes of data from destination into the chip, block by block. With backups
// on, every block it goes over is read and kept first, and nothing is erased unless that
// worked; the compare uses those bytes. Whole blocks
// equal to the flash are skipped unless forced; the others are erased, programmed and, when
// asked, read back. A failed block asks Abort/Retry/Ignore; an ignored one is passed over and
// named in the result. A port that stops working ends the loop without asking. Ends with the
// DCU reset released.
BlocksResult ProgramBlocks(JtagSession& session, DebugUnit& unit, const JtagSendRequest& request,
                           const FlashChipDescription& chip, const uint8_t* data, uint32_t count,
                           BlockTexts texts);

// The four operations of "Enviar"; each opens and closes the port itself.
JtagSendResult SendRamChannelTable(JtagSession& session, const JtagSendRequest& request,
                                   const QByteArray& table);
JtagSendResult ProgramFlashImage(JtagSession& session, const JtagSendRequest& request,
                                 const QByteArray& image);
// Chip 1 when it holds the destination (with the CRC block when asked for), else chip 2,
// else RAM.
JtagSendResult SendFileOverJtag(JtagSession& session, const JtagSendRequest& request,
                                QByteArray data);
JtagSendResult WriteEepromOverJtag(JtagSession& session, const JtagSendRequest& request,
                                   const QByteArray& eeprom);
JtagSendResult StartJtagSend(JtagSession& session, const JtagSendRequest& request,
                             JtagSendSource source, const JtagSendInputs& inputs);

enum class EraseMethod { kBlocks, kSingleCommand };

// The warning "Borrar Chip" asks: it names chip 0 or 1 of the request, its first and last
// address and the port.
QString EraseChipWarning(const Texts& texts, const JtagSendRequest& request, int chip);
// "Borrar Chip": refuses an address that starts neither chip (and, block by block, a chip
// whose description no operation may use), asks the warning (OK/Cancel; with backups on, with
// a check box, ticked, to read and keep the chip first), then erases the chip starting at the
// destination, block by block or with one command. A backup that fails erases nothing.
JtagSendResult EraseChip(JtagSession& session, const JtagSendRequest& request, EraseMethod method);

}  // namespace tornavo
