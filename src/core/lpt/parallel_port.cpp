#include "core/lpt/parallel_port.h"

namespace tornavo {

void ParallelPort::ChangeControl(uint8_t set, uint8_t clear) {
  const uint8_t value = PortRead(PortRegister::kControl);
  PortWrite(PortRegister::kControl, static_cast<uint8_t>((value | set) & ~clear));
}

void ParallelPort::WaitMs(int64_t ms) {
  registers_.Flush();
  tornavo::WaitMs(clock_, ms);
}

bool ParallelPort::WaitFor(int64_t ms, const std::function<bool()>& condition) {
  registers_.Flush();
  // A port that has failed answers nothing: the wait ends at once, unmet.
  const bool met = tornavo::WaitFor(clock_, ms, [&] { return registers_.failed() || condition(); });
  return met && !registers_.failed();
}

}  // namespace tornavo
