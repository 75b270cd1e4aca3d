// The JTAG driver's own cost per TCK clock, apart from the port accesses it makes, on a
// backend that only counts them: the clock loop is timed against a loop making the same
// accesses (one status read, three data writes) through the same interface, and the
// difference per clock is reported. The aim is at most 20 ns, 2 % of a 1 us port access.
// A whole 0x50000-byte flash dump against the in-process virtual target reports register
// accesses per byte and its time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "core/jtag/debug_unit.h"
#include "core/lpt/step_clock.h"
#include "sim/jtag_target.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

using Clock = std::chrono::steady_clock;

// Counts accesses and keeps the last value, nothing else.
class CountingPort : public PortRegisters {
 public:
  bool Acquire(QString*) override { return true; }
  void Release() override {}
  uint8_t Read(PortRegister) override {
    ++reads;
    return static_cast<uint8_t>(reads & 0x10);
  }
  void Write(PortRegister, uint8_t value) override {
    ++writes;
    last = value;
  }
  uint64_t reads = 0;
  uint64_t writes = 0;
  uint8_t last = 0;
};

// Forwards to the virtual target and counts.
class CountingForward : public PortRegisters {
 public:
  explicit CountingForward(PortRegisters& inner) : inner_(inner) {}
  bool Acquire(QString* error) override { return inner_.Acquire(error); }
  void Release() override { inner_.Release(); }
  uint8_t Read(PortRegister reg) override {
    ++accesses;
    return inner_.Read(reg);
  }
  void Write(PortRegister reg, uint8_t value) override {
    ++accesses;
    inner_.Write(reg, value);
  }
  uint64_t accesses = 0;

 private:
  PortRegisters& inner_;
};

void BM_TckClockOverAccesses(benchmark::State& state) {
  constexpr int kClocks = 1 << 16;
  CountingPort port;
  JtagState jtag;
  JtagTiming timing;
  TapDriver tap(port, jtag, timing);
  // Through a pointer the compiler cannot see through, as the driver reaches the port.
  PortRegisters* registers = &port;
  benchmark::DoNotOptimize(registers);
  double clock_ns = 0;
  double access_ns = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    bool tdo = false;
    for (int i = 0; i < kClocks; ++i) tdo ^= tap.JtagClock(false, (i & 1) != 0, true);
    benchmark::DoNotOptimize(tdo);
    clock_ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();

    start = Clock::now();
    uint8_t seen = 0;
    for (int i = 0; i < kClocks; ++i) {
      seen ^= registers->Read(PortRegister::kStatus);
      const uint8_t v = (i & 1) ? 0x04 : 0x00;
      registers->Write(PortRegister::kData, v);
      registers->Write(PortRegister::kData, v | 0x02);
      registers->Write(PortRegister::kData, v);
    }
    benchmark::DoNotOptimize(seen);
    access_ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  }
  const double clocks = static_cast<double>(state.iterations()) * kClocks;
  state.counters["ns_per_clock"] = clock_ns / clocks;
  state.counters["ns_accesses_alone"] = access_ns / clocks;
  state.counters["ns_driver_per_clock"] = (clock_ns - access_ns) / clocks;
  state.counters["ratio_to_accesses"] = clock_ns / access_ns;
}
BENCHMARK(BM_TckClockOverAccesses)->Unit(benchmark::kMillisecond);

void BM_FlashDumpFromVirtualTarget(benchmark::State& state) {
  constexpr uint32_t kLength = 0x50000;
  constexpr uint32_t kFlash = 0x7FE00000;
  sim::JtagTarget target;
  CountingForward port(target);
  JtagState jtag;
  JtagTiming timing;  // the defaults: DuracionTCK 0, WStartBits 1024
  testing::StepClock clock;
  testing::RecordingHost host;
  Texts texts;
  TapDriver tap(port, jtag, timing);
  DebugUnit unit(tap, clock, host, texts);
  std::vector<uint8_t> buffer(kLength + 1);
  double seconds = 0;
  for (auto _ : state) {
    port.accesses = 0;
    const auto start = Clock::now();
    const uint32_t n = unit.ReadRangeWithProgress(buffer, kFlash, kLength);
    seconds += std::chrono::duration<double>(Clock::now() - start).count();
    if (n != kLength) {
      state.SkipWithError("the dump stopped early");
      return;
    }
  }
  state.counters["accesses_per_byte"] = static_cast<double>(port.accesses) / kLength;
  state.counters["seconds"] = seconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FlashDumpFromVirtualTarget)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tornavo

BENCHMARK_MAIN();
