#pragma once

#include <QString>

#include "core/lpt/firmware_upgrade.h"
#include "core/lpt/parallel_link.h"
#include "core/settings/settings.h"

namespace tornavo {

// The delay settings as the link reads them.
LinkDelays LinkDelaysOf(const Settings& settings);

// The stored backend, or the default when none is stored: the virtual receiver when the
// window runs with one, else the first ppdev device present, else direct I/O at the base
// the address list ("Paralelo") selects.
QString ParallelLocatorOf(const Settings& settings, const QStringList& ppdev_present,
                          bool virtual_receiver = false);

// The most a firmware file may hold: the larger of the two flash chips the settings describe,
// 16 MiB when they describe none. Nothing longer is read.
inline constexpr qsizetype kUndescribedFlashLimit = 16 * 1024 * 1024;
qsizetype FirmwareFileLimit(const Settings& settings);
// Reads a firmware file of at most FirmwareFileLimit bytes. An empty file is refused: it
// would be announced to the receiver as an upgrade of nothing.
bool ReadFirmwareFile(const QString& path, const Settings& settings, QByteArray* data,
                      QString* error);

// The page's stored choices: address, command, phases, progress and the delays.
FirmwareOptions FirmwareOptionsOf(const Settings& settings);

}  // namespace tornavo
