// A console reporter that keeps each benchmark's seconds per iteration as the median of its
// repetitions (the aggregate median where the runs report one, which is all there is when only
// aggregates are shown), and a main body that runs the benchmarks with it and then prints the
// figures the caller derives from them.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

class SecondsReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations <= 0) continue;
      const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
      if (run.run_type == Run::RT_Iteration) {
        repetitions_[run.run_name.str()].push_back(seconds);
      } else if (run.aggregate_name == "median") {
        medians_[run.run_name.str()] = seconds;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Median seconds per iteration of `name`, or 0 when it did not run.
  double Seconds(const std::string& name) const {
    if (const auto median = medians_.find(name); median != medians_.end()) return median->second;
    const auto found = repetitions_.find(name);
    if (found == repetitions_.end() || found->second.empty()) return 0;
    std::vector<double> sorted = found->second;
    std::sort(sorted.begin(), sorted.end());
    const size_t middle = sorted.size() / 2;
    return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
  }

 private:
  std::map<std::string, std::vector<double>> repetitions_;
  std::map<std::string, double> medians_;
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
