#include "core/jtag/port_frame.h"

#include "core/jtag/jtag_texts.h"
#include "core/lpt/port_registers.h"

namespace tornavo {

bool PortFrame::Open(QString* port_error) {
  Log(session_.texts.Slot(jtag_slot::kOpeningPort));
  if (!session_.port.Acquire(port_error)) {
    Log(*port_error);
    session_.host.ShowError(
        PortRefusedText(session_.texts.Slot(jtag_slot::kPortNotOpened), *port_error));
    return false;
  }
  open_ = true;
  return true;
}

void PortFrame::ReportFailure() {
  session_.port.Flush();
  if (!session_.port.failed()) return;
  session_.host.Log(LogId::kJtag, LogLevel::kFailure, session_.port.failure());
}

void PortFrame::Close() {
  if (!open_) return;
  open_ = false;
  Log(session_.texts.Slot(jtag_slot::kClosingPort));
  session_.port.Flush();
  session_.port.Release();
}

}  // namespace tornavo
