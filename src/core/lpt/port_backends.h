#pragma once

#include <QString>
#include <memory>

#include "core/lpt/port_locator.h"
#include "core/lpt/port_registers.h"

namespace tornavo {

class VirtualCable;

// Builds the port a locator names: ppdev, direct I/O and socket ports, and the virtual
// receiver's cable when one is lent.
class PortBackends {
 public:
  explicit PortBackends(VirtualCable* cable = nullptr) : cable_(cable) {}

  // Null, with *error, when "virtual" is asked for without a virtual receiver.
  std::unique_ptr<PortRegisters> Make(const PortLocator& locator, QString* error) const;
  // Parses the locator text first; null with *error when it names no port.
  std::unique_ptr<PortRegisters> Open(const QString& locator_text, QString* error) const;

  VirtualCable* virtual_cable() const { return cable_; }

 private:
  VirtualCable* cable_;
};

}  // namespace tornavo
