#pragma once

#include <benchmark/benchmark.h>

#include <QString>

#include "core/serial/qt_serial_transport.h"
#include "sim/virtual_receiver.h"

namespace tornavo {

// Starts the virtual receiver paced at 9600 bits per second, 7 data bits, odd parity, 1 stop
// bit, and opens the serial line to it. False, with the benchmark skipped, when either fails.
inline bool OpenPacedLine(sim::VirtualReceiver& receiver, QtSerialTransport& transport,
                          benchmark::State& state) {
  receiver.SetLineSettings(PortSettings{});  // 9600 7O1
  receiver.SetPacing(true);
  QString error;
  if (receiver.Start(&error)) {
    transport.SetPortName(receiver.device_path());
    if (transport.Open(&error)) return true;
  }
  state.SkipWithError(error.toStdString().c_str());
  return false;
}

}  // namespace tornavo
