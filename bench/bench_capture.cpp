// Conversion of one whole captured frame (720 columns, shown unscaled) against copying the
// picture it produces, and the JPEG encoding of the widened picture at the best quality.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QImage>
#include <cstring>
#include <random>
#include <vector>

#include "core/capture/convert_capture.h"
#include "core/capture/frame_layout.h"
#include "core/capture/jpeg_encoder.h"
#include "ratio_report.h"

namespace {

QByteArray NoiseFrame() {
  std::mt19937 random(1);
  QByteArray frame(tornavo::kFullFrameBytes, '\0');
  for (char& b : frame) b = static_cast<char>(random() & 0xFF);
  return frame;
}

void BM_CopyPicture(benchmark::State& state) {
  std::vector<uint8_t> from(720 * 576 * 3, 0x5A), to(720 * 576 * 3);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(from.size()));
}
BENCHMARK(BM_CopyPicture);

void BM_ConvertCapture(benchmark::State& state) {
  const QByteArray frame = NoiseFrame();
  for (auto _ : state) {
    QImage picture = tornavo::ConvertCapture(frame, 720, 576);
    benchmark::DoNotOptimize(picture.constBits());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{720 * 576 * 3});
}
BENCHMARK(BM_ConvertCapture);

void BM_EncodeWideJpeg(benchmark::State& state) {
  const QImage wide = tornavo::ScaleForFormat(tornavo::ConvertCapture(NoiseFrame(), 720, 576),
                                              tornavo::PictureFormat::kWide16x9);
  QByteArray out;
  QString error;
  for (auto _ : state) {
    if (!tornavo::EncodeJpeg(wide, 100, &out, &error)) state.SkipWithError("encoding failed");
    benchmark::DoNotOptimize(out.constData());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_EncodeWideJpeg)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndPrintRatios(argc, argv, {{"BM_ConvertCapture", "BM_CopyPicture", 5.0, true}});
}
