// A random sequence of editing operations on a fuzzed flash image, then a save: the save either
// refuses and changes nothing, or leaves both tables where it says, findable and whole (loading
// the result gives back every record the tables held).
//
// Input: one byte of table sizes and operation count, four bytes per operation, two bytes of
// target blocks (0xFF: where the table is), then the image.
#include <cstddef>
#include <cstdint>

#include "core/channels/channel_list.h"
#include "fuzz_check.h"

namespace {

using tornavo::ChannelList;
using tornavo::kBlockSize;

// The last section offered, or a chosen one when it is offered.
class Chooser : public tornavo::SectionChooser {
 public:
  std::optional<int64_t> ChooseSection(const char* tag,
                                       const std::vector<int64_t>& sections) override {
    const int64_t wanted = QByteArray(tag) == tornavo::kChannelTag ? tcs : tpt;
    for (const int64_t p : sections)
      if (p == wanted) return p;
    return wanted < 0 ? std::optional<int64_t>(sections.back()) : std::nullopt;
  }
  int64_t tcs = -1, tpt = -1;
};

void Operate(ChannelList& list, const uint8_t* op, const QByteArray& image) {
  const bool transponders = op[0] & 1;
  const int top = op[1] % 60 + 1;
  const int bottom = top + op[2] % 4;
  const int target = op[3];
  switch (op[0] / 2 % 8) {
    case 0:
      transponders ? list.MoveTransponders(top, bottom, target)
                   : list.MoveChannels(top, bottom, target);
      break;
    case 1:
      transponders ? list.DeleteTransponders(top, bottom) : list.DeleteChannels(top, bottom);
      break;
    case 2: {
      const QString text = list.CopyRows(transponders, top, bottom);
      transponders ? list.PasteTransponders(target, text) : list.PasteChannels(target, text);
      break;
    }
    case 3:
      transponders ? list.DragTransponderRow(top, target % 60 + 1)
                   : list.DragChannelRow(top, target % 60 + 1);
      break;
    case 4:
      list.SetEncryption(top, bottom, (target % 6) * 0x20);
      break;
    case 5:
      list.SetStatusBit(top, bottom, 1 << (target % 4), target & 0x80);
      break;
    case 6:
      transponders ? list.ApplyTransponderTableSize(target & 1 ? 200 : 100)
                   : list.ApplyChannelTableSize(target & 1 ? ChannelList::kLargeChannelRows
                                                           : ChannelList::kSmallChannelRows);
      break;
    case 7: {
      Chooser chooser;
      list.AppendFlashImage(image, chooser);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const size_t operations = data[0] % 16;
  const size_t header = 1 + operations * 4 + 2;
  if (size < header) return 0;
  const QByteArray image(reinterpret_cast<const char*>(data + header),
                         static_cast<qsizetype>(size - header));
  ChannelList list;
  list.ApplyChannelTableSize(data[0] & 0x40 ? ChannelList::kLargeChannelRows
                                            : ChannelList::kSmallChannelRows);
  list.ApplyTransponderTableSize(data[0] & 0x80 ? 200 : 100);
  Chooser chooser;
  if (list.LoadFlashImage(image, chooser) != tornavo::LoadResult::kOk) return 0;
  for (size_t k = 0; k < operations; ++k) Operate(list, data + 1 + k * 4, image);

  const QByteArray held = list.image();
  const int64_t old_tcs = list.tcs_block() + list.tcs_offset();
  const int64_t old_tpt = list.tpt_block() + list.tpt_offset();
  const uint8_t* targets = data + 1 + operations * 4;
  const int64_t tcs_block = targets[0] == 0xFF ? list.tcs_block() : targets[0] * kBlockSize;
  const int64_t tpt_block = targets[1] == 0xFF ? list.tpt_block() : targets[1] * kBlockSize;
  tornavo::ChannelError error;
  if (!list.BuildFlashImage(tcs_block, tpt_block, &error)) {
    FUZZ_CHECK(list.image() == held);
    FUZZ_CHECK(list.tcs_block() + list.tcs_offset() == old_tcs);
    FUZZ_CHECK(list.tpt_block() + list.tpt_offset() == old_tpt);
    return 0;
  }
  // Whole: every record as the tables hold it, read back from the saved image.
  const auto channels = tornavo::ChannelTableRecords(list.channels(), nullptr);
  const auto transponders =
      tornavo::TransponderTableRecords(list.transponders(), list.context(), nullptr);
  FUZZ_CHECK(channels && transponders);
  ChannelList reloaded;
  reloaded.SetContext(list.context());
  reloaded.ApplyChannelTableSize(list.channels().rows());
  reloaded.ApplyTransponderTableSize(list.transponders().rows());
  Chooser live;
  live.tcs = list.tcs_block() + list.tcs_offset();
  live.tpt = list.tpt_block() + list.tpt_offset();
  FUZZ_CHECK(reloaded.LoadFlashImage(list.image(), live) == tornavo::LoadResult::kOk);
  FUZZ_CHECK(reloaded.tcs_block() + reloaded.tcs_offset() == live.tcs);
  FUZZ_CHECK(reloaded.tpt_block() + reloaded.tpt_offset() == live.tpt);
  FUZZ_CHECK(tornavo::ChannelTableRecords(reloaded.channels(), nullptr) == channels);
  FUZZ_CHECK(tornavo::TransponderTableRecords(reloaded.transponders(), reloaded.context(),
                                              nullptr) == transponders);
  return 0;
}
