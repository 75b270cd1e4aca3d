#pragma once

#include <optional>

#include "core/channels/channel_list.h"
#include "core/jtag/jtag_dump.h"

namespace tornavo {

// The bytes a completed dump hands over: the rounded length of the request.
QByteArray DumpedBytes(const JtagDumpRequest& request, const JtagDumpResult& result);
// Raw bytes for a file: exactly the length asked for, not the whole words the cable read.
QByteArray RawDumpBytes(const JtagDumpRequest& request, const JtagDumpResult& result);

// Where each kind of completed dump ends up. The window hands them to its pages, the command
// line saves them to its output file; which kind goes where, and with how many bytes, is
// decided in one place, RouteDump.
class DumpReceiver {
 public:
  virtual ~DumpReceiver() = default;
  // RAM and FLASH dumps: the channel and transponder tables (see HandOverChannelDump).
  virtual void TakeChannelDump(const JtagDumpRequest& request, const JtagDumpResult& result) = 0;
  virtual void TakePicture(const QByteArray& bytes) = 0;
  virtual void TakeEeprom(uint32_t address, const QByteArray& bytes) = 0;
  virtual void TakeRawBytes(const QByteArray& bytes) = 0;
};

// Hands a dump to the receiver by its source; nothing unless the dump completed.
void RouteDump(const JtagDumpRequest& request, const JtagDumpResult& result,
               DumpReceiver& receiver);

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
