#include "core/channels/table_settings.h"

#include "core/channels/channel_list.h"

namespace tornavo {

TableContext TableContextOf(const Settings& settings, const SymbolRateTable& symbol_rates) {
  TableContext context;
  context.satellite_a = settings.remembered_satellite(0);
  context.satellite_b = settings.remembered_satellite(1);
  context.symbol_rates = symbol_rates;
  context.lnb_low = settings.Text(Key::kLnbLow).toInt();
  context.lnb_high = settings.Text(Key::kLnbHigh).toInt();
  return context;
}

int ChannelRowsOf(const Settings& settings) {
  return settings.channel_table_size() == 2000 ? ChannelList::kLargeChannelRows
                                               : ChannelList::kSmallChannelRows;
}

int TransponderRowsOf(const Settings& settings) { return settings.transponder_table_size(); }

int64_t PositionBlock(int64_t index, int64_t live_block) {
  return index >= 0 && index < Settings::Positions().size() ? index * kBlockSize : live_block;
}

int PositionIndex(int64_t block) {
  const int64_t index = block / kBlockSize;
  return block % kBlockSize == 0 && index >= 0 && index < Settings::Positions().size()
             ? static_cast<int>(index)
             : -1;
}

void ApplyTableSettings(const Settings& settings, const SymbolRateTable& symbol_rates,
                        ChannelList& list) {
  list.SetContext(TableContextOf(settings, symbol_rates));
  list.ApplyChannelTableSize(ChannelRowsOf(settings));
  list.ApplyTransponderTableSize(TransponderRowsOf(settings));
}

}  // namespace tornavo
