#pragma once

#include <QString>
#include <QStringList>
#include <mutex>

#include "core/lpt/port_registers.h"

namespace tornavo::sim {

class JtagTarget;
class VirtualReceiver;

// The virtual receiver's one parallel port with both cables behind it: the JTAG adapter and
// the receiver's own IEEE 1284 cable. The JTAG adapter uses only the data register and the
// Select line; every 1284 operation reaches the control register before it reads a status
// line. So each acquisition starts on the JTAG cable, and its first access to a control
// register (base + 2 or the extended ones) moves it to the 1284 cable until release. Data
// writes reach both cables until then, only the 1284 cable after.
class SharedCablePort : public PortRegisters {
 public:
  SharedCablePort(PortRegisters& jtag, PortRegisters& parallel)
      : jtag_(jtag), parallel_(parallel) {}

  bool Acquire(QString* error) override;
  void Release() override;
  uint8_t Read(PortRegister reg) override;
  void Write(PortRegister reg, uint8_t value) override;
  void Flush() override;

  bool on_parallel_cable() const;

 private:
  void Route(PortRegister reg);

  PortRegisters& jtag_;
  PortRegisters& parallel_;
  mutable std::mutex mu_;
  bool parallel_cable_ = false;
};

// Makes the JTAG target's trap read and write the receiver's EEPROM, the one the serial side
// serves. The receiver must outlive the target's use of it.
void ShareEeprom(JtagTarget& target, VirtualReceiver& receiver);

// Switches on each fault on the side that knows it. False, with the first fault neither side
// knows in unknown, when one is not known; the faults before it stay switched on.
bool ApplyFaults(const QStringList& faults, VirtualReceiver& receiver, JtagTarget& target,
                 QString* unknown);

}  // namespace tornavo::sim
