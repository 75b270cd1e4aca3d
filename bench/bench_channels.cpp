// The section search over a 2 MiB flash image and a whole image build (2002 channels, 199
// transponders, records written and superseded sections searched for) against copying the
// image once. Both should stay within a few copies: a save or a send must feel instant.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QRandomGenerator>
#include <cstring>
#include <map>
#include <string>

#include "core/channels/channel_list.h"
#include "core/channels/test_images.h"

namespace {

constexpr qsizetype kImageSize = 0x200000;

// Firmware-like random bytes with the two sections near the end, as in a receiver's flash.
QByteArray Image() {
  QByteArray image(kImageSize, '\0');
  QRandomGenerator random(11);
  random.fillRange(reinterpret_cast<quint32*>(image.data()), image.size() / 4);
  tornavo::test::PutSection(image, 0x1E0100, tornavo::kChannelTag,
                            tornavo::test::Channels(tornavo::test::NumberedChannels(2002, 199)),
                            tornavo::kChannelRecordSize, 2002);
  tornavo::test::PutSection(image, 0x1D0000, tornavo::kTransponderTag,
                            tornavo::test::Transponders(tornavo::test::NumberedTransponders(199)),
                            tornavo::kTransponderRecordSize, 199);
  return image;
}

const QByteArray& SharedImage() {
  static const QByteArray image = Image();
  return image;
}

class FirstSection : public tornavo::SectionChooser {
 public:
  std::optional<int64_t> ChooseSection(const char*, const std::vector<int64_t>& s) override {
    return s.front();
  }
};

void BM_CopyImage(benchmark::State& state) {
  const QByteArray& image = SharedImage();
  QByteArray target(image.size(), '\0');
  for (auto _ : state) {
    std::memcpy(target.data(), image.constData(), static_cast<size_t>(image.size()));
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyImage);

void BM_FindTableSection(benchmark::State& state) {
  const QByteArray& image = SharedImage();
  for (auto _ : state) benchmark::DoNotOptimize(tornavo::FindTableSection("TCS", 0, image));
}
BENCHMARK(BM_FindTableSection);

void BM_BuildFlashImage(benchmark::State& state) {
  tornavo::ChannelList list;
  list.ApplyChannelTableSize(tornavo::ChannelList::kLargeChannelRows);
  list.ApplyTransponderTableSize(200);
  FirstSection chooser;
  if (list.LoadFlashImage(SharedImage(), chooser) != tornavo::LoadResult::kOk) {
    state.SkipWithError("no tables");
    return;
  }
  tornavo::ChannelError error;
  for (auto _ : state) {
    if (!list.BuildFlashImage(list.tcs_block(), list.tpt_block(), &error)) {
      state.SkipWithError("build failed");
      return;
    }
    benchmark::DoNotOptimize(list.image().constData());
  }
}
BENCHMARK(BM_BuildFlashImage);

// Prints each benchmark's time as a multiple of the image copy measured in the same run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double copy = times_["BM_CopyImage"];
    if (copy <= 0) return;
    for (const char* name : {"BM_FindTableSection", "BM_BuildFlashImage"})
      if (times_.count(name)) std::printf("%s / BM_CopyImage = %.2f\n", name, times_[name] / copy);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
