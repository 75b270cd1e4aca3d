// Framing cost of a whole-EEPROM write (128 frames of 41 characters) against copying the
// same characters: framing must stay negligible next to the serial line.
#include <benchmark/benchmark.h>

#include <QByteArray>

#include "core/serial/checksum.h"

namespace {

QByteArray RowCommand(int row) {
  return QByteArray("%EE=") + QByteArray::number(row, 16).rightJustified(2, '0').toUpper() +
         "010" + QByteArray(32, 'A');
}

void BM_CopyFrames(benchmark::State& state) {
  for (auto _ : state) {
    for (int row = 0; row < 128; ++row) {
      QByteArray frame = RowCommand(row);
      frame.append("00");
      benchmark::DoNotOptimize(frame);
    }
  }
}
BENCHMARK(BM_CopyFrames);

void BM_AppendChecksum(benchmark::State& state) {
  for (auto _ : state) {
    for (int row = 0; row < 128; ++row) benchmark::DoNotOptimize(tornavo::AppendChecksum(RowCommand(row)));
  }
}
BENCHMARK(BM_AppendChecksum);

}  // namespace

BENCHMARK_MAIN();
