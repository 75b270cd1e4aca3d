// The host's own time per byte of the parallel transfer loop, on a register backend that
// only counts accesses, as a share of what the port itself costs per byte: four register
// accesses (status poll, data write, two control writes) at 1 us each. Aim: 2 % or less.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "core/lpt/link_transfer.h"

namespace tornavo {
namespace {

// Always ready: Busy low, nAck high. Counts every access.
class CountingPort : public PortRegisters {
 public:
  bool Acquire(QString*) override { return true; }
  void Release() override {}
  uint8_t Read(PortRegister reg) override {
    ++reads;
    return reg == PortRegister::kStatus ? 0xD8 : control;
  }
  void Write(PortRegister reg, uint8_t value) override {
    ++writes;
    if (reg == PortRegister::kControl) control = value;
  }
  uint64_t reads = 0;
  uint64_t writes = 0;
  uint8_t control = 0x0C;
};

// Answers nothing and shows nothing: only the loop is measured.
class QuietHost : public OperationHost {
 public:
  void AppendLog(LogId, const QString&) override {}
  void Report(StatusPage, const ProgressReport&) override {}
  void ShowError(const QString&) override {}
  void ShowInformation(const QString&) override {}
  void DisablePages() override {}
  void EnablePages() override {}
};

void BM_SendBufferOverLinkPerByte(benchmark::State& state) {
  constexpr int kBytes = 4 << 20;
  constexpr double kPortNsPerByte = 4 * 1000.0;
  LinkTransferRequest request;
  request.buffer = QByteArray(kBytes, '\x5A');
  request.show_progress = true;
  // No pauses: the negotiation with a port that never answers ends at once.
  LinkDelays delays;
  delays.negotiation2_ms = delays.negotiation3_ms = 0;
  delays.close1_ms = delays.close2_ms = 0;
  delays.open1_ms = delays.open2_ms = delays.start_ms = 0;
  delays.strobe = 0;
  SteadyMonotonicClock clock;
  QuietHost host;
  Texts texts;
  QString link_state;
  double total_ns = 0;
  for (auto _ : state) {
    CountingPort port;
    QElapsedTimer timer;
    timer.start();
    const LinkTransferResult result =
        SendBufferOverLink(port, clock, host, texts, delays, link_state, request);
    total_ns += timer.nsecsElapsed();
    if (!result.complete) {
      state.SkipWithError("the transfer did not complete");
      return;
    }
    benchmark::DoNotOptimize(port.reads + port.writes);
  }
  const double ns_per_byte = total_ns / state.iterations() / kBytes;
  state.counters["host_ns_per_byte"] = ns_per_byte;
  state.counters["port_ns_per_byte"] = kPortNsPerByte;
  state.counters["ratio_to_port"] = ns_per_byte / kPortNsPerByte;
}
BENCHMARK(BM_SendBufferOverLinkPerByte)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tornavo

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
