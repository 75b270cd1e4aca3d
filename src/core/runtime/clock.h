#pragma once

#include <cstdint>

namespace tornavo {

// Millisecond tick count, behind an interface so that waits and speeds can be tested.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t NowMs() = 0;
};

// The system's monotonic clock.
class SteadyClock : public Clock {
 public:
  uint32_t NowMs() override;
};

}  // namespace tornavo
