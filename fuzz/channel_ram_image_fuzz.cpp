// Any bytes as a RAM channel table: reading and writing the records back must stay inside
// the image and give back the bytes the records hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/channels/channel_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray image(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  tornavo::ChannelList list;
  list.ApplyChannelTableSize(tornavo::ChannelList::kLargeChannelRows);
  list.LoadRamImage(image);
  QByteArray written = image;
  tornavo::CellError error;
  if (!tornavo::WriteChannelRecords(0, list.channels(), written, &error)) std::abort();
  if (written.size() != image.size()) std::abort();
  list.SetEncryption(1, 5, 0x20);
  list.DeleteChannels(2, 3);
  return 0;
}
