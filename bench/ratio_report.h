#pragma once

// Runs the registered benchmarks as usual, then prints each measured benchmark as a ratio of
// its baseline's time in the same run, with the aim beside it. With repetitions the median
// repetition counts, so one run disturbed by other work on the machine does not decide.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct Ratio {
  std::string measured;
  std::string baseline;
  double aim;  // 0 when the ratio is shown for information only
  // Processor time rather than elapsed time: for pure computation, on a machine where other
  // work takes turns on the processor.
  bool cpu_time = false;
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that the lines can be searched in a log.
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
        const double iterations = static_cast<double>(run.iterations);
        real_[run.run_name.function_name].push_back(run.real_accumulated_time / iterations);
        cpu_[run.run_name.function_name].push_back(run.cpu_accumulated_time / iterations);
      }
    ConsoleReporter::ReportRuns(runs);
  }

  // Median seconds per iteration, or a negative value when the benchmark did not run.
  double Median(const std::string& name, bool cpu_time) const {
    const auto& seconds = cpu_time ? cpu_ : real_;
    const auto found = seconds.find(name);
    if (found == seconds.end() || found->second.empty()) return -1;
    std::vector<double> times = found->second;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
  }

 private:
  std::map<std::string, std::vector<double>> real_;
  std::map<std::string, std::vector<double>> cpu_;
};

// Ratios whose benchmarks a filter left out are not printed.
inline int RunAndPrintRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (const Ratio& ratio : ratios) {
    const double measured = reporter.Median(ratio.measured, ratio.cpu_time);
    const double baseline = reporter.Median(ratio.baseline, ratio.cpu_time);
    if (measured < 0 || baseline <= 0) continue;
    std::printf("ratio %s / %s = %.2f (%s time)", ratio.measured.c_str(), ratio.baseline.c_str(),
                measured / baseline, ratio.cpu_time ? "processor" : "elapsed");
    if (ratio.aim > 0)
      std::printf(" (aim <= %.2f: %s)", ratio.aim,
                  measured / baseline <= ratio.aim ? "met" : "NOT met");
    std::printf("\n");
  }
  return 0;
}

}  // namespace bench
