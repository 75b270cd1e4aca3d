#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "core/settings/flash_chip.h"

namespace tornavo::sim {

class JtagTarget;

// The virtual receiver's own catalogue: a flash type file for each of its two chips and a
// model file naming them, generated here, so that flash programming and "Borrar Chip" work
// without hardware, and a symbol-rate file with the rates of its sample transponders. The firmware
// chip sits at 60000000 with small boot blocks first; the channel-list chip at 7FE00000, where the
// target keeps its channel list.
inline constexpr char kVirtualFirmwareFlash[] = "VR-Flash-Firmware";
inline constexpr char kVirtualChannelFlash[] = "VR-Flash-Canales";
inline constexpr char kVirtualModel[] = "Receptor-Virtual";
inline constexpr char kVirtualSymbolRates[] = "VR-Symbol-Rates";

// The settings folder the virtual receiver uses unless it is given one:
// $XDG_CONFIG_HOME/tornavo/virtual-receiver/INIs/ (~/.config/... when unset), apart from the
// technician's own settings.
QString VirtualReceiverIniFolder();

// Puts the catalogue into folder (created when missing). Every file is written only where
// none of that name exists, so a technician's files are never replaced; a settings file
// written here lists the two flash types, the model and the symbol rates and selects the model
// and the rates. Returns false
// with *error when a file cannot be written; *written names the files it wrote.
bool InstallVirtualCatalogue(const QString& folder, QStringList* written, QString* error);

// Lays the target's chips out as the descriptions say ([0] the firmware chip, [1] the
// channel-list chip), keeping contents where a chip stays where it was. Descriptions that no
// flash operation may use leave their chip as it is.
void FollowFlashChips(JtagTarget& target, const std::array<FlashChipDescription, 2>& chips);

}  // namespace tornavo::sim
