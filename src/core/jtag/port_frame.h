#pragma once

#include <QString>

#include "core/jtag/jtag_session.h"

namespace tornavo {

// The port bracket every JTAG operation runs in: the pages locked and the opening logged on
// the way in; the port flushed and released, the closing logged and the pages unlocked on the
// way out, however the operation ends.
class PortFrame {
 public:
  explicit PortFrame(JtagSession& session) : session_(session) {}
  ~PortFrame() { Close(); }
  PortFrame(const PortFrame&) = delete;
  PortFrame& operator=(const PortFrame&) = delete;

  // False when the port cannot be had: the reason is logged, shown, left in *port_error,
  // and the pages are unlocked again.
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
