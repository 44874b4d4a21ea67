// A console reporter that keeps each benchmark's time per iteration (the median of the repetitions
// where there are several, else the one run's mean), so that a benchmark can print its figures
// after the runs as ratios to an anchor measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type == Run::RT_Iteration && run.iterations > 0) || median) {
        times_[run.run_name.str()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The time per iteration of a benchmark that ran, in its unit, by its name with its arguments:
  // a fixed count of iterations or repetitions that the name goes on with need not be named.
  std::optional<double> Time(const std::string& name) const {
    for (auto time = times_.lower_bound(name); time != times_.end() && time->first.starts_with(name); ++time) {
      const std::string_view rest = std::string_view(time->first).substr(name.size());
      if (rest.empty() || rest.starts_with("/iterations:") || rest.starts_with("/repeats:")) return time->second;
    }
    return std::nullopt;
  }

  // One line per (measured, anchor) pair that both ran: the measured time in the benchmark's
  // unit and its ratio to the anchor.
  void PrintRatios(const char* heading, const std::vector<std::pair<const char*, const char*>>& pairs) const {
    std::printf("\n%-14s %-12s %12s %10s\n", heading, "anchor", "time", "/ anchor");
    for (const auto& [measured, anchor] : pairs) {
      const auto time = times_.find(measured);
      const auto anchor_time = times_.find(anchor);
      if (time == times_.end() || anchor_time == times_.end()) continue;
      std::printf("%-14s %-12s %12.3f %10.2f\n", measured, anchor, time->second, time->second / anchor_time->second);
    }
  }

  // The `count` slowest of the benchmarks whose names start with `prefix`, as ratios to the
  // anchor, slowest first.
  void PrintSlowest(const char* heading, const std::string& prefix, const char* anchor, size_t count) const {
    const auto anchor_time = times_.find(anchor);
    if (anchor_time == times_.end()) return;
    std::vector<std::pair<double, std::string>> ratios;
    for (const auto& [name, time] : times_) {
      if (name.starts_with(prefix)) ratios.emplace_back(time / anchor_time->second, name);
    }
    std::sort(ratios.rbegin(), ratios.rend());
    ratios.resize(std::min(count, ratios.size()));
    std::printf("\n%s (frame time / %s):\n", heading, anchor);
    for (const auto& [ratio, name] : ratios) std::printf("%-14s %10.2f\n", name.c_str(), ratio);
  }

 protected:
  std::map<std::string, double> times_;
};

// The main function of a benchmark that prints one table of ratios: runs the benchmarks the
// command line selects, then the table.
inline int RunBenchmarksWithRatios(int argc, char** argv, const char* heading,
                                   const std::vector<std::pair<const char*, const char*>>& pairs) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(heading, pairs);
  benchmark::Shutdown();
  return 0;
}
