#include "support/hostile_peer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace tornavo::testing {

const char* PeerFaultName(PeerFault fault) {
  switch (fault) {
    case PeerFault::kNone:
      return "healthy";
    case PeerFault::kStall:
      return "stall";
    case PeerFault::kCut:
      return "cut";
    case PeerFault::kGarbage:
      return "garbage";
    case PeerFault::kFlip:
      return "flip";
  }
  return "?";
}

HostilePeer::HostilePeer(PortRegisters& port, QString path, PeerFault fault, int at)
    : port_(port), path_(std::move(path)), fault_(fault), at_(at) {
  const QByteArray bytes = path_.toLocal8Bit();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, bytes.constData(), std::min<size_t>(bytes.size(), 100));
  listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listen_fd_, 4) != 0) {
    ::close(listen_fd_);
    listen_fd_ = -1;
    return;
  }
  thread_ = std::thread(&HostilePeer::Serve, this);
}

HostilePeer::~HostilePeer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listen_fd_ >= 0) ::close(listen_fd_);
  ::unlink(path_.toLocal8Bit().constData());
}

void HostilePeer::Serve() {
  // One client at a time, as long as it stays; a client that only tries the port and leaves
  // is followed by the one that uses it.
  while (!stop_) {
    pollfd waiting{listen_fd_, POLLIN, 0};
    if (::poll(&waiting, 1, 20) <= 0) continue;
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    ServeClient(fd);
  }
}

void HostilePeer::ServeClient(int fd) {
  QString ignored;
  port_.Acquire(&ignored);
  std::string in;
  while (!stop_) {
    // Stalled, the peer reads nothing more, but still sees the client hang up.
    pollfd ready{fd, static_cast<short>(stalled_ ? 0 : POLLIN), 0};
    if (::poll(&ready, 1, 20) <= 0) continue;
    // Bytes sent just before a hang-up arrive with it: read them before leaving.
    if (!(ready.revents & POLLIN)) {
      if (ready.revents & (POLLHUP | POLLERR)) break;
      continue;
    }
    char buffer[4096];
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    in.append(buffer, static_cast<size_t>(got));
    if (!ServeRequests(fd, in)) break;
  }
  client_closed_ = !stop_ || client_closed_;
  port_.Release();
  ::close(fd);
}

bool HostilePeer::ServeRequests(int fd, std::string& in) {
  size_t at = 0;
  std::string replies;
  while (!stalled_) {
    if (at + 2 > in.size()) break;
    const char kind = in[at];
    const auto reg = static_cast<PortRegister>(static_cast<uint8_t>(in[at + 1]) % 6);
    if (kind == 'W' && at + 3 > in.size()) break;
    const int number = ++requests_;
    // Garbage follows an answer, so it waits for a read; a flip is of a byte the tool sends.
    const bool now = !fired_ && fault_ != PeerFault::kNone && number >= at_ &&
                     (fault_ != PeerFault::kGarbage || kind == 'R') &&
                     (fault_ != PeerFault::kFlip || kind == 'W');
    fired_ = fired_ || now;
    if (now && fault_ == PeerFault::kCut) return false;
    if (now && fault_ == PeerFault::kStall) {
      stalled_ = true;
      break;
    }
    const uint8_t flip = now && fault_ == PeerFault::kFlip ? 0xFF : 0x00;
    if (kind == 'W') {
      port_.Write(reg, static_cast<uint8_t>(in[at + 2]) ^ flip);
      at += 3;
    } else {
      replies.push_back(static_cast<char>(port_.Read(reg)));
      if (now && fault_ == PeerFault::kGarbage) replies.append("\x13\x37\xFF", 3);
      at += 2;
    }
  }
  in.erase(0, at);
  return replies.empty() || ::send(fd, replies.data(), replies.size(), MSG_NOSIGNAL) ==
                                static_cast<ssize_t>(replies.size());
}

}  // namespace tornavo::testing
