#pragma once

#include <optional>

#include "core/channels/channel_list.h"
#include "core/jtag/jtag_dump.h"

namespace tornavo {

// The bytes a completed dump hands over: the rounded length of the request.
QByteArray DumpedBytes(const JtagDumpRequest& request, const JtagDumpResult& result);

// The RAM and FLASH sources' hand-over to the channel list: a RAM dump becomes the held RAM
// channel table, a FLASH dump is loaded as a flash image. Nothing reaches the list unless the
// dump completed, so a refused range or a short read leaves the held image and its RAM flag
// as they were (a held flash image never turns into a RAM table, nor the reverse, and the next
// save cannot write one format over the other). A flash image without tables, or one whose
// section choice was given up, leaves the list as it was too. Nothing for the other sources or
// a dump that did not complete.
std::optional<LoadResult> HandOverChannelDump(const JtagDumpRequest& request,
                                              const JtagDumpResult& result, ChannelList& list,
                                              SectionChooser& chooser);

}  // namespace tornavo
