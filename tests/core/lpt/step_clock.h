#pragma once

#include "core/lpt/timing.h"

namespace tornavo::testing {

// A clock that moves on by one millisecond every time it is read, so that bounded waits
// end after a known number of polls without taking real time.
class StepClock : public MonotonicClock {
 public:
  explicit StepClock(uint64_t start = 0) : now(start) {}
  uint64_t NowMs() override {
    ++reads;
    return now++;
  }
  uint64_t now;
  int reads = 0;
};

}  // namespace tornavo::testing
