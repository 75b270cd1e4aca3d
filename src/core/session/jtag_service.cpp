#include "core/session/jtag_service.h"

#include <QCoreApplication>

#include "core/jtag/debug_unit.h"
#include "core/lpt/timing.h"
#include "core/lpt/virtual_cable.h"

namespace tornavo {

JtagTiming JtagService::Timing() const {
  JtagTiming timing;
  timing.tck_cycles = settings_.Int(Key::kDuracionTck);
  timing.wait_start_bits = static_cast<int32_t>(settings_.Int(Key::kWStartBits));
  return timing;
}

uint32_t JtagService::TrapAddress() const {
  return TrapAddressFromText(settings_.Text(Key::kTrapAdr));
}

QStringList JtagService::TrapPlaces(const QString& explicit_file, const PortLocator& locator,
                                    QString* error) const {
  if (!explicit_file.isEmpty()) return {explicit_file};
  VirtualCable* cable = backends_.virtual_cable();
  // The virtual receiver gets its stand-in, never a real routine; a real receiver, on a real
  // port while a virtual one runs beside it, never the stand-in.
  if (cable && locator.kind == PortLocator::Kind::kVirtual) {
    const QString stand_in = cable->TrapStandIn(error);
    return stand_in.isEmpty() ? QStringList() : QStringList{stand_in};
  }
  return TrapFilePlaces(QCoreApplication::applicationDirPath(), settings_.ini_folder());
}

std::shared_ptr<PortRegisters> JtagService::OpenPort(const PortLocator& locator, bool changes_flash,
                                                     QString* error) {
  std::shared_ptr<PortRegisters> port = backends_.Make(locator, error);
  if (port && changes_flash && locator.kind == PortLocator::Kind::kVirtual)
    backends_.virtual_cable()->Follow({settings_.flash_chip(0), settings_.flash_chip(1)});
  return port;
}

std::function<void(OperationHost&)> JtagService::Bind(std::shared_ptr<PortRegisters> port,
                                                      std::function<void(JtagSession&)> operation) {
  return [this, port = std::move(port), timing = Timing(),
          operation = std::move(operation)](OperationHost& host) {
    SteadyMonotonicClock clock;
    JtagSession session{*port, clock, host, texts_, state_, timing};
    operation(session);
  };
}

}  // namespace tornavo
