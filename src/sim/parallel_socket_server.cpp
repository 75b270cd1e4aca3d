#include "sim/parallel_socket_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sim/register_requests.h"

namespace tornavo::sim {

namespace {
constexpr int kRequestBuffer = 4096;
}  // namespace

ParallelSocketServer::~ParallelSocketServer() { Stop(); }

bool ParallelSocketServer::Start(const QString& path, QString* error) {
  auto fail = [&](const char* what) {
    if (error)
      *error =
          QStringLiteral("Virtual receiver: %1 %2: %3")
              .arg(QString::fromLatin1(what), path, QString::fromLocal8Bit(std::strerror(errno)));
    if (listen_fd_ >= 0) ::close(listen_fd_);
    listen_fd_ = -1;
    return false;
  };
  const QByteArray bytes = path.toLocal8Bit();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (bytes.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
    errno = ENAMETOOLONG;
    return fail("socket");
  }
  std::memcpy(address.sun_path, bytes.constData(), bytes.size());
  // A socket left by an earlier run is replaced; any other file is not.
  struct stat info {};
  if (::stat(bytes.constData(), &info) == 0 && S_ISSOCK(info.st_mode)) ::unlink(bytes.constData());
  listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) return fail("socket");
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    return fail("bind");
  if (::listen(listen_fd_, 4) != 0) return fail("listen");
  wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd_ < 0) return fail("eventfd");
  path_ = path;
  stop_ = false;
  thread_ = std::thread(&ParallelSocketServer::Serve, this);
  return true;
}

void ParallelSocketServer::Stop() {
  if (!thread_.joinable()) return;
  stop_ = true;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wake_fd_, &one, sizeof one);
  thread_.join();
  ::close(listen_fd_);
  ::close(wake_fd_);
  listen_fd_ = wake_fd_ = -1;
  ::unlink(path_.toLocal8Bit().constData());
}

void ParallelSocketServer::Serve() {
  while (!stop_) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents & POLLIN) break;
    if (!(fds[0].revents & POLLIN)) continue;
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    QString ignored;
    port_.Acquire(&ignored);
    ServeClient(fd);
    port_.Release();
    ::close(fd);
  }
}

void ParallelSocketServer::ServeClient(int fd) {
  unsigned char in[kRequestBuffer];
  int have = 0;
  while (!stop_) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents & POLLIN) return;
    const ssize_t got = ::recv(fd, in + have, sizeof in - have, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    have += static_cast<int>(got);
    const RequestBatch batch = ServeRegisterRequests(port_, in, static_cast<size_t>(have));
    if (!batch.replies.isEmpty() && ::send(fd, batch.replies.constData(), batch.replies.size(),
                                           MSG_NOSIGNAL) != batch.replies.size())
      return;
    if (batch.invalid) return;  // not this protocol
    const int at = static_cast<int>(batch.used);
    std::memmove(in, in + at, have - at);
    have -= at;
  }
}

}  // namespace tornavo::sim
