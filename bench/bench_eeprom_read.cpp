// A whole-EEPROM read against the virtual receiver paced at 9600 bits per second, 7 data
// bits, odd parity, 1 stop bit, reported as the ratio of the measured time to the time the
// characters alone take on the line (10 bit times each). 1.00 is the line limit.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include "core/runtime/clock.h"
#include "core/serial/qt_serial_transport.h"
#include "core/session/service_session.h"
#include "paced_line.h"
#include "sim/virtual_receiver.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

void BM_WholeEepromReadAt9600(benchmark::State& state) {
  PacedEepromRig rig;
  if (!rig.Open(state)) return;
  const PortSettings line;  // the line OpenPacedLine opened
  sim::VirtualReceiver& receiver = rig.receiver;
  testing::RecordingHost& host = rig.host;
  EepromTransfer& transfer = rig.transfer();
  QEventLoop& loop = rig.loop;

  double measured_s = 0;
  qint64 characters = 0;
  for (auto _ : state) {
    receiver.ClearReceivedFrames();
    host.logs = {};
    QElapsedTimer timer;
    timer.start();
    transfer.StartEepromRead(EepromRange::kAll);
    loop.exec();
    measured_s += timer.nsecsElapsed() / 1e9;
    if (transfer.outcome() != TransferOutcome::kDone) {
      state.SkipWithError("the read did not complete");
      return;
    }
    for (const QByteArray& frame : receiver.ReceivedFrames()) characters += frame.size();
    // Every reply reached the EEPROM log after its request.
    const QStringList& log = host.Log(LogId::kEeprom);
    for (int i = 1; i < log.size(); i += 2) characters += log[i].toLatin1().size();
  }
  const double line_s = characters * line.BitsPerCharacter() / static_cast<double>(line.baud);
  state.counters["line_limit_s"] = line_s / state.iterations();
  state.counters["measured_s"] = measured_s / state.iterations();
  state.counters["ratio_to_line_limit"] = measured_s / line_s;
}
BENCHMARK(BM_WholeEepromReadAt9600)->Iterations(2)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tornavo

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
