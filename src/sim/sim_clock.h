#pragma once

#include <chrono>
#include <cstdint>

namespace tornavo::sim {

// Times inside the virtual receiver: microseconds on the monotonic clock.
using Micros = int64_t;

inline Micros NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace tornavo::sim
