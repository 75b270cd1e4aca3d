// Loading a catalogue file as large as a file may be (4 MiB, its keys at the far end of one
// long section) and reading a flash type's 1027 keys from it, against reading its bytes.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "core/settings/flash_chip.h"
#include "core/settings/ini_file.h"
#include "ratio_report.h"

namespace {

struct LargeCatalogue {
  LargeCatalogue() {
    QByteArray tail;
    for (int k = 0; k <= 1024; ++k) tail += "block" + QByteArray::number(k) + "=10000\r\n";
    QByteArray bytes = "[Big]\r\n";
    for (int i = 0; bytes.size() + tail.size() + 40 < tornavo::TIniFile32::kMaximumFileSize; ++i)
      bytes += "filler" + QByteArray::number(i) + "=some text\r\n";
    bytes += tail;
    QFile file(dir.filePath("Big.ini"));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
  }
  QTemporaryDir dir;
};

void BM_ReadFileBytes(benchmark::State& state) {
  LargeCatalogue catalogue;
  for (auto _ : state) {
    QFile file(catalogue.dir.filePath("Big.ini"));
    file.open(QIODevice::ReadOnly);
    benchmark::DoNotOptimize(file.readAll());
  }
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

void BM_LoadFlashType(benchmark::State& state) {
  LargeCatalogue catalogue;
  tornavo::FlashChipDescription chip;
  for (auto _ : state) tornavo::LoadFlashType(catalogue.dir.path() + '/', "Big", &chip);
  if (chip.block_offsets[1024] != 0x10000) state.SkipWithError("keys not found");
}
BENCHMARK(BM_LoadFlashType)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndPrintRatios(argc, argv, {{"BM_LoadFlashType", "BM_ReadFileBytes", 0}});
}
