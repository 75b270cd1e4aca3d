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
