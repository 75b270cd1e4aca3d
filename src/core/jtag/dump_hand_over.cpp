#include "core/jtag/dump_hand_over.h"

namespace tornavo {

QByteArray DumpedBytes(const JtagDumpRequest& request, const JtagDumpResult& result) {
  return result.buffer.left(static_cast<qsizetype>(RoundedDumpLength(request.length)));
}

QByteArray RawDumpBytes(const JtagDumpRequest& request, const JtagDumpResult& result) {
  return result.buffer.left(static_cast<qsizetype>(request.length));
}

void RouteDump(const JtagDumpRequest& request, const JtagDumpResult& result,
               DumpReceiver& receiver) {
  if (result.outcome != DumpOutcome::kDone) return;
  switch (request.source) {
    case DumpSource::kRam:
    case DumpSource::kFlash:
      receiver.TakeChannelDump(request, result);
      return;
    case DumpSource::kImage:
      receiver.TakePicture(DumpedBytes(request, result));
      return;
    case DumpSource::kEeprom:
      receiver.TakeEeprom(request.address, DumpedBytes(request, result));
      return;
    case DumpSource::kFile:
      receiver.TakeRawBytes(RawDumpBytes(request, result));
      return;
  }
}

std::optional<LoadResult> HandOverChannelDump(const JtagDumpRequest& request,
                                              const JtagDumpResult& result, ChannelList& list,
                                              SectionChooser& chooser) {
  if (result.outcome != DumpOutcome::kDone) return std::nullopt;
  if (request.source == DumpSource::kRam) {
    list.LoadRamImage(DumpedBytes(request, result));
    return LoadResult::kOk;
  }
  if (request.source == DumpSource::kFlash)
    return list.LoadFlashImage(DumpedBytes(request, result), chooser);
  return std::nullopt;
}

}  // namespace tornavo
