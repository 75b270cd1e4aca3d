#pragma once

#include <memory>

#include "core/serial/qt_serial_transport.h"
#include "core/serial/service_link.h"
#include "core/serial/terminal.h"
#include "core/texts/texts.h"
#include "sim/virtual_receiver.h"
#include "support/recording_host.h"

namespace tornavo::testing {

// A virtual receiver on a real pseudo-terminal, and the tool's link to it through a
// QSerialPort, as the window has them. Pacing is off unless a test turns it on.
struct SimLink {
  SimLink();
  ~SimLink();
  // Reply time-outs shortened by this factor (15000 ms * scale).
  void SetTimeoutScale(double scale) { link.SetTimeoutScale(scale); }

  sim::VirtualReceiver receiver;
  Texts texts;
  RecordingHost host;
  QtSerialTransport transport;
  ServiceLink link{transport, host};
  Terminal terminal{link, host, texts};
  bool ready = false;
  QString error;
};

}  // namespace tornavo::testing
