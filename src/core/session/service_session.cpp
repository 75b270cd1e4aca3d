#include "core/session/service_session.h"

namespace tornavo {

ServiceSession::ServiceSession(SerialTransport& transport, OperationHost& host, const Texts& texts,
                               Clock& clock, std::unique_ptr<BlockingRunner> runner)
    : link_(transport, host),
      terminal_(link_, host, texts),
      eeprom_transfer_(link_, host, texts, image_, clock),
      runner_(runner ? std::move(runner) : std::make_unique<InlineRunner>(host)),
      firmware_upgrade_(
          std::make_unique<FirmwareUpgrade>(link_, host, texts, *runner_, port_clock_)),
      parallel_check_(link_, host, texts) {
  link_.SetTerminalRoute(&terminal_);
  link_.Route(opcode::kTerminal, &terminal_);
  eeprom_transfer_.RegisterRoutes();
  link_.Route(opcode::kFirmware, firmware_upgrade_.get());
  link_.Route(opcode::kParallelCheck, &parallel_check_);
}

ServiceSession::~ServiceSession() {
  // A transfer still running on a worker uses the upgrade: it ends before the upgrade goes.
  runner_.reset();
}

}  // namespace tornavo
