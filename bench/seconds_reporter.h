// A console reporter that keeps each benchmark's mean seconds per iteration, and a main body
// that runs the benchmarks with it and then prints the figures the caller derives from them.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class SecondsReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations > 0) seconds_[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Seconds per iteration of `name`, or 0 when it did not run.
  double Seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    return found != seconds_.end() ? found->second : 0;
  }

 private:
  std::map<std::string, double> seconds_;
};

inline int RunBenchmarksAndPrint(int argc, char** argv, const std::function<void(const SecondsReporter&)>& print) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SecondsReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print(reporter);
  benchmark::Shutdown();
  return 0;
}
