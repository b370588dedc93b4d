// bench_simhost [--quick] [Google Benchmark flags]: runs the benchmarks
// (--quick: smaller sizes, fewer repetitions, an hour of the demo instead
// of a day), then prints the table and the targets (bench_report.h).
// scripts/run-bench builds and runs it.
#include <cstring>
#include <vector>

#include "bench_report.h"
#include "bench_worlds.h"
#include "benches.h"

namespace {

void registerAll(bool quick) {
  using benchmark::RegisterBenchmark;
  const int repetitions = quick ? 1 : 3;
  auto common = [&](benchmark::internal::Benchmark *b) {
    b->Unit(benchmark::kMicrosecond)->Repetitions(repetitions)->ReportAggregatesOnly(false);
    if (quick) b->MinTime(0.05);
  };
  for (auto *fn : {&bench::rockScan, &bench::bareScan}) {
    auto *b = RegisterBenchmark(fn == &bench::rockScan ? "rock_scan" : "bare_scan", fn);
    b->Args({1, 1000})->Args({1, 100000})->Args({100, 10000});
    common(b);
  }
  common(RegisterBenchmark("resting_frame", bench::restingFrame)->Arg(1000)->Arg(10000)->Arg(100000));
  for (auto *fn : {&bench::loadSave, &bench::readWriteBytes}) {
    auto *b = RegisterBenchmark(fn == &bench::loadSave ? "load_save" : "read_write_bytes", fn);
    b->Arg(1000)->Arg(10000)->Arg(100000);
    common(b);
  }
  for (auto *fn : {&bench::commandLoadSave, &bench::commandShow}) {
    auto *b = RegisterBenchmark(fn == &bench::commandLoadSave ? "command_load_save" : "command_show", fn);
    b->Arg(1000)->Arg(10000);
    if (!quick) b->Arg(100000);
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(repetitions);
    if (quick) b->MinTime(0.05);
  }
  common(RegisterBenchmark("host_file_read/same_case", bench::hostFileRead, false));
  common(RegisterBenchmark("host_file_read/other_case", bench::hostFileRead, true));
  common(RegisterBenchmark("plain_file_read", bench::plainFileRead));
  RegisterBenchmark("memory_per_vessel", bench::memoryPerVessel)->Iterations(1)->Unit(benchmark::kMillisecond);
  RegisterBenchmark("demo_day", bench::demoDay)
      ->Arg(quick ? 3600 : 86400)
      ->Iterations(1)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char **argv) {
  bool quick = false;
  std::vector<char *> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0)
      quick = true;
    else
      args.push_back(argv[i]);
  }
  int n = static_cast<int>(args.size());
  benchmark::Initialize(&n, args.data());
  registerAll(quick);
  bench::CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  bench::dropWorld();
  bench::printSummary(reporter.best());
  benchmark::Shutdown();
  return 0;
}
