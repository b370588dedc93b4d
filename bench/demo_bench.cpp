// The demo as the operator runs it: `simhost run --quiet` on the tree's demo
// scenario and script, for so many simulated seconds of 0.1 s frames.
#include <chrono>
#include <cstdlib>
#include <string>

#include "bench_worlds.h"
#include "benches.h"

namespace bench {

void demoDay(benchmark::State &state) {
  const long seconds = static_cast<long>(state.range(0));
  const std::string command = std::string(KVT_BIN_DIR) + "/simhost run --root '" + treeDir() + "' '" + treeDir() +
                              "/Scenarios/Demo.scn' --until " + std::to_string(seconds) + " --quiet";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const auto end = std::chrono::steady_clock::now();
    if (status != 0) {
      state.SkipWithError("the demo did not run");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  state.counters["frames"] = static_cast<double>(seconds) * 10;
}

}  // namespace bench
