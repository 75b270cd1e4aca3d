#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "core/jtag/jtag_session.h"

namespace tornavo {

// Where a dump's bytes go; the order is the order the page checks its choices in.
enum class DumpSource { kRam, kFlash, kImage, kEeprom, kFile };

// The lists of the "Dirección" and "Longitud" boxes.
extern const QStringList kDumpAddressEntries;
extern const QStringList kDumpLengthEntries;

// Upper case, hexadecimal digits only: what either box keeps of what is typed. An empty
// result stands for the box's default entry (first address, fifth length).
QString FilterDumpField(const QString& text, bool address);
// The texts the boxes show once left: 8 digits of the address with its two low bits clear,
// 6 digits of the length AND 0xFFFFFC, out-of-range texts replaced by an entry first.
QString LeaveDumpAddress(const QString& text);
QString LeaveDumpLength(const QString& text);

// The length rounded up to a whole last block, and the buffer that holds it with room for
// one more byte (at least 257), so that every block read fits.
uint32_t RoundedDumpLength(uint32_t length);
uint32_t DumpBufferSize(uint32_t length);

// The flash chip holding the channel list, for the FLASH source's check.
struct DumpFlashChip {
  uint32_t start = 0;
  uint32_t size = 0;
};
bool DumpRangeAccepted(DumpSource source, uint32_t address, uint32_t length,
                       const DumpFlashChip& chip);
// Moves a range the source refuses to the nearest one it accepts; false when there is none.
bool NearestAcceptedRange(DumpSource source, const DumpFlashChip& chip, uint32_t* address,
                          uint32_t* length);

struct JtagDumpRequest {
  DumpSource source = DumpSource::kFile;
  uint32_t address = 0;
  uint32_t length = 0;
  DumpFlashChip flash_chip;
  uint32_t trap_address = kDefaultTrapAddress;  // EEPROM source only
  QStringList trap_places;             // EEPROM source only
};

enum class DumpOutcome { kPortFailed, kBadRange, kReadFailed, kDone };

struct JtagDumpResult {
  DumpOutcome outcome = DumpOutcome::kPortFailed;
  QByteArray buffer;   // DumpBufferSize bytes; the first RoundedDumpLength hold the dump
  uint32_t count = 0;  // bytes received
  QString port_error;
};

// "Recibir" of the page: the port bracket, the source's check, the reset bracket, the range
// read (or, for the EEPROM, the trap's read command), the status panel and the messages. On
// kDone, hand_over gets the result where the host lives, after the success message and before
// the port is closed; nothing else changes what the caller holds, so a dump that fails leaves
// the held image and its flags as they were.
JtagDumpResult RunJtagDump(JtagSession& session, const JtagDumpRequest& request,
                           const std::function<void(const JtagDumpResult&)>& hand_over = {});

}  // namespace tornavo
