#pragma once

#include <functional>

namespace tornavo::testing {

// Runs the event loop until the condition holds or the time is up; returns the condition.
bool WaitUntil(const std::function<bool()>& condition, int timeout_ms = 5000);
// Runs the event loop for a while.
void Pump(int ms);

}  // namespace tornavo::testing
