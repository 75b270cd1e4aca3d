#pragma once

#include <cstdint>

#include "core/channels/table_records.h"
#include "core/settings/settings.h"

namespace tornavo {

class ChannelList;

// What the tables take from the settings: remembered satellite names, the symbol-rate table
// and the LNB frequencies.
TableContext TableContextOf(const Settings& settings, const SymbolRateTable& symbol_rates);
// Rows of the grids with their heading row: "Número de canales :" 1000 gives 1000 rows, 2000
// gives 2003; "Número de transp. :" 100 or 200.
int ChannelRowsOf(const Settings& settings);
int TransponderRowsOf(const Settings& settings);
// Gives the list the tables' context and grid sizes from the settings.
void ApplyTableSettings(const Settings& settings, const SymbolRateTable& symbol_rates,
                        ChannelList& list);
// The block a "Posición TCS :" / "Posición TPT :" entry names; without an entry (a table
// beyond the blocks the list offers) the table stays in its live block.
int64_t PositionBlock(int64_t index, int64_t live_block);
// The entry of a block, -1 for blocks the list does not offer.
int PositionIndex(int64_t block);

}  // namespace tornavo
