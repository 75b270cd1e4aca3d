// The registers of a port served by another process over a Unix stream socket: a write is
// 'W', register, value with no answer; a read is 'R', register, answered by one byte.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/lpt/port_locator.h"

namespace tornavo {

namespace {

class SocketPort : public PortRegisters {
 public:
  explicit SocketPort(QString path) : path_(std::move(path)) {}
  ~SocketPort() override { Release(); }

  bool Acquire(QString* error) override {
    Release();
    const QByteArray path = path_.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
      if (error) *error = QStringLiteral("%1: the socket path is too long.").arg(path_);
      return false;
    }
    std::memcpy(address.sun_path, path.constData(), path.size());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
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
    pending_.push_back('R');
    pending_.push_back(static_cast<char>(reg));
    Flush();
    unsigned char value = 0xFF;
    while (fd_ >= 0) {
      const ssize_t got = ::recv(fd_, &value, 1, 0);
      if (got == 1) break;
      if (got < 0 && errno == EINTR) continue;
      // The far end has gone: the port reads as nothing attached.
      Close();
      value = 0xFF;
    }
    return value;
  }

  // Batched: the bytes leave with the next read, wait or release.
  void Write(PortRegister reg, uint8_t value) override {
    pending_.push_back('W');
    pending_.push_back(static_cast<char>(reg));
    pending_.push_back(static_cast<char>(value));
    if (pending_.size() >= 4096) Flush();
  }

  void Flush() override {
    size_t sent = 0;
    while (fd_ >= 0 && sent < pending_.size()) {
      const ssize_t n = ::send(fd_, pending_.data() + sent, pending_.size() - sent, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        Close();
        break;
      }
      sent += static_cast<size_t>(n);
    }
    pending_.clear();
  }

 private:
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  QString path_;
  int fd_ = -1;
  std::string pending_;
};

}  // namespace

std::unique_ptr<PortRegisters> MakeSocketPort(const QString& path) {
  return std::make_unique<SocketPort>(path);
}

}  // namespace tornavo
