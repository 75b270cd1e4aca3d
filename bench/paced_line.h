#pragma once

#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QString>
#include <memory>

#include "core/runtime/clock.h"
#include "core/serial/qt_serial_transport.h"
#include "core/session/service_session.h"
#include "sim/virtual_receiver.h"
#include "support/recording_host.h"

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

// An EEPROM transfer over the paced line, with an event loop its end quits.
struct PacedEepromRig {
  sim::VirtualReceiver receiver;
  QtSerialTransport transport;
  testing::RecordingHost host;
  Texts texts;
  SteadyClock clock;
  std::unique_ptr<ServiceSession> session;
  QEventLoop loop;

  // False, with the benchmark skipped, when the line cannot be opened.
  bool Open(benchmark::State& state) {
    if (!OpenPacedLine(receiver, transport, state)) return false;
    session = std::make_unique<ServiceSession>(transport, host, texts, clock);
    transfer().SetOnFinished([this] { loop.quit(); });
    return true;
  }
  EepromTransfer& transfer() { return session->eeprom_transfer(); }
  EepromImage& image() { return session->image(); }
};

}  // namespace tornavo
