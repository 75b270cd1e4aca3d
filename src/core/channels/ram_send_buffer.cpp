#include "core/channels/ram_send_buffer.h"

#include <algorithm>

#include "core/channels/table_records.h"

namespace tornavo {

QByteArray BuildRamChannelSendBuffer(const ChannelList& list, int channel_table_size,
                                     CellError* error) {
  if (!list.held() || !list.ram()) return {};
  const qsizetype count = channel_table_size == 2000 ? 0xEC00 : 0x7600;
  QByteArray work(count + 1, '\0');
  const QByteArray& image = list.image();
  std::copy_n(image.constData(), std::min(image.size(), work.size()), work.data());
  if (!WriteChannelRecords(0, list.channels(), work, error)) return {};
  return work.left(count);
}

}  // namespace tornavo
