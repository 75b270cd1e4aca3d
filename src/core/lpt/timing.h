#pragma once

#include <cstdint>
#include <functional>

namespace tornavo {

// Milliseconds on a 64-bit monotonic clock: a 32-bit tick count wraps after 49 days, and
// a deadline summed past the wrap would end every wait at once.
class MonotonicClock {
 public:
  virtual ~MonotonicClock() = default;
  virtual uint64_t NowMs() = 0;
};

class SteadyMonotonicClock : public MonotonicClock {
 public:
  uint64_t NowMs() override;
};

// Counted busy loops, uncalibrated, never optimised away. The byte form runs an 8-bit
// counter from (n + 1) mod 256, so 255 gives 256 passes; the wide form counts the low 32
// bits of n as a signed number, and a negative n gives no pass. Both return the passes run.
uint32_t SpinDelay(uint8_t n);
uint64_t SpinDelayWide(int64_t n);

// Polls the clock until it is past now + ms. Neither sleeps nor yields.
void WaitMs(MonotonicClock& clock, int64_t ms);
// Polls the condition first and the clock second: true as soon as the condition holds,
// false once a poll finds the clock past now + ms.
bool WaitFor(MonotonicClock& clock, int64_t ms, const std::function<bool()>& condition);

}  // namespace tornavo
