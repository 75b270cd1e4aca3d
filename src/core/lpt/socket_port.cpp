// The registers of a port served by another process over a Unix stream socket: a write is
// 'W', register, value with no answer; a read is 'R', register, answered by one byte. Writes
// are batched until the next read, wait or release.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "core/lpt/port_locator.h"

namespace tornavo {

namespace {

// How often a wait looks at the clock: a deadline is seen within this much of passing.
constexpr int kPollSliceMs = 25;

class SocketPort : public PortRegisters {
 public:
  SocketPort(QString path, MonotonicClock* clock, int64_t deadline_ms)
      : path_(std::move(path)), clock_(clock ? clock : &own_clock_), deadline_ms_(deadline_ms) {}
  ~SocketPort() override { Release(); }

  bool Acquire(QString* error) override {
    Release();
    failure_.clear();
    const QByteArray path = path_.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
      if (error) *error = QStringLiteral("%1: the socket path is too long.").arg(path_);
      return false;
    }
    std::memcpy(address.sun_path, path.constData(), path.size());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      if (error)
        *error = QStringLiteral("%1: cannot connect to the parallel port: %2")
                     .arg(path_, QString::fromLocal8Bit(std::strerror(errno)));
      Close();
      return false;
    }
    return true;
  }

  void Release() override {
    Flush();
    Close();
  }

  uint8_t Read(PortRegister reg) override {
    // A byte already waiting answers nothing this port asked.
    if (!NothingWaiting()) return 0xFF;
    pending_.push_back('R');
    pending_.push_back(static_cast<char>(reg));
    Send();
    unsigned char answer = 0xFF;
    while (fd_ >= 0) {
      const ssize_t got = ::recv(fd_, &answer, 1, MSG_DONTWAIT);
      if (got == 1) return answer;
      if (got == 0) {
        Fail(QStringLiteral("the far end closed the connection"));
      } else if (errno == EINTR) {
        continue;
      } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
        FailWithErrno();
      } else if (WaitReady(POLLIN)) {
        continue;
      }
      break;
    }
    return 0xFF;
  }

  void Write(PortRegister reg, uint8_t value) override {
    if (fd_ < 0) return;
    pending_.push_back('W');
    pending_.push_back(static_cast<char>(reg));
    pending_.push_back(static_cast<char>(value));
    if (pending_.size() >= 4096) Send();
  }

  void Flush() override {
    Send();
    NothingWaiting();
  }

  bool failed() const override { return !failure_.isEmpty(); }
  QString failure() const override { return failure_; }

 private:
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pending_.clear();
  }

  // The first failure is the one reported; the port is closed with it.
  void Fail(const QString& why) {
    if (failure_.isEmpty()) failure_ = QStringLiteral("socket:%1: %2").arg(path_, why);
    Close();
  }
  void FailWithErrno() { Fail(QString::fromLocal8Bit(std::strerror(errno))); }

  // Waits for the socket to take or give bytes, up to the deadline.
  bool WaitReady(short events) {
    const uint64_t deadline = clock_->NowMs() + static_cast<uint64_t>(deadline_ms_);
    for (;;) {
      const uint64_t now = clock_->NowMs();
      if (now > deadline) {
        Fail(QStringLiteral("no answer from the far end within %1 ms").arg(deadline_ms_));
        return false;
      }
      pollfd ready{fd_, events, 0};
      const int slice = static_cast<int>(std::min<uint64_t>(deadline - now + 1, kPollSliceMs));
      const int result = ::poll(&ready, 1, slice);
      // Readiness includes a hang-up or an error: the call that follows tells which.
      if (result > 0) return true;
      if (result < 0 && errno != EINTR) {
        FailWithErrno();
        return false;
      }
    }
  }

  void Send() {
    size_t sent = 0;
    while (fd_ >= 0 && sent < pending_.size()) {
      const ssize_t n =
          ::send(fd_, pending_.data() + sent, pending_.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) {
        sent += static_cast<size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        if (!WaitReady(POLLOUT)) return;
      } else {
        FailWithErrno();
        return;
      }
    }
    pending_.clear();
  }

  // True when nothing has arrived that no read asked for, and the far end is still there.
  bool NothingWaiting() {
    if (fd_ < 0) return false;
    char byte;
    const ssize_t got = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
    if (got > 0)
      Fail(QStringLiteral("the far end sent bytes no read asked for"));
    else if (got == 0)
      Fail(QStringLiteral("the far end closed the connection"));
    else
      FailWithErrno();
    return false;
  }

  QString path_;
  SteadyMonotonicClock own_clock_;
  MonotonicClock* clock_;
  int64_t deadline_ms_;
  int fd_ = -1;
  std::string pending_;
  QString failure_;
};

}  // namespace

std::unique_ptr<PortRegisters> MakeSocketPort(const QString& path, MonotonicClock* clock,
                                              int64_t deadline_ms) {
  return std::make_unique<SocketPort>(path, clock, deadline_ms);
}

}  // namespace tornavo
