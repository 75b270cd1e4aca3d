// Any bytes as a flash image: the section search, the record readers, an appended image and
// the image builder with its wipes must neither crash nor read or write out of bounds.
#include <cstddef>
#include <cstdint>

#include "core/channels/channel_list.h"

namespace {

class LastSection : public tornavo::SectionChooser {
 public:
  std::optional<int64_t> ChooseSection(const char*, const std::vector<int64_t>& sections) override {
    return sections.back();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray image(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  tornavo::ChannelList list;
  LastSection chooser;
  if (list.LoadFlashImage(image, chooser) != tornavo::LoadResult::kOk) return 0;
  list.AppendFlashImage(image, chooser);
  tornavo::ChannelError error;
  list.BuildFlashImage(list.tcs_block(), list.tpt_block(), &error);
  // Moving both tables to the first block the image holds whole exercises the moves.
  list.BuildFlashImage(0, tornavo::kBlockSize, &error);
  return 0;
}
