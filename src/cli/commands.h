#pragma once

#include <QStringList>

#include "core/eeprom/eeprom_files.h"
#include "core/lpt/virtual_cable.h"

namespace tornavo::cli {

// Each subcommand takes its arguments with the program and subcommand name first
// ("tornavo frame", TEXT ...) and returns the exit status.
int RunFrameCommand(const QStringList& arguments);
int RunSendCommand(const QStringList& arguments);
int RunEepromCommand(const QStringList& arguments);
// "own", "kvl" or "bin", the names of the EEPROM file formats on the command line.
bool EepromFormatOfName(const QString& name, EepromFormat* format);
// "tornavo eeprom read|write|verify": the serial transfers, reached through RunEepromCommand.
int RunEepromTransferCommand(const QString& verb, const QStringList& arguments);
// What a command does with the rows of an EEPROM file: sends them to the receiver, compares
// them with it, or writes the file back.
enum class RowUse { kSend, kCompare, kWriteBack };
// A file that defines fewer rows than a command uses would have the others taken as FF: on a
// receiver that blanks them. Unless allow_partial, such a file is refused: the rows it lacks
// and that nothing was done are printed after name, and the result is false.
bool FileDefinesRows(const QString& name, const QString& file, const EepromRows& file_rows,
                     const EepromRows& used_rows, RowUse use, bool allow_partial);
int RunCaptureCommand(const QStringList& arguments);
int RunSettingsCommand(const QStringList& arguments);
int RunPortsCommand(const QStringList& arguments);
int RunChannelsCommand(const QStringList& arguments);
// "tornavo firmware send|check-lpt": the upgrade and the receiver's parallel-port check.
int RunFirmwareCommand(const QStringList& arguments);
// "tornavo jtag idcode|dump". make_virtual_cable serves --parallel virtual; without it,
// "virtual" is refused as with no virtual receiver running.
int RunJtagCommand(const QStringList& arguments, const VirtualCableMaker& make_virtual_cable);
// "tornavo jtag send|add-crc|erase-chip", reached through RunJtagCommand.
int RunJtagSendCommand(const QStringList& arguments, const VirtualCableMaker& make_virtual_cable);
int RunJtagAddCrcCommand(const QStringList& arguments);
int RunJtagEraseChipCommand(const QStringList& arguments,
                            const VirtualCableMaker& make_virtual_cable);

}  // namespace tornavo::cli
