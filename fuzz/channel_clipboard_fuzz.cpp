// Any clipboard text pasted into both tables: the kind test, the row splitting and both paste
// operations must keep the tables' shape, and undo must bring the loaded tables back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/channels/channel_list.h"
#include "core/channels/clipboard_text.h"

namespace {

class FirstSection : public tornavo::SectionChooser {
 public:
  std::optional<int64_t> ChooseSection(const char*, const std::vector<int64_t>& sections) override {
    return sections.front();
  }
};

// A small image with both tables and a few rows in use.
QByteArray Image() {
  QByteArray image(0x20000, '\0');
  for (const auto& [at, tag, records, size] :
       {std::tuple{0, "TCS", 999, 30}, std::tuple{0x10000, "TPT", 99, 12}}) {
    image.replace(at + 32, 3, tag);
    image.replace(at + 48, 3, tag);
    for (int r = 0; r < 5 && r < records; ++r) {
      const qsizetype record = at + 68 + r * size;
      image[record] = static_cast<char>('A' + r);
      image[record + 5] = static_cast<char>(r + 1);
      image[record + 17] = static_cast<char>(r % 3 + 1);
    }
  }
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const QByteArray image = Image();
  tornavo::ChannelList list;
  FirstSection chooser;
  if (list.LoadFlashImage(image, chooser) != tornavo::LoadResult::kOk) std::abort();
  const tornavo::TextGrid channels = list.channels();
  const tornavo::TextGrid transponders = list.transponders();
  const int top = data[0];
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  tornavo::ClipboardKind(text);
  list.PasteChannels(top, text);
  list.PasteTransponders(top % 100, text);
  if (list.channels().rows() != channels.rows() ||
      list.transponders().rows() != transponders.rows())
    std::abort();
  tornavo::ChannelError error;
  list.BuildFlashImage(list.tcs_block(), list.tpt_block(), &error);
  while (list.Undo()) {
  }
  if (!(list.channels() == channels) || !(list.transponders() == transponders)) std::abort();
  return 0;
}
