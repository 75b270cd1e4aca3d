#include "core/session/service_session.h"

namespace tornavo {

ServiceSession::ServiceSession(SerialTransport& transport, OperationHost& host, const Texts& texts,
                               EepromImage& image, Clock& clock)
    : link_(transport, host),
      terminal_(link_, host, texts),
      eeprom_transfer_(link_, host, texts, image, clock),
      firmware_timeouts_(host, texts, opcode::kFirmware),
      check_timeouts_(host, texts, opcode::kParallelCheck) {
  link_.SetTerminalRoute(&terminal_);
  link_.Route(opcode::kTerminal, &terminal_);
  eeprom_transfer_.RegisterRoutes();
  link_.Route(opcode::kFirmware, &firmware_timeouts_);
  link_.Route(opcode::kParallelCheck, &check_timeouts_);
}

ServiceSession::~ServiceSession() = default;

}  // namespace tornavo
