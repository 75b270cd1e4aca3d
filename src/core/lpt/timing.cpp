#include "core/lpt/timing.h"

#include <chrono>

namespace tornavo {

uint64_t SteadyMonotonicClock::NowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

uint32_t SpinDelay(uint8_t n) {
  volatile uint8_t counter = static_cast<uint8_t>(n + 1);
  uint32_t passes = 0;
  do {
    counter = static_cast<uint8_t>(counter - 1);
    ++passes;
  } while (counter != 0);
  return passes;
}

uint64_t SpinDelayWide(int64_t n) {
  const int32_t low = static_cast<int32_t>(static_cast<uint32_t>(n));
  if (low < 0) return 0;
  volatile int64_t counter = static_cast<int64_t>(low) + 1;
  uint64_t passes = 0;
  while (counter > 0) {
    counter = counter - 1;
    ++passes;
  }
  return passes;
}

void WaitMs(MonotonicClock& clock, int64_t ms) {
  const int64_t deadline = static_cast<int64_t>(clock.NowMs()) + ms;
  while (static_cast<int64_t>(clock.NowMs()) <= deadline) {
  }
}

bool WaitFor(MonotonicClock& clock, int64_t ms, const std::function<bool()>& condition) {
  const int64_t deadline = static_cast<int64_t>(clock.NowMs()) + ms;
  for (;;) {
    if (condition()) return true;
    if (static_cast<int64_t>(clock.NowMs()) > deadline) return false;
  }
}

}  // namespace tornavo
