#include "sim/pty_client.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "core/serial/checksum.h"

namespace tornavo::sim::testing {

PtyClient::PtyClient(const QString& device) {
  fd_ = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return;
  termios raw{};
  ::tcgetattr(fd_, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(fd_, TCSANOW, &raw);
}

PtyClient::~PtyClient() {
  if (fd_ >= 0) ::close(fd_);
}

void PtyClient::Send(const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd_, bytes.constData() + done, bytes.size() - done);
    if (written <= 0) return;
    done += written;
  }
}

QList<QByteArray> PtyClient::ReadChunks(int quiet_ms) {
  QList<QByteArray> chunks;
  while (chunks.isEmpty() || !chunks.last().endsWith('\r')) {
    pollfd fd{fd_, POLLIN, 0};
    if (::poll(&fd, 1, quiet_ms) <= 0) break;
    char buffer[256];
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got <= 0) break;
    chunks.append(QByteArray(buffer, got));
  }
  return chunks;
}

QByteArray PtyClient::ReadReply(int quiet_ms) { return ReadChunks(quiet_ms).join(); }

QByteArray PtyClient::Ask(const QByteArray& text) {
  Send(AppendChecksum(text));
  return ReadReply();
}

}  // namespace tornavo::sim::testing
