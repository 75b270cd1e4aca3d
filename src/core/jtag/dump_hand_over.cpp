#include "core/jtag/dump_hand_over.h"

namespace tornavo {

QByteArray DumpedBytes(const JtagDumpRequest& request, const JtagDumpResult& result) {
  return result.buffer.left(static_cast<qsizetype>(RoundedDumpLength(request.length)));
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
