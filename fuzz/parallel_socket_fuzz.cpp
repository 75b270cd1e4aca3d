// The register socket from both ends. The first byte chooses:
// - 0: requests of a socket peer, any bytes at all, served against the virtual receiver's
//   peripheral, which they drive through every state it has;
// - 1: a whole JTAG dump, and 2: a whole IEEE 1284 transfer, through the socket backend to a
//   far end that answers each read with the next byte of the input and hangs up where the
//   input says, or where it runs out.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "core/jtag/jtag_dump.h"
#include "core/lpt/link_transfer.h"
#include "core/lpt/port_locator.h"
#include "core/texts/texts.h"
#include "fuzz_check.h"
#include "quiet_host.h"
#include "sim/parallel_peripheral.h"
#include "sim/register_requests.h"

namespace {

using namespace tornavo;

void ServePeripheral(const uint8_t* data, size_t size) {
  sim::ParallelPeripheral peripheral;
  // The first byte, when there is one, switches faults on, so they are explored too.
  if (size > 0) {
    sim::PeripheralFaults faults;
    faults.data_available = data[0] & 1;
    faults.busy_stuck = data[0] & 2;
    faults.paper_end_after_init = data[0] & 4;
    faults.ack_low_after_byte = (data[0] & 8) ? data[0] >> 4 : -1;
    peripheral.SetFaults(faults);
    peripheral.Expect('D', data[0], 0);
    ++data;
    --size;
  }
  size_t at = 0;
  while (at < size) {
    const sim::RequestBatch batch = sim::ServeRegisterRequests(peripheral, data + at, size - at);
    FUZZ_CHECK(batch.used <= size - at);
    if (batch.invalid || batch.used == 0) break;
    at += batch.used;
  }
  (void)peripheral.Verified('D');
}

// The far end: answers reads with the input's bytes, one each, and hangs up after `cut`
// requests or when the answers run out. A cut of 0 never comes.
class ScriptedFarEnd {
 public:
  ScriptedFarEnd(const QByteArray& answers, uint32_t cut) : answers_(answers), cut_(cut) {
    path_ = QStringLiteral("/tmp/tornavo-socket-fuzz-%1").arg(::getpid());
    ::unlink(path_.toLocal8Bit().constData());
    listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path_.toLocal8Bit();
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    FUZZ_CHECK(::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    FUZZ_CHECK(::listen(listen_fd_, 1) == 0);
    thread_ = std::thread([this] { Serve(); });
  }
  ~ScriptedFarEnd() {
    thread_.join();
    ::close(listen_fd_);
    ::unlink(path_.toLocal8Bit().constData());
  }
  const QString& path() const { return path_; }

 private:
  void Serve() {
    const int fd = ::accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) return;
    uint32_t requests = 0;
    qsizetype next = 0;
    char in[4096];
    size_t have = 0;
    for (;;) {
      const ssize_t got = ::recv(fd, in + have, sizeof in - have, 0);
      if (got <= 0) break;
      have += static_cast<size_t>(got);
      size_t at = 0;
      QByteArray replies;
      bool hang_up = false;
      while (!hang_up && at + 2 <= have && (in[at] != 'W' || at + 3 <= have)) {
        hang_up = ++requests == cut_;
        if (in[at] == 'W') {
          at += 3;
          continue;
        }
        at += 2;
        if (next >= answers_.size()) hang_up = true;
        if (!hang_up) replies.append(answers_[next++]);
      }
      std::memmove(in, in + at, have - at);
      have -= at;
      if (!replies.isEmpty()) ::send(fd, replies.constData(), replies.size(), MSG_NOSIGNAL);
      if (hang_up) break;
    }
    ::close(fd);
  }

  QByteArray answers_;
  uint32_t cut_;
  QString path_;
  int listen_fd_ = -1;
  std::thread thread_;
};

void DumpThroughSocket(const QByteArray& answers, uint32_t cut, uint32_t length) {
  ScriptedFarEnd far_end(answers, cut);
  std::unique_ptr<PortRegisters> port = MakeSocketPort(far_end.path());
  QuietHost host;
  StepClock clock;
  Texts texts;
  JtagState state;
  JtagSession session{*port, clock, host, texts, state, {.tck_cycles = 0, .wait_start_bits = 16}};
  JtagDumpRequest request;
  request.address = 0x40000000;
  request.length = length;
  bool handed_over = false;
  const JtagDumpResult result =
      RunJtagDump(session, request, [&](const JtagDumpResult&) { handed_over = true; });
  FUZZ_CHECK(host.enabled);
  FUZZ_CHECK(result.count <= static_cast<uint32_t>(result.buffer.size()));
  // A success only with every byte read and the port still working to the end.
  FUZZ_CHECK((result.outcome == DumpOutcome::kDone) == handed_over);
  if (handed_over) FUZZ_CHECK(result.count >= RoundedDumpLength(length) && !port->failed());
}

void TransferThroughSocket(const QByteArray& answers, uint32_t cut, int count) {
  ScriptedFarEnd far_end(answers, cut);
  std::unique_ptr<PortRegisters> port = MakeSocketPort(far_end.path());
  QuietHost host;
  StepClock clock;
  Texts texts;
  QString state;
  LinkDelays delays;
  delays.start_ms = 0;
  LinkTransferRequest request;
  request.buffer = QByteArray(count, '\x5A');
  const LinkTransferResult result =
      SendBufferOverLink(*port, clock, host, texts, delays, state, request);
  FUZZ_CHECK(!result.access_refused);
  // Complete only with every byte handed over and the port working to the end.
  if (result.complete) FUZZ_CHECK(result.port_failure.isEmpty() && result.errors < 100);
  if (!result.port_failure.isEmpty()) FUZZ_CHECK(!result.complete);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 3;
  if (mode == 0) {
    ServePeripheral(data + 1, size - 1);
    return 0;
  }
  if (size < 4) return 0;
  // Bytes 1 and 2: the request after which the far end hangs up (0: when answers run out);
  // byte 3: how much to dump or send.
  const uint32_t cut = static_cast<uint32_t>(data[1]) << 8 | data[2];
  const QByteArray answers(reinterpret_cast<const char*>(data + 4),
                           static_cast<qsizetype>(size - 4));
  if (mode == 1)
    DumpThroughSocket(answers, cut, 4u * (1 + data[3] % 16));
  else
    TransferThroughSocket(answers, cut, 1 + data[3] % 32);
  return 0;
}
