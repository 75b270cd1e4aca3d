#pragma once

#include <memory>

#include "core/app/clock.h"
#include "core/app/operation_host.h"
#include "core/app/texts.h"
#include "core/eeprom/eeprom_image.h"
#include "core/eeprom/eeprom_transfer.h"
#include "core/serial/firmware_timeouts.h"
#include "core/serial/serial_transport.h"
#include "core/serial/service_link.h"
#include "core/serial/terminal.h"

namespace tornavo {

// The service link and every serial operation over it, each routed once: the terminal, the
// EEPROM transfer, and what the firmware upgrade and parallel-port check codes need. The
// window, the command line and the benchmarks build one each and borrow what they use.
class ServiceSession {
 public:
  ServiceSession(SerialTransport& transport, OperationHost& host, const Texts& texts,
                 EepromImage& image, Clock& clock);
  ~ServiceSession();

  ServiceLink& link() { return link_; }
  Terminal& terminal() { return terminal_; }
  EepromTransfer& eeprom_transfer() { return eeprom_transfer_; }

 private:
  ServiceLink link_;
  Terminal terminal_;
  EepromTransfer eeprom_transfer_;
  FirmwareTimeouts firmware_timeouts_;
  FirmwareTimeouts check_timeouts_;
};

}  // namespace tornavo
