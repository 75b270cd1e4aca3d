// Received bytes, in pieces of any size, through the service link to every reply handler:
// the EEPROM read, write and verify over each range, the terminal and the firmware codes.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

#include "core/runtime/clock.h"
#include "core/session/service_session.h"
#include "fuzz_check.h"

using namespace tornavo;

namespace {

// The far end is the fuzzer: it hands over the pieces; what the link writes is counted.
class PieceTransport : public SerialTransport {
 public:
  void SetPortName(const QString&) override {}
  void SetBaudRate(int) override {}
  void SetDataBits(int) override {}
  void SetParity(Parity) override {}
  void SetStopBits(int) override {}
  void SetFlowControl(FlowControl) override {}
  PortSettings settings() const override { return {}; }
  bool Open(QString*) override { return true; }
  bool IsOpen() const override { return true; }
  void Close() override {}
  bool Write(const QByteArray& bytes, QString*) override {
    // Every request stays inside the EEPROM's rows 00 ... 7F.
    if (bytes.startsWith("%EE")) {
      bool ok = false;
      const int row = bytes.mid(4, 2).toInt(&ok, 16);
      FUZZ_CHECK(ok && row >= 0 && row < kEepromRows);
    }
    ++writes;
    return true;
  }
  QByteArray ReadAll() override {
    QByteArray out;
    out.swap(pending);
    return out;
  }
  void Deliver(const QByteArray& piece) {
    pending += piece;
    emit BytesReceived();
  }

  QByteArray pending;
  int writes = 0;
};

class QuietHost : public OperationHost {
 public:
  void AppendLog(LogId, const QString&) override {}
  void Report(StatusPage, const ProgressReport&) override {}
  void ShowError(const QString&) override { ++boxes; }
  void ShowInformation(const QString&) override { ++boxes; }
  void DisablePages() override { enabled = false; }
  void EnablePages() override { enabled = true; }
  int boxes = 0;
  bool enabled = true;
};

class StillClock : public Clock {
 public:
  uint32_t NowMs() override { return now += 7; }
  uint32_t now = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const Texts texts;
  PieceTransport transport;
  QuietHost host;
  StillClock clock;
  ServiceSession session(transport, host, texts, clock);
  EepromImage& image = session.image();
  ServiceLink& link = session.link();
  Terminal& terminal = session.terminal();
  EepromTransfer& transfer = session.eeprom_transfer();

  // First byte: the operation; second: the piece length pattern; the rest: what arrives.
  const int choice = data[0] % 12;
  const int piece_seed = data[1];
  image.set_selected_row(data[0] / 12 % (kEepromRows + 1));
  const EepromRange range = static_cast<EepromRange>(choice % 3);
  if (choice < 3) {
    transfer.StartEepromRead(range);
  } else if (choice < 6) {
    transfer.StartEepromWrite(range);
  } else if (choice < 9) {
    transfer.StartEepromVerify(range);
  } else if (choice == 9) {
    terminal.Submit(QStringLiteral("%EE?00010"));
  } else if (choice == 10) {
    session.parallel_check().Start();
  } else {
    // Replies under the upgrade's code while no upgrade runs.
    link.Begin(opcode::kFirmware);
    link.SendServiceCommand("%DL?");
  }
  const bool read = choice < 3;

  size_t at = 2;
  int step = 0;
  while (at < size) {
    const size_t length = std::min<size_t>(size - at, 1 + (piece_seed * 31 + step * 17) % 97);
    transport.Deliver(
        QByteArray(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(length)));
    at += length;
    ++step;
  }
  // A read stores only whole rows of hex digits.
  if (read)
    for (int a = 0; a < kEepromBytes; ++a) FUZZ_CHECK(IsValidCellText(image.CellAt(a)));
  // An ended transfer has given the pages back.
  if (choice < 9 && !transfer.running()) FUZZ_CHECK(host.enabled);
  return 0;
}
