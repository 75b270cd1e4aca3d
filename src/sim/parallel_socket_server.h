#pragma once

#include <QString>
#include <atomic>
#include <thread>

#include "core/lpt/port_registers.h"

namespace tornavo::sim {

// Serves a port's registers on a Unix stream socket, one client at a time: 'W', register,
// value writes; 'R', register reads answered by one byte. Register numbers above 5 are
// refused by closing the connection. Runs on a thread of its own.
class ParallelSocketServer {
 public:
  explicit ParallelSocketServer(PortRegisters& port) : port_(port) {}
  ~ParallelSocketServer();  // Stops.

  // Creates the socket at path (replacing a stale one) and starts serving.
  bool Start(const QString& path, QString* error);
  void Stop();

 private:
  void Serve();
  void ServeClient(int fd);

  PortRegisters& port_;
  QString path_;
  int listen_fd_ = -1;
  int wake_fd_ = -1;
  std::thread thread_;
  std::atomic<bool> stop_{false};
};

}  // namespace tornavo::sim
