#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "core/lpt/port_registers.h"
#include "core/settings/flash_chip.h"

namespace tornavo {

// The far end of the "virtual" port: a virtual receiver's JTAG target, lent by whoever runs
// one, so that nothing else needs to know how it is built.
class VirtualCable {
 public:
  virtual ~VirtualCable() = default;
  // What the cable's ports drive; it outlives them.
  virtual PortRegisters& registers() = 0;
  // Lays the target's flash chips out as the settings describe them ([0] firmware, [1] channel
  // list), before an operation that erases or programs them.
  virtual void Follow(const std::array<FlashChipDescription, 2>& chips) = 0;
  // A file holding what the target runs in place of the trap routine, which is never shipped;
  // empty, with *error, when it cannot be written.
  virtual QString TrapStandIn(QString* error) = 0;
};

// A virtual cable of its own for one command, with the given faults switched on; null, with
// the first fault it does not know in *unknown.
using VirtualCableMaker =
    std::function<std::unique_ptr<VirtualCable>(const QStringList& faults, QString* unknown)>;

}  // namespace tornavo
