#pragma once

#include <QString>

#include "core/jtag/jtag_session.h"

namespace tornavo {

// The port bracket every JTAG operation runs in: the opening logged on the way in; the port
// flushed and released and the closing logged on the way out, however the operation ends.
// The pages are locked around the whole operation by whoever starts it, not here.
class PortFrame {
 public:
  explicit PortFrame(JtagSession& session) : session_(session) {}
  ~PortFrame() { Close(); }
  PortFrame(const PortFrame&) = delete;
  PortFrame& operator=(const PortFrame&) = delete;

  // False when the port cannot be had: the reason is logged, shown and left in *port_error.
  bool Open(QString* port_error);
  // A port that stopped working during the operation has its own say, named once.
  void ReportFailure();
  // Ends the bracket now rather than at the end of the scope; nothing when not open.
  void Close();
  void Log(const QString& line) { session_.host.AppendLog(LogId::kJtag, line); }

 private:
  JtagSession& session_;
  bool open_ = false;
};

}  // namespace tornavo
