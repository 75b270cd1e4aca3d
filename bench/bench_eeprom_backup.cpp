// "Enviar" of an EEPROM image that differs from the receiver's in three rows, against the
// virtual receiver paced at 9600 bits per second (7 data bits, odd parity, 1 stop bit): the
// backup read plus the three differing rows, against a whole write without a backup. A
// backup read that finds nothing to send gives the time of a whole backup read.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include "core/runtime/clock.h"
#include "core/serial/qt_serial_transport.h"
#include "core/session/service_session.h"
#include "paced_line.h"
#include "ratio_report.h"
#include "sim/virtual_receiver.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

sim::EepromBytes Pattern() {
  sim::EepromBytes bytes{};
  for (int i = 0; i < sim::kEepromSize; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return bytes;
}

// The receiver holds Pattern(); the image holds it with `edited_rows` rows changed.
void RunSend(benchmark::State& state, bool backup, int edited_rows) {
  PacedEepromRig rig;
  if (!rig.Open(state)) return;
  sim::VirtualReceiver& receiver = rig.receiver;
  EepromTransfer& transfer = rig.transfer();
  EepromImage& image = rig.image();
  QEventLoop& loop = rig.loop;
  transfer.SetBackups([backup] { return BackupsWhen(backup); });
  sim::EepromBytes edited = Pattern();
  for (int row = 0; row < edited_rows; ++row) edited[row * 0x2B * 16 % sim::kEepromSize] ^= 0x5A;
  image.PlaceBytes(edited.data(), 0, sim::kEepromSize);

  for (auto _ : state) {
    state.PauseTiming();
    receiver.SetEeprom(Pattern());
    state.ResumeTiming();
    transfer.StartEepromWrite(EepromRange::kAll);
    loop.exec();
    if (transfer.outcome() != TransferOutcome::kDone || receiver.Eeprom() != edited) {
      state.SkipWithError("the write did not complete");
      return;
    }
  }
}

void BM_WholeWriteWithoutBackup(benchmark::State& state) { RunSend(state, false, 3); }
void BM_BackupAndThreeRowWrite(benchmark::State& state) { RunSend(state, true, 3); }
void BM_WholeBackupReadNothingToSend(benchmark::State& state) { RunSend(state, true, 0); }

BENCHMARK(BM_WholeWriteWithoutBackup)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_BackupAndThreeRowWrite)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_WholeBackupReadNothingToSend)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tornavo

int main(int argc, char** argv) {
  // The backups go to a folder of their own, never into the user's data folder.
  QTemporaryDir data_home;
  qputenv("XDG_DATA_HOME", data_home.path().toUtf8());
  QCoreApplication app(argc, argv);
  return bench::RunAndPrintRatios(
      argc, argv,
      {{"BM_BackupAndThreeRowWrite", "BM_WholeWriteWithoutBackup", 1.1},
       {"BM_WholeBackupReadNothingToSend", "BM_WholeWriteWithoutBackup", 0}});
}
