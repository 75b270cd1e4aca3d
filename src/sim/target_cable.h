#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "core/lpt/virtual_cable.h"
#include "sim/jtag_target.h"

namespace tornavo::sim {

// The virtual JTAG target at the end of the "virtual" port.
class TargetCable : public VirtualCable {
 public:
  // How Follow treats what a chip holds.
  enum class Chips {
    // A chip keeps its bytes while its start and size stay (the window's receiver, which lives
    // as long as the window).
    kKeepBytes,
    // Each chip is laid out new and erased (a target that lives for one command).
    kErased,
  };
  // registers: what the cable drives, the target itself or a port it shares with the
  // receiver's own cable. Both must outlive the cable.
  TargetCable(JtagTarget& target, PortRegisters& registers, Chips chips);

  PortRegisters& registers() override { return registers_; }
  void Follow(const std::array<FlashChipDescription, 2>& chips) override;
  // Written once, into a folder that lives as long as the cable.
  QString TrapStandIn(QString* error) override;

 private:
  JtagTarget& target_;
  PortRegisters& registers_;
  Chips chips_;
  std::unique_ptr<QTemporaryDir> stand_in_dir_;
  QString stand_in_;
};

// The command line's "--parallel virtual": a target of its own whose chips start erased, with
// the faults switched on. Null, with the first fault the target does not know in *unknown.
std::unique_ptr<VirtualCable> MakeCommandTargetCable(const QStringList& faults, QString* unknown);

}  // namespace tornavo::sim
