#include "core/runtime/clock.h"

#include <chrono>

namespace tornavo {

uint32_t SteadyClock::NowMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace tornavo
