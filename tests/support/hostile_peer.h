#pragma once

#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

#include "core/lpt/port_registers.h"
#include "core/lpt/timing.h"

namespace tornavo::testing {

// How a register socket's far end turns hostile, from one request on.
enum class PeerFault {
  kNone,
  kStall,    // stops answering (and reading), keeps the connection open
  kCut,      // closes the connection
  kGarbage,  // answers the first read from then on with bytes nobody asked for after it
  kFlip,     // delivers the first write from then on with every bit of its value flipped
};
const char* PeerFaultName(PeerFault fault);

// Serves a port's registers on a Unix socket to one client at a time, as the virtual
// receiver's socket does, turning hostile once, at request number at (counted from 1, reads and
// writes alike).
class HostilePeer {
 public:
  HostilePeer(PortRegisters& port, QString path, PeerFault fault, int at);
  ~HostilePeer();  // stops serving

  bool listening() const { return listen_fd_ >= 0; }
  // Requests served so far; whether the client closed its end.
  int requests() const { return requests_; }
  bool client_closed() const { return client_closed_; }

 private:
  void Serve();
  void ServeClient(int fd);
  // Serves whole requests from in; false once the connection should end.
  bool ServeRequests(int fd, std::string& in);

  PortRegisters& port_;
  QString path_;
  PeerFault fault_;
  int at_;
  int listen_fd_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::atomic<bool> client_closed_{false};
  bool stalled_ = false;
  bool fired_ = false;
  std::thread thread_;
};

// A clock for a socket port whose peer stalls: every reading is a second later than the last,
// so a 2 s deadline passes after a few polls, not after two real seconds.
class LeapingClock : public MonotonicClock {
 public:
  uint64_t NowMs() override { return now_ += 1000; }

 private:
  std::atomic<uint64_t> now_{0};
};

}  // namespace tornavo::testing
