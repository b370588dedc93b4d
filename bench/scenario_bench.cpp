// Loading a scenario of resting vessels and saving it again, against reading
// and writing the same bytes with the C library.
#include <cstdio>
#include <vector>

#include "bench_worlds.h"
#include "benches.h"

namespace bench {

void loadSave(benchmark::State &state) {
  const int vessels = static_cast<int>(state.range(0));
  const std::string in = restingWorld(vessels), out = scratchDir() + "/saved.scn";
  dropWorld();
  simhost::Simulation sim(treeDir());
  std::string error;
  for (auto _ : state) {
    if (!sim.loadScenario(in, error) || !sim.saveScenario(out, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.counters["file_bytes"] = static_cast<double>(fileSize(in));
}

void readWriteBytes(benchmark::State &state) {
  const std::string in = restingWorld(static_cast<int>(state.range(0))), out = scratchDir() + "/copied.scn";
  std::vector<char> bytes(static_cast<size_t>(fileSize(in)));
  for (auto _ : state) {
    std::FILE *f = std::fopen(in.c_str(), "rb");
    const size_t n = f ? std::fread(bytes.data(), 1, bytes.size(), f) : 0;
    if (f) std::fclose(f);
    std::FILE *g = std::fopen(out.c_str(), "wb");
    if (g) {
      std::fwrite(bytes.data(), 1, n, g);
      std::fclose(g);
    }
  }
}

}  // namespace bench
