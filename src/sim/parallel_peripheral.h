#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <mutex>

#include "core/lpt/port_registers.h"

namespace tornavo::sim {

// How the peripheral misbehaves, switched on by name for the command line.
struct PeripheralFaults {
  bool data_available = false;         // accept the negotiation with nFault low
  bool silent_at_event2 = false;       // no answer to the negotiation request
  bool ack_low_at_event6 = false;      // nAck stays low after the request is taken
  bool select_high_at_event6 = false;  // Select stays high after the request is taken
  bool busy_stuck = false;             // Busy never drops
  int ack_low_after_byte = -1;         // refuse the byte at this position once, until Init
  bool paper_end_after_init = false;   // PError stays high after every Init pulse
};

// The receiver's side of the parallel port: an IEEE 1284 peripheral that answers the
// negotiation events 1 to 6 and the termination, and takes bytes in compatibility mode with
// the Strobe/Busy/nAck handshake. Seen by the tool as a port's registers, in register
// values as a PC port shows them. Bytes count only while an upgrade announced on the
// serial side expects them. Thread-safe.
class ParallelPeripheral : public PortRegisters {
 public:
  bool Acquire(QString* error) override;
  void Release() override;
  uint8_t Read(PortRegister reg) override;
  void Write(PortRegister reg, uint8_t value) override;

  void SetFaults(const PeripheralFaults& faults);
  PeripheralFaults faults() const;
  // "data", "silent-event2", "ack-low-event6", "select-high-event6", "busy", "ack-low:K",
  // "paper-end"; false for an unknown name.
  bool ApplyFault(const QString& name);

  // The serial side accepted an upgrade of count bytes whose 16-bit sum is sum.
  void Expect(char command, uint32_t count, uint16_t sum);
  // True when the bytes received for this command match the announced count and sum.
  bool Verified(char command) const;
  // Called (outside the lock) when the last announced byte has arrived.
  void SetOnComplete(std::function<void(char command)> on_complete);

  QByteArray received() const;
  int acquisitions() const;
  bool acquired() const;

 private:
  enum class Phase { kCompatibility, kNegotiating, kNegotiated, kTerminating };
  void Idle();
  // Returns the command whose transfer the byte completed, or 0.
  char TakeByte(uint8_t byte);

  mutable std::mutex mu_;
  PeripheralFaults faults_;
  Phase phase_ = Phase::kCompatibility;
  uint8_t data_ = 0;
  uint8_t control_ = 0x0C;
  uint8_t ext_control_ = 0;
  bool busy_ = false;
  bool ack_ = true;
  bool paper_end_ = false;
  bool select_ = true;
  bool fault_ = true;
  bool acquired_ = false;
  int acquisitions_ = 0;
  int bytes_seen_ = 0;
  bool ack_fault_used_ = false;
  bool paper_end_stuck_ = false;

  char command_ = 0;
  uint32_t expected_ = 0;
  uint16_t expected_sum_ = 0;
  bool expecting_ = false;
  QByteArray received_;
  std::function<void(char)> on_complete_;
};

}  // namespace tornavo::sim
