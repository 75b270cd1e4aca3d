#pragma once

#include <cstdint>

#include "core/lpt/timing.h"
#include "core/runtime/operation_host.h"

// What the fuzz targets and their seeds run operations with: a host that shows nothing and
// answers no question, and a clock that moves a millisecond at each reading, so that bounded
// waits end after a known number of polls.
class QuietHost : public tornavo::OperationHost {
 public:
  void AppendLog(tornavo::LogId, const QString&) override {}
  void Report(tornavo::StatusPage, const tornavo::ProgressReport&) override {}
  void ShowError(const QString&) override {}
  void ShowInformation(const QString&) override {}
  void DisablePages() override { enabled = false; }
  void EnablePages() override { enabled = true; }
  bool enabled = true;
};

class StepClock : public tornavo::MonotonicClock {
 public:
  uint64_t NowMs() override { return now_++; }

 private:
  uint64_t now_ = 0;
};
