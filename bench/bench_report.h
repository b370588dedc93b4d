// What run-bench prints: every benchmark's best time (the least of its
// repetitions), then the table of measurements against their baselines and
// one line per target, "target NAME: VALUE (goal GOAL) ok|short".
#pragma once

#include <map>
#include <string>

#include <benchmark/benchmark.h>

namespace bench {

// Times per iteration, the least seen of each: CPU time for what runs in
// the process alone, real time where files are read and written (the
// helpers of a busy machine make real time noisy, CPU time less so).
struct Best {
  double ns = 0;     // real time
  double cpuNs = 0;  // CPU time
  std::map<std::string, double> counters;  // as the benchmark set them
};

// Passes every run on to the console and keeps the best of each benchmark.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &runs) override;
  const std::map<std::string, Best> &best() const { return best_; }

private:
  std::map<std::string, Best> best_;
};

// Prints the table and the targets; returns how many targets fell short.
int printSummary(const std::map<std::string, Best> &best);

}  // namespace bench
