#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tornavo::sim::testing {

// The tool's end of the line, as a raw file descriptor on the slave device.
class PtyClient {
 public:
  explicit PtyClient(const QString& device);
  ~PtyClient();
  PtyClient(const PtyClient&) = delete;
  PtyClient& operator=(const PtyClient&) = delete;

  bool is_open() const { return fd_ >= 0; }
  void Send(const QByteArray& bytes);
  // Reads until the received text ends with a carriage return or nothing comes for
  // `quiet_ms`; each element is what one read returned.
  QList<QByteArray> ReadChunks(int quiet_ms = 2000);
  // The chunks joined.
  QByteArray ReadReply(int quiet_ms = 2000);
  // Sends a command text with its checksum and returns the reply.
  QByteArray Ask(const QByteArray& text);

 private:
  int fd_ = -1;
};

}  // namespace tornavo::sim::testing
