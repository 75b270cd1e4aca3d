#include "sim/shared_cable_port.h"

#include "sim/jtag_target.h"
#include "sim/virtual_receiver.h"

namespace tornavo::sim {

bool SharedCablePort::Acquire(QString* error) {
  {
    std::lock_guard lock(mu_);
    parallel_cable_ = false;
  }
  if (!parallel_.Acquire(error)) return false;
  if (jtag_.Acquire(error)) return true;
  parallel_.Release();
  return false;
}

void SharedCablePort::Release() {
  jtag_.Release();
  parallel_.Release();
}

void SharedCablePort::Route(PortRegister reg) {
  if (reg != PortRegister::kData && reg != PortRegister::kStatus) {
    std::lock_guard lock(mu_);
    parallel_cable_ = true;
  }
}

bool SharedCablePort::on_parallel_cable() const {
  std::lock_guard lock(mu_);
  return parallel_cable_;
}

uint8_t SharedCablePort::Read(PortRegister reg) {
  Route(reg);
  return on_parallel_cable() ? parallel_.Read(reg) : jtag_.Read(reg);
}

void SharedCablePort::Write(PortRegister reg, uint8_t value) {
  Route(reg);
  if (on_parallel_cable()) {
    parallel_.Write(reg, value);
    return;
  }
  jtag_.Write(reg, value);
  parallel_.Write(reg, value);
}

void SharedCablePort::Flush() {
  jtag_.Flush();
  parallel_.Flush();
}

void ShareEeprom(JtagTarget& target, VirtualReceiver& receiver) {
  target.SetEepromAccess([&receiver] { return receiver.Eeprom(); },
                         [&receiver](const EepromBytes& bytes) { receiver.SetEeprom(bytes); });
}

bool ApplyFaults(const QStringList& faults, VirtualReceiver& receiver, JtagTarget& target,
                 QString* unknown) {
  for (const QString& fault : faults) {
    if (!receiver.ApplyFault(fault) && !target.ApplyFault(fault)) {
      *unknown = fault;
      return false;
    }
  }
  return true;
}

}  // namespace tornavo::sim
