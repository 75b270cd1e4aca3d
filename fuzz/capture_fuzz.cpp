// The frame converter over any bytes of any length, at any size: both colour stages must
// agree, and the shown picture is built for every setting.
#include <cstddef>
#include <cstdint>

#include "core/capture/convert_capture.h"
#include "fuzz_check.h"

using namespace tornavo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // Small sizes keep the fuzzer fast; the receiver's own sizes come up now and then.
  static constexpr int kWidths[] = {352, 528, 544, 704, 720};
  const bool real = (data[0] & 0xF8) == 0xF8;
  const int width = real ? kWidths[data[1] % 5] : (data[1] % 80) - 2;
  const int height = real ? 576 : (data[2] % 40) - 2;
  const uint8_t* bytes = data + 3;
  const qsizetype length = static_cast<qsizetype>(size - 3);

  const QImage fastest = ConvertCapture(bytes, length, width, height, ColourPath::kFastest);
  const QImage portable = ConvertCapture(bytes, length, width, height, ColourPath::kPortable);
  FUZZ_CHECK(fastest == portable);
  const bool valid =
      width >= 1 && width <= kMaxCaptureSide && height >= 1 && height <= kMaxCaptureSide;
  FUZZ_CHECK(fastest.isNull() != valid);
  if (valid) FUZZ_CHECK(fastest.width() == width && fastest.height() == height);

  if (real) {
    PictureOptions options;
    options.capture_width = width;
    options.format = static_cast<PictureFormat>(data[0] % 3);
    const QImage shown =
        MakeShownPicture(QByteArray(reinterpret_cast<const char*>(bytes), length), options);
    FUZZ_CHECK(!shown.isNull());
  }
  return 0;
}
