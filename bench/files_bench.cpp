// A cargo file read through the host's door (hostOpenFile resolves the
// simulator's path in the tree), against a plain open, read and close of the
// same file. The cargo add-on names its files "config\vessels\<class>.cfg",
// so the folders' case differs from the tree's.
#include <cstdio>

#include "bench_worlds.h"
#include "benches.h"
#include "host_extras.h"

namespace bench {

namespace {

size_t readAll(std::FILE *f) {
  if (!f) return 0;
  char buffer[4096];
  size_t total = 0, n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) total += n;
  std::fclose(f);
  return total;
}

}  // namespace

void hostFileRead(benchmark::State &state, bool otherCase) {
  dropWorld();
  simhost::Simulation sim(treeDir());
  const char *path = !otherCase ? "Config\\Vessels\\UCGO\\Cargos\\Lunar_Rock.cfg"
                                         : "config\\vessels\\UCGO\\Cargos\\Lunar_Rock.cfg";
  if (readAll(hostOpenFile(path, "r")) == 0) state.SkipWithError("the cargo file cannot be read");
  for (auto _ : state) benchmark::DoNotOptimize(readAll(hostOpenFile(path, "r")));
}

void plainFileRead(benchmark::State &state) {
  const std::string path = treeDir() + "/Config/Vessels/UCGO/Cargos/Lunar_Rock.cfg";
  for (auto _ : state) benchmark::DoNotOptimize(readAll(std::fopen(path.c_str(), "r")));
}

}  // namespace bench
