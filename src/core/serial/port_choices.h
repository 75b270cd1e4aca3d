#pragma once

#include <QString>
#include <QStringList>

#include "core/app/operation_host.h"
#include "core/serial/serial_transport.h"

namespace tornavo {

// The six serial lists of the configuration page as indexes, and applying each to the port.
// An index outside its list changes nothing.
class PortChoices {
 public:
  static constexpr int kDefaultBaud = 6;      // "9600"
  static constexpr int kDefaultDataBits = 1;  // "7"
  static constexpr int kDefaultParity = 2;    // "Impar"
  static constexpr int kDefaultStopBits = 0;  // "1"
  static constexpr int kDefaultFlow = 1;      // "Software"

  PortChoices(SerialTransport& transport, OperationHost& host);

  // The system's serial devices followed by any extra devices (given on the command line),
  // without repeats.
  void SetPortNames(const QStringList& system_ports, const QStringList& extra_ports);
  const QStringList& port_names() const { return names_; }

  // Choosing a port applies its name (reopening an open port) and opens a closed one; an
  // open failure shows the serial layer's error and leaves the port closed.
  void ApplyPort(int index);
  void ApplyBaud(int index);
  void ApplyDataBits(int index);
  void ApplyParity(int index);
  void ApplyStopBits(int index);
  void ApplyFlow(int index);
  // Applies every list, then opens the port when one is selected (start-up).
  void ApplyAllAndOpen();

  // Opens the port with the current settings; shows the error on failure.
  bool OpenPort();

  int port() const { return port_; }
  int baud() const { return baud_; }
  int data_bits() const { return data_bits_; }
  int parity() const { return parity_; }
  int stop_bits() const { return stop_bits_; }
  int flow() const { return flow_; }
  // Selects without applying (loading stored settings, restoring after a language change).
  void Select(int port, int baud, int data_bits, int parity, int stop_bits, int flow);

 private:
  SerialTransport& transport_;
  OperationHost& host_;
  QStringList names_;
  int port_ = -1;
  int baud_ = kDefaultBaud;
  int data_bits_ = kDefaultDataBits;
  int parity_ = kDefaultParity;
  int stop_bits_ = kDefaultStopBits;
  int flow_ = kDefaultFlow;
};

}  // namespace tornavo
