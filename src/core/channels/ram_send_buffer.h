#pragma once

#include <QByteArray>

#include "core/channels/channel_list.h"

namespace tornavo {

// What "Tabla canales RAM" sends: 0xEC00 bytes for 2000 channels, else 0x7600, the held RAM
// image with the channel grid written over it as records from offset 0. Bytes past the
// records keep the image's values; past a short image they are 0. Empty when the list holds
// no RAM image or a cell does not convert (*error then says which).
QByteArray BuildRamChannelSendBuffer(const ChannelList& list, int channel_table_size,
                                     CellError* error);

}  // namespace tornavo
