#pragma once

#include <QByteArray>

namespace tornavo::sim {

// A plausible channel list for the virtual receiver, in the receiver's record formats (all
// fields big-endian): a few dozen channels on a handful of transponders, the rest of the
// table zero.
inline constexpr int kChannelRecordSize = 30;
inline constexpr int kTransponderRecordSize = 12;
inline constexpr int kChannelRecords = 999;
inline constexpr int kTransponderRecords = 99;
inline constexpr int kChannelsInUse = 24;
inline constexpr int kTranspondersInUse = 6;
// The symbol rates (kbaud) the sample transponders' codes 0 to 4 stand for, as the virtual
// receiver's symbol-rate file lists them.
inline constexpr int kSampleSymbolRates[] = {27500, 22000, 29900, 26666, 6111};

// The channel table as the receiver keeps it in RAM: 999 records from offset 0.
QByteArray BuildRamChannelTable();
// The first 0x50000 bytes of the channel-list flash chip: erased, with a TCS section at the
// start of block 0x10000 and a TPT section at the start of block 0x20000.
QByteArray BuildFlashChannelImage();
inline constexpr int kFlashTcsBlock = 0x10000;
inline constexpr int kFlashTptBlock = 0x20000;

}  // namespace tornavo::sim
