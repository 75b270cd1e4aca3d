#include "sim/parallel_peripheral.h"

namespace tornavo::sim {

namespace {
constexpr uint8_t kStrobe = 0x01;
constexpr uint8_t kAutoFeed = 0x02;
constexpr uint8_t kInit = 0x04;
constexpr uint8_t kSelectIn = 0x08;
}  // namespace

bool ParallelPeripheral::Acquire(QString*) {
  std::lock_guard lock(mu_);
  acquired_ = true;
  ++acquisitions_;
  return true;
}

void ParallelPeripheral::Release() {
  std::lock_guard lock(mu_);
  acquired_ = false;
}

uint8_t ParallelPeripheral::Read(PortRegister reg) {
  std::lock_guard lock(mu_);
  switch (reg) {
    case PortRegister::kData:
      return data_;
    case PortRegister::kStatus:
      return static_cast<uint8_t>((busy_ ? 0 : 0x80) | (ack_ ? 0x40 : 0) | (paper_end_ ? 0x20 : 0) |
                                  (select_ ? 0x10 : 0) | (fault_ ? 0x08 : 0));
    case PortRegister::kControl:
      return control_;
    case PortRegister::kExtControl:
      return ext_control_;
    default:
      return 0xFF;
  }
}

void ParallelPeripheral::Idle() {
  phase_ = Phase::kCompatibility;
  busy_ = faults_.busy_stuck;
  ack_ = true;
  paper_end_ = paper_end_stuck_;
  select_ = true;
  fault_ = true;
}

void ParallelPeripheral::Write(PortRegister reg, uint8_t value) {
  char completed = 0;
  std::function<void(char)> on_complete;
  {
    std::lock_guard lock(mu_);
    if (reg == PortRegister::kData) data_ = value;
    if (reg == PortRegister::kExtControl) ext_control_ = value;
    if (reg != PortRegister::kControl) return;
    const uint8_t before = control_;
    control_ = value;
    const auto rose = [&](uint8_t bit) { return (value & bit) && !(before & bit); };
    const auto fell = [&](uint8_t bit) { return !(value & bit) && (before & bit); };

    // The Init pulse resets the interface. Init left low afterwards (compatibility mode as
    // the host forces it) holds nothing back.
    if (fell(kInit)) {
      Idle();
      return;
    }
    if (rose(kInit)) {
      paper_end_stuck_ = faults_.paper_end_after_init;
      Idle();
      return;
    }
    switch (phase_) {
      case Phase::kCompatibility:
        // Events 0 and 1: 1284Active (SelectIn register bit clear) with HostBusy low.
        if (!(value & kSelectIn) && (value & kAutoFeed) &&
            ((before & kSelectIn) || !(before & kAutoFeed))) {
          if (faults_.silent_at_event2) return;
          ack_ = false;
          paper_end_ = true;
          select_ = true;
          fault_ = true;
          phase_ = Phase::kNegotiating;
          return;
        }
        if (rose(kStrobe)) {
          busy_ = true;
        } else if (fell(kStrobe)) {
          if (faults_.ack_low_after_byte == bytes_seen_ && !ack_fault_used_) {
            ack_fault_used_ = true;
            ack_ = false;
            return;  // the byte is refused; nAck stays low until the Init pulse
          }
          if (!ack_) return;
          ++bytes_seen_;
          completed = TakeByte(data_);
          busy_ = faults_.busy_stuck;
        }
        break;
      case Phase::kNegotiating:
        // Event 4: Strobe and HostBusy back high after the extensibility byte was strobed.
        if (fell(kStrobe) && !(value & kAutoFeed)) {
          fault_ = !faults_.data_available;
          select_ = faults_.select_high_at_event6;
          paper_end_ = paper_end_stuck_;
          ack_ = !faults_.ack_low_at_event6;
          phase_ = Phase::kNegotiated;
        }
        break;
      case Phase::kNegotiated:
        // Event 22: 1284Active low starts the termination; nAck low answers it.
        if (rose(kSelectIn)) {
          ack_ = false;
          phase_ = Phase::kTerminating;
        }
        break;
      case Phase::kTerminating:
        // Event 25: HostBusy low; nAck high again and back in compatibility mode.
        if (rose(kAutoFeed)) Idle();
        break;
    }
    if (completed) on_complete = on_complete_;
  }
  if (completed && on_complete) on_complete(completed);
}

char ParallelPeripheral::TakeByte(uint8_t byte) {
  if (!expecting_) return 0;
  received_.append(static_cast<char>(byte));
  if (static_cast<uint32_t>(received_.size()) < expected_) return 0;
  expecting_ = false;
  return command_;
}

void ParallelPeripheral::SetFaults(const PeripheralFaults& faults) {
  std::lock_guard lock(mu_);
  faults_ = faults;
  paper_end_stuck_ = paper_end_stuck_ && faults.paper_end_after_init;
  busy_ = busy_ || faults.busy_stuck;
}

PeripheralFaults ParallelPeripheral::faults() const {
  std::lock_guard lock(mu_);
  return faults_;
}

bool ParallelPeripheral::ApplyFault(const QString& name) {
  PeripheralFaults f = faults();
  if (name == QLatin1String("data")) {
    f.data_available = true;
  } else if (name == QLatin1String("silent-event2")) {
    f.silent_at_event2 = true;
  } else if (name == QLatin1String("ack-low-event6")) {
    f.ack_low_at_event6 = true;
  } else if (name == QLatin1String("select-high-event6")) {
    f.select_high_at_event6 = true;
  } else if (name == QLatin1String("busy")) {
    f.busy_stuck = true;
  } else if (name == QLatin1String("paper-end")) {
    f.paper_end_after_init = true;
  } else if (name.startsWith(QLatin1String("ack-low:"))) {
    bool ok = false;
    f.ack_low_after_byte = name.mid(8).toInt(&ok);
    if (!ok || f.ack_low_after_byte < 0) return false;
  } else {
    return false;
  }
  SetFaults(f);
  return true;
}

void ParallelPeripheral::Expect(char command, uint32_t count, uint16_t sum) {
  std::lock_guard lock(mu_);
  command_ = command;
  expected_ = count;
  expected_sum_ = sum;
  expecting_ = count > 0;
  received_.clear();
  bytes_seen_ = 0;
}

bool ParallelPeripheral::Verified(char command) const {
  std::lock_guard lock(mu_);
  if (command != command_ || static_cast<uint32_t>(received_.size()) != expected_) return false;
  uint16_t sum = 0;
  for (char c : received_) sum = static_cast<uint16_t>(sum + static_cast<uint8_t>(c));
  return sum == expected_sum_;
}

void ParallelPeripheral::SetOnComplete(std::function<void(char)> on_complete) {
  std::lock_guard lock(mu_);
  on_complete_ = std::move(on_complete);
}

QByteArray ParallelPeripheral::received() const {
  std::lock_guard lock(mu_);
  return received_;
}

bool ParallelPeripheral::acquired() const {
  std::lock_guard lock(mu_);
  return acquired_;
}

int ParallelPeripheral::acquisitions() const {
  std::lock_guard lock(mu_);
  return acquisitions_;
}

}  // namespace tornavo::sim
