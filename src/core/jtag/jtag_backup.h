#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "core/jtag/jtag_session.h"
#include "core/runtime/backup_store.h"
#include "core/texts/text_names.h"

namespace tornavo {

class DebugUnit;

// Seconds a read of length bytes of target memory takes through a real parallel port with
// these timing settings, rounded up: what the erase question offers before "Borrar Chip".
int EstimatedJtagReadSeconds(uint32_t length, const JtagTiming& timing);

// Reads length bytes from address into *bytes for a backup, the status panel naming the
// stage. False, with the reason logged and shown, when any byte did not arrive.
bool ReadForBackup(JtagSession& session, DebugUnit& unit, uint32_t address, uint32_t length,
                   QByteArray* bytes);

// Keeps bytes in the store and logs the file; false, with the reason logged and shown, when
// the file could not be written.
bool KeepBackup(JtagSession& session, const BackupStore& store, const QString& operation,
                uint32_t address, const QByteArray& bytes, const QString& extension);

// The log line of a destructive write done without a backup: switched off, or (`key`) why
// none could be made.
void LogNoBackup(JtagSession& session, int key = text_key::kSinCopiaDeSeguridad);

// What the EEPROM write over JTAG replaces: the whole rows around start..start+length, read
// through the trap and kept as an own-format text file (whose lines name their rows). False,
// with the reason shown, when the read or the file failed.
bool BackUpEepromRows(JtagSession& session, DebugUnit& unit, const BackupStore& store,
                      uint32_t trap_address, uint32_t start, uint32_t length);

}  // namespace tornavo
