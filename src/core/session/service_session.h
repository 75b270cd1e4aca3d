#pragma once

#include <memory>

#include "core/eeprom/eeprom_image.h"
#include "core/eeprom/eeprom_transfer.h"
#include "core/lpt/firmware_upgrade.h"
#include "core/lpt/timing.h"
#include "core/runtime/blocking_runner.h"
#include "core/runtime/clock.h"
#include "core/runtime/operation_host.h"
#include "core/serial/serial_transport.h"
#include "core/serial/service_link.h"
#include "core/serial/terminal.h"
#include "core/texts/texts.h"

namespace tornavo {

// The service link and every serial operation over it, each routed once: the terminal, the
// EEPROM transfer, the firmware upgrade and the parallel-port check. It owns the EEPROM image
// the transfers read into and write from. The window, the command line and the benchmarks
// build one each and borrow what they use. The firmware upgrade's parallel transfer runs on the
// given runner (inline when none is given).
class ServiceSession {
 public:
  ServiceSession(SerialTransport& transport, OperationHost& host, const Texts& texts, Clock& clock,
                 std::unique_ptr<BlockingRunner> runner = nullptr);
  ~ServiceSession();

  EepromImage& image() { return image_; }
  ServiceLink& link() { return link_; }
  Terminal& terminal() { return terminal_; }
  EepromTransfer& eeprom_transfer() { return eeprom_transfer_; }
  FirmwareUpgrade& firmware_upgrade() { return *firmware_upgrade_; }
  ParallelCheck& parallel_check() { return parallel_check_; }
  BlockingRunner& runner() { return *runner_; }
  MonotonicClock& port_clock() { return port_clock_; }

 private:
  // Before the transfer that writes into it.
  EepromImage image_;
  ServiceLink link_;
  Terminal terminal_;
  EepromTransfer eeprom_transfer_;
  SteadyMonotonicClock port_clock_;
  std::unique_ptr<BlockingRunner> runner_;
  std::unique_ptr<FirmwareUpgrade> firmware_upgrade_;
  ParallelCheck parallel_check_;
};

}  // namespace tornavo
