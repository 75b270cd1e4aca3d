#pragma once

#include <cstdint>

#include "core/runtime/clock.h"

namespace tornavo::testing {

// A clock that moves only when the test says so.
class FakeClock : public Clock {
 public:
  uint32_t NowMs() override { return now; }
  uint32_t now = 1000;
};

}  // namespace tornavo::testing
