#pragma once

#include <QString>
#include <QStringList>

#include "core/runtime/operation_host.h"
#include "core/serial/serial_transport.h"

namespace tornavo {

class Settings;

// The six serial lists of the configuration page, and applying each to the port. The
// selections live in the settings (keys Puerto, Velocidad, BitsDatos, Paridad, BitsParada,
// ControlFlujo): a choice is stored there the moment it is applied. An index outside its
// list changes nothing.
class PortChoices {
 public:
  PortChoices(SerialTransport& transport, OperationHost& host, Settings& settings);

  // The system's serial devices followed by any extra devices (given on the command line),
  // without repeats; the settings take the same list.
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
  // Applies every selection to the port, without opening it ("Valores por Defecto").
  void ApplyAll();
  // Applies every selection, then opens the port when one is selected (start-up).
  void ApplyAllAndOpen();

  // Opens the port with the current settings; shows the error on failure.
  bool OpenPort();

  // The selected indexes, -1 for none.
  int port() const;
  int baud() const;
  int data_bits() const;
  int parity() const;
  int stop_bits() const;
  int flow() const;
  // Selects without applying (a port given on the command line, a list that arrived late).
  void Select(int port, int baud, int data_bits, int parity, int stop_bits, int flow);

 private:
  SerialTransport& transport_;
  OperationHost& host_;
  Settings& settings_;
  QStringList names_;
};

}  // namespace tornavo
